// The widget toolkit behind the window frame: windows built from their
// definitions with a per-window event queue, message boxes, the popup menu,
// threads and notify events. Two implementations: Win32 (ui/win32) and an
// in-memory headless one for native tests (ui/headless).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/window_def.h"

namespace ui {

// Event codes the frame and the windows test or post.
enum EventCode : int {
    EVENT_Accepted = 1,
    EVENT_NewSelection = 2,
    EVENT_Rejected = 0x1A,
    EVENT_CloseWindow = 0x201,
    EVENT_CloseDown = 0x202,
    EVENT_OpenWindow = 0x203,
    EVENT_LoseFocus = 0x205,
    EVENT_GainFocus = 0x206,
    EVENT_Notify = 0x20A,
    EVENT_Timer = 0x20B,
    EVENT_Maximize = 0x223,
    EVENT_Sized = 0x231,
    EVENT_Iconized = 0x234,
    DoResize = 0x3FF,
};

struct Event {
    int code = 0;
    int field = 0;
    // EVENT_Notify only: the notification's code, sending thread and parameter.
    uint32_t notifyCode = 0;
    uint32_t notifyThread = 0;
    intptr_t notifyParam = 0;
};

// The embedded web browser, driven by its methods.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void navigate(const std::string& url, int flags) = 0;
    // "GoBack", "GoForward", "GoHome", "GoSearch".
    virtual void command(const std::string& method) = 0;
};

// One window of the toolkit, owned by its window procedure, used on the
// thread that created it (post() may be called from any thread).
class Window {
public:
    virtual ~Window() = default;
    virtual void open() = 0;    // create and show (iconised when the definition says)
    virtual void close() = 0;   // destroy; the queue stops
    virtual bool isOpen() const = 0;
    // The next event of this window; pumps the thread's messages while the
    // queue is empty. Returns code 0 once the window is closed.
    virtual Event next() = 0;
    // Appends an event to this window's queue: handled after those already there.
    virtual void post(const Event& e) = 0;
    // Copies bound variables into controls: one field, or first..last (0,0 = all).
    virtual void display(int first, int last) = 0;
    // The automatic redraw: display fields (strings bound to variables) only.
    virtual void redrawDisplays() = 0;
    virtual void select(int field) = 0;
    virtual void setEnabled(int field, bool on) = 0;
    virtual void setHidden(int field, bool hidden) = 0;
    virtual bool isEnabled(int field) const = 0;
    virtual bool isHidden(int field) const = 0;
    virtual void setStatusText(int zone, const std::string& text) = 0;  // zone from 1
    virtual int selectedRow(int field) const = 0;                        // 1-based, 0 = none
    virtual Browser* browser(int field) = 0;                              // null when absent
    // Native handle (HWND on Win32); 0 when not created.
    virtual intptr_t handle() const = 0;
    // The tray extender's needs: hide/unhide and activate the whole window.
    virtual void setWindowHidden(bool hidden) = 0;
    virtual bool isWindowHidden() const = 0;
    virtual void activate(bool on) = 0;
    virtual const WindowDef& definition() const = 0;
};

enum class Icon { None, Information, Exclamation, Question, WinLogo };

// Buttons of the standard message dialog; a set is the sum of the values and
// the dialog returns the value of the button pressed.
enum Button : unsigned {
    BUTTON_OK = 1,
    BUTTON_YES = 2,
    BUTTON_NO = 4,
    BUTTON_ABORT = 8,
    BUTTON_RETRY = 16,
    BUTTON_IGNORE = 32,
    BUTTON_CANCEL = 64,
    BUTTON_HELP = 128,
};

struct MessageSpec {
    std::string text;      // '|' starts a new line
    std::string caption;
    Icon icon = Icon::None;
    unsigned buttons = BUTTON_OK;
    unsigned defaultButton = 0;   // 0: the first
    bool yesNoDaNe = false;       // the buttons "DA" (returns 1) and "NE" (returns 2)
    bool copyable = false;        // text in a read-only field the user can select and copy
};

class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual std::unique_ptr<Window> create(const WindowDef& def) = 0;
    virtual int message(const MessageSpec& request) = 0;
    // Popup menu at the mouse position from "A|B|-|C"; the chosen selectable
    // item's number from 1 (separators not counted), 0 when dismissed.
    virtual int popup(const std::string& items) = 0;
    virtual void beep() = 0;
    // Runs body on a new thread with the given stack size; its number.
    virtual uint32_t startThread(std::function<void()> body, std::size_t stack) = 0;
    virtual uint32_t currentThread() = 0;
    // A notification to the current window of a thread (0 = this one).
    virtual void notify(uint32_t code, uint32_t thread, intptr_t param) = 0;
    // After every handled event: redraw display fields in every open window
    // of every thread (each on its own thread).
    virtual void redrawAll() = 0;
    // A time of day in the system's regional format.
    virtual std::string timeText(int hour, int minute, int second) = 0;
    // The window the current thread's innermost procedure runs (null when none).
    virtual Window* currentWindow() = 0;
    // Runs a call that blocks the thread until it returns (a request). The
    // Win32 toolkit shows a window still being prepared meanwhile, should the
    // call take long; otherwise it is simply called. Meanwhile the thread
    // answers only messages sent to its windows, and no handler of those may
    // start a request: the request buffers belong to the call until it returns.
    virtual void whileBlocked(const std::function<void()>& call) { call(); }
};

Toolkit& toolkit();
void setToolkit(Toolkit* t);
Toolkit* installedToolkit();

// Shown value of a bound variable under a format, and the reading of input.
std::string formatValue(const Var& v, const Format& f);
// Stores input into the variable exactly as shown; false (nothing stored)
// when it does not fit.
bool storeInput(const Var& v, const Format& f, const std::string& input);
// What a single-line entry holds: the text up to its first line break (CR or
// LF), whatever put more there; the settings file is line-based.
std::string singleLine(const std::string& input);

}  // namespace ui
