// One toolkit window on Win32: a top-level window and its child controls
// (window ID 1000 + field number) built from a WindowDef, with the event
// queue its window procedure fills and next() drains.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/toolkit.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/window_accessible.h"

namespace ui::win32 {

class Win32Toolkit;

inline bool has(const Control& c, uint32_t flag) { return (c.flags & flag) != 0; }

// Private messages of the toolkit's windows.
constexpr UINT kWakeMessage = WM_APP + 0x3A0;    // an event was queued: leave GetMessage
constexpr UINT kRedrawMessage = WM_APP + 0x3A1;  // redraw display fields (from another thread)
constexpr int kFirstControlId = 1000;
constexpr UINT_PTR kTimerId = 1;  // the window's own timer

// The window class of every toolkit window; true for a handle of ours.
bool isToolkitWindow(HWND h);
void registerWindowClasses();

class Win32Window : public Window, private AccessibleFields {
public:
    Win32Window(Win32Toolkit& kit, const WindowDef& def);
    ~Win32Window() override;

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    Event next() override;
    void post(const Event& e) override;
    void display(int first, int last) override;
    void redrawDisplays() override;
    void select(int field) override;
    void setEnabled(int field, bool on) override;
    void setHidden(int field, bool hidden) override;
    bool isEnabled(int field) const override;
    bool isHidden(int field) const override;
    void setStatusText(int zone, const std::string& text) override;
    int selectedRow(int field) const override;
    Browser* browser(int field) override;
    intptr_t handle() const override { return reinterpret_cast<intptr_t>(hwnd_); }
    void setWindowHidden(bool hidden) override;
    bool isWindowHidden() const override;
    void activate(bool on) override;
    const WindowDef& definition() const override { return def_; }

    uint32_t thread() const { return thread_; }
    HWND hwnd() const { return hwnd_; }
    // Shows the window if open() left that for later; a window or message box
    // about to open over it calls this.
    void reveal();
    bool revealPending() const { return revealPending_; }
    ULONGLONG openedAt() const { return openedAt_; }  // GetTickCount64() at open()
    // From any thread: redraw the display fields on the window's own thread.
    void requestRedraw();

private:
    friend void registerWindowClasses();
    struct Slot {
        HWND hwnd = nullptr;
        // Texts, pictures and frames have no window: the window draws them at
        // `area` (its client coordinates).
        bool drawn = false;
        RECT area{0, 0, 0, 0};
        bool hidden = false, disabled = false, modified = false;
        std::wstring shown;
        HFONT font = nullptr;  // from fonts_
        COLORREF text = CLR_INVALID, back = CLR_INVALID;
        BrushHandle brush;
        BitmapHandle picture;
        // The picture scaled to the control's size on the screen.
        BitmapHandle scaled;
        SIZE scaledSize{0, 0};
        bool pictureFailed = false;  // its preload failed: the place stays plain
        IconHandle icon;
        int iconSize = 0;
        std::unique_ptr<BrowserHost> browser;
        HWND note = nullptr;  // "no browser" text inside an object's area
    };

    static LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM w, LPARAM l);
    LRESULT handleMessage(UINT msg, WPARAM w, LPARAM l);
    void dispatch(MSG& m);
    void relayToTips(MSG& m);
    void updateTip(int field);

    void preload();
    void preloadGuarded();
    void awaitPreload();
    void loadWindowIcons();
    void measureFont();
    HFONT fontFor(const Font& f);
    int px(int du) const { return MulDiv(du, baseX_, 4); }
    int py(int du) const { return MulDiv(du, baseY_, 8); }
    RECT controlRect(int field);
    void createControl(int field);
    bool drawnKind(int field) const;
    void placeDrawn(int field);
    void invalidateDrawn(int field);
    void paintArea(HDC dc, const RECT& rc);
    void paintWindow();
    RECT drawablePart(HDC dc) const;
    void eraseWithFields(HDC dc);
    void printClient(HDC dc, LPARAM flags);
    void drawField(HDC dc, int field, POINT origin);
    // AccessibleFields
    int fieldCount() const override;
    bool drawnElement(int field, DrawnElement& out) const override;
    HWND fieldWindow(int field) const override { return valid(field) ? slots_[std::size_t(field - 1)].hwnd : nullptr; }
    void layout();
    void show(int field);
    void setText(int field, const std::wstring& text);
    void fillList(int field);
    // Completing an entry: its input stored (or rejected); the event that follows.
    Event completion(int field);
    void complete(int field);              // ... queued
    std::vector<Event> completeAll();      // every changed entry, in field order
    void completePending();                // ... queued
    int fieldOf(HWND child) const;
    const Control& control(int field) const { return def_.controls[std::size_t(field - 1)]; }
    bool valid(int field) const { return field >= 1 && field <= int(def_.controls.size()); }
    bool canFocus(int field) const;

    LRESULT colourControl(UINT msg, HDC dc, HWND child);
    void paintBackground(HDC dc, const RECT& rc, POINT origin);
    HBITMAP scaledPicture(int field, SIZE size);
    HBRUSH backdropBrush();
    int boxRadius(const Control& c) const;
    COLORREF backgroundColour() const;
    HBRUSH backgroundBrush() const;
    void queue(int code, int field = 0);

    Win32Toolkit& kit_;
    WindowDef def_;
    uint32_t thread_ = 0;
    HWND hwnd_ = nullptr, opener_ = nullptr, status_ = nullptr, tips_ = nullptr;
    std::vector<Slot> slots_;  // index = field - 1
    std::map<int, std::string> statusTexts_;
    std::mutex queueMutex_;
    std::deque<Event> queue_;
    std::atomic<bool> redrawPending_{false};
    bool open_ = false, shown_ = false, revealPending_ = false, updating_ = false, minimised_ = false;
    bool painting_ = false;  // inside our own WM_PAINT (its erase is part of it)
    ULONGLONG openedAt_ = 0;
    int baseX_ = 6, baseY_ = 13, statusHeight_ = 0;
    SIZE client_{0, 0};
    HWND lastFocus_ = nullptr;
    std::map<std::string, FontHandle> fonts_;
    HFONT windowFont_ = nullptr;  // from fonts_
    BrushHandle ownBrush_;        // background colour or tiled wallpaper
    BitmapHandle wallpaper_;
    // The background with every visible picture on it, composed once per client
    // size and picture visibility: one brush the window paints with, and its
    // transparent controls too, aligned with the window.
    BrushHandle backdropBrush_;
    SIZE backdropSize_{0, 0};
    bool backdropStale_ = true;
    IconHandle bigIcon_, smallIcon_;
    WindowAccessible* accessible_ = nullptr;  // made at the first WM_GETOBJECT
    std::thread preload_;  // pictures and icons made while the procedure starts up
    int preloadField_ = 0;  // the field the preload is at (what a failure half-made)
};

}  // namespace ui::win32
