// The Win32 toolkit under Wine, in process: windows from definitions, the
// events their messages become, threads and notifications, menus and boxes.
#include "../common/accessible_reader.h"
#include "../common/own_window.h"
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "ui/frame.h"
#include "ui/win32/images.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_toolkit.h"

using namespace ui;
using ui::win32::narrow;
using ui::win32::widen;

namespace {

constexpr int kTimeoutEvent = -77;
constexpr int kMarkerEvent = -78;

Window* timeoutTarget = nullptr;
void CALLBACK postTimeout(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (timeoutTarget) timeoutTarget->post(Event{kTimeoutEvent});
}

// The next event, or kTimeoutEvent after ms.
Event nextWithin(Window& w, int ms) {
    timeoutTarget = &w;
    UINT_PTR t = SetTimer(nullptr, 0, UINT(ms), postTimeout);
    Event e = w.next();
    KillTimer(nullptr, t);
    return e;
}

void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// Opens the window and waits as the frame does until nothing more comes,
// which shows it: the events of the opening and the showing.
std::vector<Event> openAndWait(Window& w) {
    w.open();
    std::vector<Event> out;
    for (Event e = nextWithin(w, 50); e.code != kTimeoutEvent && e.code != 0; e = nextWithin(w, 50)) out.push_back(e);
    return out;
}

// Every event queued so far (window messages already sent are in).
std::vector<Event> drain(Window& w) {
    pump();
    w.post(Event{kMarkerEvent});
    std::vector<Event> out;
    for (Event e = w.next(); e.code != kMarkerEvent && e.code != 0; e = w.next()) out.push_back(e);
    return out;
}

bool hasEvent(const std::vector<Event>& events, int code, int field = -1) {
    for (const Event& e : events)
        if (e.code == code && (field < 0 || e.field == field)) return true;
    return false;
}

HWND child(Window& w, int field) { return GetDlgItem(reinterpret_cast<HWND>(w.handle()), 1000 + field); }
// A field the window draws itself, as assistive technology reads it.
vx::testing::AccessibleChild drawn(HWND top, int field) {
    vx::testing::AccessibleChild d;
    EXPECT_TRUE(vx::testing::accessibleElement(top, field, d)) << "field " << field << " is not drawn by its window";
    return d;
}
std::string shown(Window& w, int field) {
    HWND c = child(w, field);
    return narrow(c ? ui::win32::windowText(c) : drawn(reinterpret_cast<HWND>(w.handle()), field).name);
}

template <typename Pred>
bool waitFor(Pred pred, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (pred()) return true;
        Sleep(20);
    }
    return pred();
}

// A visible top-level window of this process of the given class.
HWND findOwnWindow(const wchar_t* cls) { return vx::testing::findOwnWindow(cls, nullptr); }

std::string textOf(HWND h) {
    wchar_t buf[4096] = {};
    SendMessageW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
    return narrow(buf);
}

// What a helper thread saw of a message dialog before it pressed a button.
struct SeenBox {
    std::string caption, text;
    std::map<int, std::string> labels;  // button ID -> label
    bool textIsEdit = false;
};

// Finds the dialog from another thread, reads it, presses `press` by ID.
std::thread answerBox(SeenBox& seen, int press) {
    return std::thread([&seen, press] {
        HWND box = nullptr;
        waitFor([&] { return (box = findOwnWindow(L"#32770")) != nullptr; });
        if (!box) return;
        Sleep(50);
        seen.caption = textOf(box);
        HWND text = GetDlgItem(box, 0xFFFF);
        seen.text = textOf(text);
        wchar_t cls[16] = {};
        GetClassNameW(text, cls, 16);
        seen.textIsEdit = lstrcmpiW(cls, L"Edit") == 0;
        for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDHELP})
            if (HWND b = GetDlgItem(box, id); b && IsWindowVisible(b)) seen.labels[id] = textOf(b);
        PostMessageW(GetDlgItem(box, press), BM_CLICK, 0, 0);
    });
}

class Win32ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override { ui::win32::installWin32Toolkit(); }
};

// --- a window with every control kind ---

struct AllKinds {
    uint32_t number = 42;
    vx::Text<20> name{"Ana Horvat"};
    uint32_t big = 1234567;
    uint32_t ticked = 1;
    uint32_t typed = 5;
    vx::Text<10> upperText;
    std::vector<uint32_t> rows{3, 10, 200};
    char reply[64] = "prvi red\ndrugi red";
    int32_t signedValue = -12;

    WindowDef def() {
        WindowDef d;
        d.title = "Svi kontrolni elementi";
        d.w = 300;
        d.h = 200;
        d.statusZones = {100, 100};
        d.controls = {
            prompt("&Ime:").at(2, 2, 40, 10),                                           // 1
            display(Var::of(number), Format::digits(7)).at(50, 2, 60, 10),               // 2
            display(Var::of(name), Format::text(20)).at(120, 2, 100, 10),                // 3
            display(Var::of(big), Format::commas(12)).at(230, 2, 60, 10).with(Right),    // 4
            image("nema.bmp").at(2, 15, 20, 20),                                         // 5
            box().at(30, 15, 100, 40).with(Rounded).colours(0xC0C0C0),                   // 6
            entry(Var::of(typed), Format::number(5)).at(40, 20, 50, 12).withTip("Broj"),  // 7
            button("&Potvrda", "ok.ico").at(140, 20, 50, 14).with(Default),              // 8
            check("Vodi log", Var::of(ticked)).at(200, 20, 60, 10),                      // 9
            list(Var::of(rows), Format::number(5), "Broj", 40).at(2, 60, 80, 60).with(Centre),  // 10
            textBox(Var::buffer(reply, sizeof reply)).at(90, 60, 100, 60).with(ReadOnly | VScroll),  // 11
            object("Shell.Explorer.2").at(200, 60, 90, 60),                              // 12
            string("skriven").at(2, 130, 40, 10).with(Hidden),                           // 13
            button("Onemogućen").at(50, 130, 50, 14).with(Disabled | Skip),              // 14
            entry(Var::of(upperText), Format::text(10)).at(110, 130, 60, 12).with(Upper),  // 15
            entry(Var::of(signedValue), Format::number(6)).at(180, 130, 40, 12),         // 16
        };
        return d;
    }
};

TEST_F(Win32ToolkitTest, BuildsEveryControlKindWithItsIdClassAndShownValue) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    ASSERT_TRUE(w->isOpen());
    HWND top = reinterpret_cast<HWND>(w->handle());
    EXPECT_EQ("Svi kontrolni elementi", narrow(ui::win32::windowText(top)));
    struct Expect {
        int field;
        const wchar_t* cls;
    } kinds[] = {{1, L"Static"}, {7, L"Edit"}, {8, L"Button"}, {9, L"Button"}, {10, L"SysListView32"},
                 {11, L"Edit"}, {14, L"Button"}, {15, L"Edit"}};
    for (const Expect& e : kinds) {
        HWND h = child(*w, e.field);
        ASSERT_NE(nullptr, h) << "field " << e.field;
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        EXPECT_EQ(0, lstrcmpiW(cls, e.cls)) << "field " << e.field;
    }
    EXPECT_NE(nullptr, child(*w, 12)) << "the object's area carries the field's ID";
    // Texts without an access key, pictures and frames are drawn by the window itself;
    // a prompt with one ("&Ime:") keeps its control, which Alt+I needs.
    for (int field : {2, 3, 4, 5, 6, 13}) {
        EXPECT_EQ(nullptr, child(*w, field)) << "field " << field;
        vx::testing::AccessibleChild d;
        EXPECT_TRUE(vx::testing::accessibleElement(top, field, d)) << "field " << field;
    }
    vx::testing::AccessibleChild notDrawn;
    EXPECT_FALSE(vx::testing::accessibleElement(top, 7, notDrawn)) << "an entry is a window of its own";

    w->display(0, 0);
    EXPECT_EQ("0000042", shown(*w, 2));
    EXPECT_EQ("Ana Horvat", shown(*w, 3));
    EXPECT_EQ("1,234,567", shown(*w, 4));
    EXPECT_EQ(BST_CHECKED, SendMessageW(child(*w, 9), BM_GETCHECK, 0, 0));
    EXPECT_EQ("5", shown(*w, 7));
    EXPECT_EQ("prvi red\r\ndrugi red", shown(*w, 11)) << "LF shown as CRLF";
    EXPECT_TRUE(GetWindowLongPtrW(child(*w, 11), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrW(child(*w, 8), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongPtrW(child(*w, 14), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrW(child(*w, 7), GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(5, SendMessageW(child(*w, 7), EM_GETLIMITTEXT, 0, 0));

    // The list: one row per table entry, formatted.
    HWND lv = child(*w, 10);
    ASSERT_EQ(3, SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
    wchar_t cell[32] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = cell;
    item.cchTextMax = 32;
    SendMessageW(lv, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(L"200", std::wstring(cell));
    // Its header centred as defined (a list view's first column ignores LVCFMT_CENTER).
    HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
    wchar_t headerText[32] = {};
    HDITEMW hd{};
    hd.mask = HDI_FORMAT | HDI_TEXT;
    hd.pszText = headerText;
    hd.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&hd)));
    EXPECT_EQ(L"Broj", std::wstring(headerText));
    EXPECT_EQ(HDF_CENTER, hd.fmt & HDF_JUSTIFYMASK);

    // Windows-1250 letters reach the screen as their Unicode characters.
    EXPECT_EQ(L"Onemogu\x0107" L"en", ui::win32::windowText(child(*w, 14)));

    // Initial and changed states.
    EXPECT_TRUE(w->isHidden(13));
    EXPECT_FALSE(drawn(top, 13).visible());
    EXPECT_EQ("skriven", narrow(drawn(top, 13).name));
    EXPECT_FALSE(w->isEnabled(14));
    w->setHidden(13, false);
    w->setEnabled(14, true);
    w->setEnabled(7, false);
    EXPECT_FALSE(w->isHidden(13));
    EXPECT_TRUE(drawn(top, 13).visible());
    EXPECT_TRUE(w->isEnabled(14));
    EXPECT_FALSE(IsWindowEnabled(child(*w, 7)));

    // A changed bound value shows on redraw in display fields only.
    v.number = 7;
    v.typed = 99;
    w->redrawDisplays();
    EXPECT_EQ("0000007", shown(*w, 2));
    EXPECT_EQ("5", shown(*w, 7)) << "entries show a change only on an explicit redisplay";
    w->display(7, 7);
    EXPECT_EQ("99", shown(*w, 7));

    // Embedded objects lie under the later controls; the Tab order stays the declaration order.
    auto above = [](HWND upper, HWND lower) {
        for (HWND h = GetWindow(upper, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
            if (h == lower) return true;
        return false;
    };
    EXPECT_TRUE(above(child(*w, 14), child(*w, 12)));
    EXPECT_EQ(child(*w, 8), GetNextDlgTabItem(top, child(*w, 7), FALSE));

    // Status zones.
    w->setStatusText(2, "IP Adresa servera:10.0.0.1");
    HWND status = FindWindowExW(top, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(nullptr, status);
    wchar_t zone[128] = {};
    SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(zone));
    EXPECT_EQ(L"IP Adresa servera:10.0.0.1", std::wstring(zone));
    EXPECT_EQ(2, SendMessageW(status, SB_GETPARTS, 0, 0));

    w->close();
    EXPECT_FALSE(w->isOpen());
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(0, w->next().code) << "a closed window's queue is over";
}

// Pixels of one colour in the window's client area, as the screen shows them.
int pixelsOf(HWND top, COLORREF colour) {
    RECT rc;
    GetClientRect(top, &rc);
    HDC dc = GetDC(top);
    int n = 0;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            if (GetPixel(dc, x, y) == colour) ++n;
    ReleaseDC(top, dc);
    return n;
}

TEST_F(Win32ToolkitTest, DrawnTextsPicturesAndFramesShowOnTheScreenAndFollowChanges) {
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    vx::Text<10> word{"MMMMMM"};
    WindowDef d;
    d.title = "Crtanje";
    d.w = 160;
    d.h = 60;
    d.bg = RGB(255, 255, 255);
    d.controls = {
        display(Var::of(word), Format::text(10)).at(4, 4, 80, 14).withFont(Font{"Tahoma", 12, true, true})
            .colours(red),                                      // 1
        box().at(100, 4, 50, 40).colours(blue),                // 2
        string("MMMM").at(4, 30, 80, 14).withFont(Font{"Tahoma", 12, true, true})
            .colours(blue).with(Hidden),                       // 3
    };
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND top = reinterpret_cast<HWND>(w->handle());
    w->display(0, 0);
    drain(*w);
    int wide = pixelsOf(top, red);
    EXPECT_GT(wide, 0) << "the text is painted in its colour";
    int frame = pixelsOf(top, blue);
    EXPECT_GT(frame, 0) << "the frame is painted in its colour";

    word = vx::Text<10>{"M"};
    w->redrawDisplays();
    drain(*w);
    int narrowText = pixelsOf(top, red);
    EXPECT_GT(narrowText, 0);
    EXPECT_LT(narrowText, wide) << "a changed value is painted again";

    w->setHidden(3, false);
    drain(*w);
    EXPECT_GT(pixelsOf(top, blue), frame) << "a shown text appears";
    w->setHidden(1, true);
    w->setHidden(3, true);
    drain(*w);
    EXPECT_EQ(0, pixelsOf(top, red)) << "a hidden text leaves the window's background";
    EXPECT_EQ(frame, pixelsOf(top, blue));
    w->close();
}

// What an assistive aid reads: the drawn fields as elements (child ID = field
// number) with their text, role, state and place, beside the child windows.
TEST_F(Win32ToolkitTest, AssistiveTechnologyReadsDrawnFieldsBesideTheChildWindows) {
    const COLORREF red = RGB(255, 0, 0);
    vx::Text<10> word{"MMMM"};
    WindowDef d;
    d.title = "Citac";
    d.w = 200;
    d.h = 80;
    d.bg = RGB(255, 255, 255);
    d.controls = {
        display(Var::of(word), Format::text(10)).at(4, 4, 80, 14).withFont(Font{"Tahoma", 12, true, true})
            .colours(red),                                               // 1
        string("Skriven").at(4, 24, 60, 10).with(Hidden),               // 2
        string("Siv").at(4, 36, 60, 10).with(Disabled),                 // 3
        image("red.bmp").at(100, 4, 20, 20).withTip("Veza"),            // 4
        control(Kind::Box, "Okvir").at(130, 4, 60, 40),                  // 5
        button("U redu").at(100, 50, 50, 14),                           // 6
        entry(Var::of(word), Format::text(10)).at(4, 50, 60, 12),       // 7
    };
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND top = reinterpret_cast<HWND>(w->handle());
    w->display(0, 0);
    drain(*w);

    std::vector<vx::testing::AccessibleChild> all;
    ASSERT_TRUE(vx::testing::accessibleChildren(top, all));
    std::map<long, vx::testing::AccessibleChild> drawnFields;
    std::map<HWND, std::wstring> windows;
    for (const auto& c : all) {
        if (c.element) drawnFields[c.id] = c;
        else windows[c.window] = c.name;
    }
    struct Want {
        long field, role;
        const wchar_t* name;
        bool visible, enabled;
    } wants[] = {
        {1, ROLE_SYSTEM_STATICTEXT, L"MMMM", true, true},
        {2, ROLE_SYSTEM_STATICTEXT, L"Skriven", false, true},
        {3, ROLE_SYSTEM_STATICTEXT, L"Siv", true, false},
        {4, ROLE_SYSTEM_GRAPHIC, L"Veza", true, true},
        {5, ROLE_SYSTEM_GROUPING, L"Okvir", true, true},
    };
    ASSERT_EQ(std::size(wants), drawnFields.size()) << "one element per drawn field, none for the controls";
    for (const Want& want : wants) {
        const auto& c = drawnFields[want.field];
        EXPECT_EQ(want.role, c.role) << want.field;
        EXPECT_EQ(want.name, c.name) << want.field;
        EXPECT_EQ(want.visible, c.visible()) << want.field;
        EXPECT_EQ(want.enabled, c.enabled()) << want.field;
    }
    // The child windows as the system lists them: the button with its name.
    EXPECT_EQ(L"U redu", windows[child(*w, 6)]);
    EXPECT_EQ(1u, windows.count(child(*w, 7)));

    // Its place on the screen holds its pixels; a point in it hits it.
    RECT painted{LONG_MAX, LONG_MAX, -1, -1};
    RECT area;
    GetClientRect(top, &area);
    HDC dc = GetDC(top);
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            if (GetPixel(dc, x, y) == red && x < area.right / 2)
                painted = RECT{std::min(painted.left, LONG(x)), std::min(painted.top, LONG(y)),
                               std::max(painted.right, LONG(x)), std::max(painted.bottom, LONG(y))};
    ReleaseDC(top, dc);
    ASSERT_GE(painted.right, 0);
    MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&painted), 2);
    const RECT& at = drawnFields[1].location;
    EXPECT_TRUE(painted.left >= at.left && painted.right < at.right && painted.top >= at.top &&
                painted.bottom < at.bottom);
    vx::testing::ComForReading com;
    IAccessible* client = nullptr;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(top, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                                        reinterpret_cast<void**>(&client)));
    VARIANT hit;
    VariantInit(&hit);
    EXPECT_HRESULT_SUCCEEDED(client->accHitTest((at.left + at.right) / 2, (at.top + at.bottom) / 2, &hit));
    EXPECT_EQ(VT_I4, hit.vt);
    EXPECT_EQ(1, hit.lVal);

    // A changed value and state are read as they are now.
    word = vx::Text<10>{"Novo"};
    w->redrawDisplays();
    w->setHidden(2, false);
    vx::testing::AccessibleChild now;
    ASSERT_TRUE(vx::testing::accessibleElement(top, 1, now));
    EXPECT_EQ(L"Novo", now.name);
    ASSERT_TRUE(vx::testing::accessibleElement(top, 2, now));
    EXPECT_TRUE(now.visible());

    // An aid that still holds the object once the window has gone gets an error, not a crash.
    w->close();
    LONG count = 0;
    EXPECT_HRESULT_FAILED(client->get_accChildCount(&count));
    VARIANT first;
    first.vt = VT_I4;
    first.lVal = 1;
    BSTR name = nullptr;
    EXPECT_HRESULT_FAILED(client->get_accName(first, &name));
    client->Release();
}

// The window's tooltip control, once there is one.
HWND tipsOf(HWND top) {
    for (HWND h = FindWindowW(TOOLTIPS_CLASSW, nullptr); h; h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr))
        if (GetWindow(h, GW_OWNER) == top) return h;
    return nullptr;
}

TEST_F(Win32ToolkitTest, ATipShowsWhenTheMouseRestsOnItsControlOrText) {
    WindowDef d;
    d.title = "Savjeti";
    d.w = 160;
    d.h = 60;
    d.controls = {
        button("Gumb").at(4, 4, 60, 14).withTip("Savjet gumba"),        // 1
        string("Tekst").at(80, 4, 60, 10).withTip("Savjet teksta"),     // 2
        button("Bez savjeta").at(4, 30, 60, 14),                        // 3
        string("Skriven").at(80, 30, 60, 10).withTip("Savjet skrivenog").with(Hidden),  // 4
    };
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND top = reinterpret_cast<HWND>(w->handle());
    SetForegroundWindow(top);
    drain(*w);
    // Dialog units to the screen, from the first button's place and size.
    RECT b1;
    GetWindowRect(child(*w, 1), &b1);
    double sx = (b1.right - b1.left) / 60.0, sy = (b1.bottom - b1.top) / 14.0;
    auto centre = [&](int x, int y, int wdu, int hdu) {
        return POINT{b1.left + LONG((x - 4 + wdu / 2.0) * sx), b1.top + LONG((y - 4 + hdu / 2.0) * sy)};
    };
    struct Case {
        int field;
        POINT at;
        const char* tip;  // nullptr: none shows
    } cases[] = {{1, centre(4, 4, 60, 14), "Savjet gumba"},
                 {3, centre(4, 30, 60, 14), nullptr},
                 {2, centre(80, 4, 60, 10), "Savjet teksta"},
                 {4, centre(80, 30, 60, 10), nullptr}};
    for (const Case& c : cases) {
        SetCursorPos(c.at.x, c.at.y);
        HWND under = WindowFromPoint(c.at);
        POINT at = c.at;
        ScreenToClient(under, &at);
        PostMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        bool shown = false;
        std::string text;
        for (int i = 0; i < 40 && !shown; ++i) {
            nextWithin(*w, 50);
            HWND tips = tipsOf(top);
            shown = tips && IsWindowVisible(tips);
            if (shown) {
                wchar_t buf[128] = {};
                TTTOOLINFOW ti{};
                ti.cbSize = TTTOOLINFOW_V2_SIZE;
                ti.lpszText = buf;
                SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
                text = narrow(buf);
            }
        }
        if (c.tip) {
            EXPECT_TRUE(shown) << "field " << c.field;
            EXPECT_EQ(c.tip, text) << "field " << c.field;
        } else {
            EXPECT_FALSE(shown) << "field " << c.field << " has no tip, yet \"" << text << "\" shows";
        }
    }
    w->close();
}

// Where a colour's pixels lie across the client area: the leftmost and rightmost column (-1: none).
std::pair<int, int> columnsOf(HWND top, COLORREF colour) {
    RECT rc;
    GetClientRect(top, &rc);
    HDC dc = GetDC(top);
    int left = -1, right = -1;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            if (GetPixel(dc, x, y) == colour) {
                if (left < 0 || x < left) left = x;
                right = std::max(right, x);
            }
    ReleaseDC(top, dc);
    return {left, right};
}

TEST_F(Win32ToolkitTest, DrawnTextsAlignAndGreyOutAsStaticControlsDo) {
    const COLORREF red = RGB(255, 0, 0);
    struct Case {
        uint32_t align;
        const char* where;
    } cases[] = {{0, "left"}, {Centre, "centre"}, {Right, "right"}};
    for (const Case& c : cases) {
        WindowDef d;
        d.title = "Poravnanje";
        d.w = 160;
        d.h = 30;
        d.bg = RGB(255, 255, 255);
        d.controls = {string("MM").at(0, 4, 160, 14).withFont(Font{"Tahoma", 12, true, true}).colours(red).with(c.align)};
        auto w = toolkit().create(d);
        openAndWait(*w);
        HWND top = reinterpret_cast<HWND>(w->handle());
        RECT client;
        GetClientRect(top, &client);
        auto [left, right] = columnsOf(top, red);
        ASSERT_GE(left, 0) << c.where;
        int middle = (left + right) / 2, third = client.right / 3;
        if (c.align == 0) EXPECT_LT(middle, third) << c.where;
        else if (c.align == Right) EXPECT_GT(middle, 2 * third) << c.where;
        else EXPECT_TRUE(middle > third && middle < 2 * third) << c.where << " " << middle;
        if (c.align == 0) {  // disabled: the system's grey, not its own colour
            w->setEnabled(1, false);
            drain(*w);
            EXPECT_EQ(-1, columnsOf(top, red).first);
            EXPECT_GE(columnsOf(top, GetSysColor(COLOR_GRAYTEXT)).first, 0);
        }
        w->close();
    }
}

TEST_F(Win32ToolkitTest, AHiddenPictureLeavesTheBackgroundAndATransparentTextOverItStays) {
    const COLORREF white = RGB(255, 255, 255), blue = RGB(0, 0, 255);
    WindowDef d;
    d.title = "Slika";
    d.w = 100;
    d.h = 40;
    d.bg = white;
    d.controls = {
        image("red.bmp").at(0, 0, 100, 40),                                                              // 1
        string("MM").at(10, 10, 60, 14).withFont(Font{"Tahoma", 12, true, true}).colours(blue).with(Transparent),  // 2
    };
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND top = reinterpret_cast<HWND>(w->handle());
    RECT client;
    GetClientRect(top, &client);
    int all = client.right * client.bottom;
    int textPixels = pixelsOf(top, blue);
    EXPECT_GT(textPixels, 0);
    EXPECT_LT(pixelsOf(top, white), all / 2) << "the picture covers the window";

    w->setHidden(1, true);
    drain(*w);
    EXPECT_GT(pixelsOf(top, white), all - all / 5) << "the background where the picture was";
    EXPECT_EQ(textPixels, pixelsOf(top, blue)) << "the text over it stays";
    w->setHidden(1, false);
    drain(*w);
    EXPECT_LT(pixelsOf(top, white), all / 2) << "the picture back";
    EXPECT_EQ(textPixels, pixelsOf(top, blue));
    w->close();
}

// The scaling hook's budget of failures: each call spends one and throws, as
// an allocation failing while a picture is scaled would.
std::atomic<int> scalingsToFail{0};
void failScaling() {
    if (scalingsToFail.fetch_sub(1) > 0) throw std::bad_alloc();
}

int pixelsIn(HWND top, RECT area, COLORREF colour) {
    HDC dc = GetDC(top);
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) == colour) ++n;
    ReleaseDC(top, dc);
    return n;
}

// A preload whose scaling throws ends without ending the process: that
// picture's place stays plain, and the picture after it still shows.
TEST_F(Win32ToolkitTest, APreloadWhoseScalingFailsLeavesThatPicturesPlacePlain) {
    const COLORREF white = RGB(255, 255, 255);
    WindowDef d;
    d.title = "Neuspjelo skaliranje";
    d.w = 100;
    d.h = 40;
    d.bg = white;
    d.controls = {
        image("red.bmp").at(0, 0, 50, 40),   // 1: the preload's first scaling, which fails
        image("red.bmp").at(50, 0, 50, 40),  // 2
    };
    scalingsToFail = 1;
    ui::win32::setScalingHook(&failScaling);
    auto w = toolkit().create(d);
    openAndWait(*w);
    ui::win32::setScalingHook(nullptr);
    HWND top = reinterpret_cast<HWND>(w->handle());
    ASSERT_TRUE(IsWindowVisible(top));
    RECT client;
    GetClientRect(top, &client);
    // Two pixels clear of the seam between the halves.
    RECT left{0, 0, client.right / 2 - 2, client.bottom}, right{client.right / 2 + 2, 0, client.right, client.bottom};
    EXPECT_EQ((left.right - left.left) * client.bottom, pixelsIn(top, left, white)) << "the failed picture's place is the background";
    EXPECT_EQ(0, pixelsIn(top, right, white)) << "the next picture shows";
    w->close();
}

// A transparent control is a window of its own: what lies beneath it must
// come from the window's backdrop at the same place, the picture's edge
// running on through the control.
TEST_F(Win32ToolkitTest, ATransparentControlShowsThePictureBeneathItInPlace) {
    const COLORREF white = RGB(255, 255, 255);
    uint32_t ticked = 0;
    WindowDef d;
    d.title = "Podloga";
    d.w = 100;
    d.h = 40;
    d.bg = white;
    d.controls = {
        image("red.bmp").at(50, 0, 50, 40),                           // 1
        check("", Var::of(ticked)).at(10, 14, 80, 12).with(Transparent),  // 2
    };
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND top = reinterpret_cast<HWND>(w->handle());
    HWND box = GetDlgItem(top, 1000 + 2);
    ASSERT_TRUE(box);
    RECT rc;
    GetWindowRect(box, &rc);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rc), 2);
    HDC dc = GetDC(top);
    // The picture's left edge, in a row of the window above the control.
    int edge = -1;
    for (int x = 0; x < rc.right && edge < 0; ++x)
        if (GetPixel(dc, x, rc.top - 2) != white) edge = x;
    ReleaseDC(top, dc);
    ASSERT_GT(edge, rc.left + 30) << "the picture starts right of the check box's square";
    HDC inside = GetDC(box);
    int y = (rc.bottom - rc.top) / 2;
    EXPECT_EQ(white, GetPixel(inside, edge - rc.left - 3, y)) << "left of the picture's edge";
    EXPECT_NE(white, GetPixel(inside, edge - rc.left + 2, y)) << "right of it";
    EXPECT_NE(white, GetPixel(inside, rc.right - rc.left - 3, y));
    ReleaseDC(box, inside);
    w->close();
}

// --- the drawn fields in every frame and in captures ---

// A top-down 32-bit picture of `size` (0x00RRGGBB per pixel): a memory DC
// filled with a colour no window here uses, then handed to `draw`.
constexpr COLORREF kUnusedColour = RGB(255, 0, 255);
std::vector<uint32_t> capture(SIZE size, const std::function<void(HDC)>& draw) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = -size.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bitmap);
    RECT all{0, 0, size.cx, size.cy};
    HBRUSH unused = CreateSolidBrush(kUnusedColour);
    FillRect(mem, &all, unused);
    DeleteObject(unused);
    draw(mem);
    GdiFlush();
    std::vector<uint32_t> out(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size.cx * size.cy);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    return out;
}

SIZE clientSize(HWND top) {
    RECT rc;
    GetClientRect(top, &rc);
    return SIZE{rc.right, rc.bottom};
}

// The client area as the screen shows it now, read without pumping a message.
std::vector<uint32_t> onScreen(HWND top) {
    SIZE size = clientSize(top);
    return capture(size, [&](HDC mem) {
        HDC dc = GetDC(top);
        BitBlt(mem, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
        ReleaseDC(top, dc);
    });
}

int count(const std::vector<uint32_t>& pixels, COLORREF colour) {
    uint32_t want = uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
    return int(std::count(pixels.begin(), pixels.end(), want));
}

int differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// A picture on the left and a red text on the right, on white: painted once,
// it is the picture every later frame and capture must match.
struct DrawnWindow {
    static constexpr COLORREF white = RGB(255, 255, 255), red = RGB(255, 0, 0);
    std::unique_ptr<Window> w;
    HWND top = nullptr;
    std::vector<uint32_t> painted;

    DrawnWindow() {
        WindowDef d;
        d.title = "Nacrtano";
        d.w = 160;
        d.h = 40;
        d.bg = white;
        d.controls = {
            image("red.bmp").at(0, 0, 40, 40),                                                              // 1
            string("MMMM").at(50, 12, 100, 14).withFont(Font{"Tahoma", 12, true, true}).colours(red),  // 2
        };
        w = toolkit().create(d);
        openAndWait(*w);
        top = reinterpret_cast<HWND>(w->handle());
        painted = onScreen(top);
        EXPECT_GT(count(painted, red), 0) << "the text is painted";
        EXPECT_GT(pictured(painted), int(painted.size()) / 5) << "the picture is painted";
    }
    ~DrawnWindow() { w->close(); }
    // Pixels of the picture: neither the background, the text nor unpainted.
    static int pictured(const std::vector<uint32_t>& p) {
        return int(p.size()) - count(p, white) - count(p, red) - count(p, kUnusedColour);
    }
};

// Wine erases a window as it shows it, inside ShowWindow; its paint comes
// later from the queue. The frame between must already hold the fields.
TEST_F(Win32ToolkitTest, DrawnFieldsStayOnTheScreenWhenTheWindowIsRestoredOrShownAgain) {
    struct Case {
        const char* what;
        int away, back;
    } cases[] = {{"restored", SW_MINIMIZE, SW_RESTORE}, {"shown again", SW_HIDE, SW_SHOW}};
    for (const Case& c : cases) {
        DrawnWindow dw;
        ShowWindow(dw.top, c.away);
        drain(*dw.w);
        EXPECT_FALSE(IsWindowVisible(dw.top) && !IsIconic(dw.top)) << c.what;
        ShowWindow(dw.top, c.back);  // no message pumped before the reading
        EXPECT_EQ(0, differing(dw.painted, onScreen(dw.top))) << c.what << ", before the paint";
        drain(*dw.w);
        EXPECT_EQ(0, differing(dw.painted, onScreen(dw.top))) << c.what << ", after the paint";
    }
}

// Captures of the window (PrintWindow, and WM_PRINTCLIENT into a memory DC)
// show what the screen shows, as they showed the static controls.
TEST_F(Win32ToolkitTest, CapturesOfTheWindowShowItsDrawnFields) {
    DrawnWindow dw;
    SIZE size = clientSize(dw.top);
    auto client = capture(size, [&](HDC mem) { PrintWindow(dw.top, mem, PW_CLIENTONLY); });
    EXPECT_EQ(0, differing(dw.painted, client)) << "PrintWindow, client area";
    auto printed = capture(size, [&](HDC mem) {
        SendMessageW(dw.top, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    });
    EXPECT_EQ(0, differing(dw.painted, printed)) << "WM_PRINTCLIENT";
    // Into a DC whose origin is moved, as a themed control draws its parent
    // beneath it: the picture moves with the rest.
    const int dx = 7, dy = 5;
    SIZE larger{size.cx + dx, size.cy + dy};
    auto moved = capture(larger, [&](HDC mem) {
        SetViewportOrgEx(mem, dx, dy, nullptr);
        SendMessageW(dw.top, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    });
    std::vector<uint32_t> inside;
    for (int y = dy; y < larger.cy; ++y) {
        auto row = moved.begin() + y * larger.cx;
        inside.insert(inside.end(), row + dx, row + larger.cx);
    }
    EXPECT_EQ(0, differing(dw.painted, inside)) << "WM_PRINTCLIENT at a moved origin";

    // The whole window: Wine's WM_PRINT leaves the frame out and puts the client
    // area at the corner, so only what it holds is compared.
    RECT frame;
    GetWindowRect(dw.top, &frame);
    auto window = capture(SIZE{frame.right - frame.left, frame.bottom - frame.top},
                          [&](HDC mem) { PrintWindow(dw.top, mem, 0); });
    EXPECT_EQ(count(dw.painted, dw.red), count(window, dw.red)) << "PrintWindow, whole window: the text";
    EXPECT_EQ(count(dw.painted, dw.white), count(window, dw.white)) << "... the background";
    EXPECT_EQ(dw.pictured(dw.painted), dw.pictured(window)) << "... the picture";
}

TEST_F(Win32ToolkitTest, OpenQueuesOpenWindowFirstThenFocus) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    auto events = drain(*w);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(EVENT_OpenWindow, events.front().code);
    w->close();
}

// --- input completion ---

struct Completion {
    const char* typed;
    int field;
    int event;
    uint32_t typedAfter;
    std::string upperAfter;
    int32_t signedAfter;
};

TEST_F(Win32ToolkitTest, CompletedEntryIsStoredOrRejected) {
    const Completion cases[] = {
        {"123", 7, EVENT_Accepted, 123, "", -12},
        {"12a", 7, EVENT_Rejected, 5, "", -12},         // not a number: variable unchanged
        {"-3", 7, EVENT_Rejected, 5, "", -12},          // negative into an unsigned
        {"zagreb", 15, EVENT_Accepted, 5, "zagreb", -12},  // Upper: not typed, stored as shown
        {"-40", 16, EVENT_Accepted, 5, "", -40},
    };
    for (const Completion& c : cases) {
        AllKinds v;
        auto w = toolkit().create(v.def());
        w->open();
        w->display(0, 0);
        drain(*w);
        HWND edit = child(*w, c.field);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(widen(c.typed).c_str()));
        SendMessageW(reinterpret_cast<HWND>(w->handle()), WM_COMMAND, MAKEWPARAM(1000 + c.field, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(edit));
        auto events = drain(*w);
        EXPECT_TRUE(hasEvent(events, c.event, c.field)) << c.typed;
        EXPECT_EQ(c.typedAfter, v.typed) << c.typed;
        EXPECT_EQ(c.upperAfter, v.upperText.clip()) << c.typed;
        EXPECT_EQ(c.signedAfter, v.signedValue) << c.typed;
        w->close();
    }
}

TEST_F(Win32ToolkitTest, UpperCaseEntryCapitalisesTypedLettersOnly) {
    AllKinds v;
    v.upperText = "zagreb";
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);
    drain(*w);
    HWND edit = child(*w, 15);
    EXPECT_EQ("zagreb", shown(*w, 15)) << "the program's text is shown as it is";
    SendMessageW(edit, EM_SETSEL, 6, 6);  // the caret at the end
    for (wchar_t ch : std::wstring(L"-\x010D" L"a1"))  // "-ča1" typed key by key
        SendMessageW(edit, WM_CHAR, WPARAM(ch), 1);
    EXPECT_EQ(L"zagreb-\x010C" L"A1", ui::win32::windowText(edit));
    SendMessageW(reinterpret_cast<HWND>(w->handle()), WM_COMMAND, MAKEWPARAM(1015, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(edit));
    drain(*w);
    EXPECT_EQ("zagreb-Č" "A1", v.upperText.clip()) << "the variable holds what the entry shows";
    w->close();
}

// Puts text on the clipboard, owned by the given window (the clipboard takes data only from an owner).
void setClipboard(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(data), text.c_str(), bytes);
    GlobalUnlock(data);
    EXPECT_TRUE(SetClipboardData(CF_UNICODETEXT, data));
    CloseClipboard();
}

// WM_PASTE is what Ctrl+V and the context menu's Paste send the edit.
TEST_F(Win32ToolkitTest, PasteIntoAnEntryTakesTheFirstLineWithinItsLimitInCapitalsWhereAsked) {
    struct Case {
        int field;  // 15: upper case, 10 characters; 16: a number of 6
        const wchar_t* clipboard;
        bool readOnly;
        const wchar_t* shownAfter;
    } cases[] = {
        {15, L"-ri\r\njeka", false, L"zagreb-RI"},  // up to the line break
        {15, L"-ri\njeka", false, L"zagreb-RI"},
        {15, L"-ri\rjeka", false, L"zagreb-RI"},
        {15, L"-split\r\n", false, L"zagreb-SPL"},  // the entry takes 10 characters
        {15, L"-ri", true, L"zagreb"},
        {16, L"12\r34", false, L"zagreb12"},  // an entry of any kind: one line, as pasted
        {16, L"12\n34", false, L"zagreb12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.clipboard));
        AllKinds v;
        auto w = toolkit().create(v.def());
        w->open();
        w->display(0, 0);
        drain(*w);
        HWND edit = child(*w, c.field);
        SendMessageW(edit, EM_LIMITTEXT, 10, 0);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"zagreb"));
        SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        setClipboard(reinterpret_cast<HWND>(w->handle()), c.clipboard);
        SendMessageW(edit, EM_SETREADONLY, c.readOnly, 0);
        SendMessageW(edit, EM_SETSEL, 6, 6);
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(c.shownAfter, ui::win32::windowText(edit));
        SendMessageW(edit, EM_UNDO, 0, 0);
        EXPECT_EQ(L"zagreb", ui::win32::windowText(edit)) << "undo takes the paste back";
        w->close();
    }
}

TEST_F(Win32ToolkitTest, AnEntryStoresItsTextUpToTheFirstLineBreak) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);
    drain(*w);
    HWND edit = child(*w, 15);
    // Another program's WM_SETTEXT can put any line breaks into a single-line edit.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ab\r\ncd"));
    SendMessageW(reinterpret_cast<HWND>(w->handle()), WM_COMMAND, MAKEWPARAM(1015, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(edit));
    drain(*w);
    EXPECT_EQ("ab", v.upperText.clip());
    w->close();
}

TEST_F(Win32ToolkitTest, LeavingAnUnchangedEntryCompletesNothing) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);  // our own text is not a change
    drain(*w);
    SendMessageW(reinterpret_cast<HWND>(w->handle()), WM_COMMAND, MAKEWPARAM(1007, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(child(*w, 7)));
    auto events = drain(*w);
    EXPECT_FALSE(hasEvent(events, EVENT_Accepted));
    EXPECT_FALSE(hasEvent(events, EVENT_Rejected));
    w->close();
}

TEST_F(Win32ToolkitTest, ButtonAfterTypingCompletesTheEntryFirst) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);
    drain(*w);
    SetFocus(child(*w, 7));
    SendMessageW(child(*w, 7), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"777"));
    SendMessageW(child(*w, 8), BM_CLICK, 0, 0);
    auto events = drain(*w);
    std::vector<int> accepted;
    for (const Event& e : events)
        if (e.code == EVENT_Accepted) accepted.push_back(e.field);
    EXPECT_EQ((std::vector<int>{7, 8}), accepted);
    EXPECT_EQ(777u, v.typed) << "stored before the button's event";
    w->close();
}

struct EnterCase {
    bool defaultButton;
    std::vector<int> accepted;  // fields, in order
};

TEST_F(Win32ToolkitTest, EnterInAnEntryCompletesItAndPressesTheDefaultButton) {
    const EnterCase cases[] = {{false, {1}}, {true, {1, 2}}};
    for (const EnterCase& c : cases) {
        uint32_t value = 0;
        WindowDef d;
        d.title = "Enter";
        d.w = 120;
        d.h = 40;
        Control ok = button("OK").at(70, 5, 40, 14);
        if (c.defaultButton) ok.with(Default);
        d.controls = {entry(Var::of(value), Format::number(5)).at(5, 5, 50, 12), ok};
        auto w = toolkit().create(d);
        w->open();
        drain(*w);
        HWND edit = child(*w, 1);
        SetFocus(edit);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"31"));
        // Through the window's own loop, where Enter is handled as in a dialog.
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
        std::vector<int> accepted;
        for (Event e = nextWithin(*w, 1000); e.code != kTimeoutEvent; e = nextWithin(*w, 300))
            if (e.code == EVENT_Accepted) accepted.push_back(e.field);
        EXPECT_EQ(c.accepted, accepted) << "default button " << c.defaultButton;
        EXPECT_EQ(31u, value);
        w->close();
    }
}

TEST_F(Win32ToolkitTest, CheckBoxStoresItsStateBeforeAccepted) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);
    drain(*w);
    SendMessageW(child(*w, 9), BM_CLICK, 0, 0);
    auto events = drain(*w);
    EXPECT_TRUE(hasEvent(events, EVENT_Accepted, 9));
    EXPECT_EQ(0u, v.ticked);
    SendMessageW(child(*w, 9), BM_CLICK, 0, 0);
    drain(*w);
    EXPECT_EQ(1u, v.ticked);
    w->close();
}

TEST_F(Win32ToolkitTest, ListSelectionGivesNewSelectionAndTheRow) {
    AllKinds v;
    auto w = toolkit().create(v.def());
    w->open();
    w->display(0, 0);
    drain(*w);
    EXPECT_EQ(0, w->selectedRow(10));
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(child(*w, 10), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    auto events = drain(*w);
    EXPECT_TRUE(hasEvent(events, EVENT_NewSelection, 10));
    EXPECT_EQ(2, w->selectedRow(10));
    // Refilling from the table keeps the row and raises nothing.
    w->display(10, 10);
    EXPECT_FALSE(hasEvent(drain(*w), EVENT_NewSelection));
    EXPECT_EQ(2, w->selectedRow(10));
    w->close();
}

// --- window events ---

TEST_F(Win32ToolkitTest, WindowMessagesBecomeEvents) {
    WindowDef d;
    d.title = "Prozor";
    d.w = 100;
    d.h = 60;
    d.resizable = true;
    d.maximiseBox = true;
    d.controls = {button("OK").at(5, 5, 40, 14), object("Shell.Explorer.2").at(0, 25).with(FullSize)};
    auto w = toolkit().create(d);
    openAndWait(*w);
    HWND h = reinterpret_cast<HWND>(w->handle());

    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(hasEvent(drain(*w), EVENT_CloseWindow));
    EXPECT_TRUE(IsWindow(h)) << "a close request does not destroy the window";

    SetWindowPos(h, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(hasEvent(drain(*w), EVENT_Sized));
    // The full-size object follows the window to its bottom edge.
    RECT client, area;
    GetClientRect(h, &client);
    GetWindowRect(child(*w, 2), &area);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(client.right, area.right);
    EXPECT_EQ(client.bottom, area.bottom);

    // A posted EVENT_Maximize is only an event; the system menu's command maximises.
    w->post(Event{EVENT_Maximize});
    drain(*w);
    EXPECT_FALSE(IsZoomed(h));
    SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    auto events = drain(*w);
    EXPECT_TRUE(hasEvent(events, EVENT_Maximize));
    EXPECT_TRUE(IsZoomed(h));

    ShowWindow(h, SW_MINIMIZE);
    EXPECT_TRUE(hasEvent(drain(*w), EVENT_Iconized));
    w->close();
}

TEST_F(Win32ToolkitTest, OpensIconisedWithIconizedEvent) {
    WindowDef d;
    d.title = "Ikona";
    d.w = 100;
    d.h = 60;
    d.iconised = true;
    auto w = toolkit().create(d);
    auto events = openAndWait(*w);
    EXPECT_TRUE(hasEvent(events, EVENT_Iconized));
    EXPECT_TRUE(IsIconic(reinterpret_cast<HWND>(w->handle())));
    w->close();
}

TEST_F(Win32ToolkitTest, TimerEventsArrive) {
    WindowDef d;
    d.title = "Sat";
    d.w = 80;
    d.h = 40;
    d.timer = 5;  // 50 ms
    auto w = toolkit().create(d);
    w->open();
    int timers = 0;
    for (int i = 0; i < 40 && timers < 2; ++i) {
        Event e = nextWithin(*w, 2000);
        ASSERT_NE(kTimeoutEvent, e.code);
        if (e.code == EVENT_Timer) ++timers;
    }
    EXPECT_EQ(2, timers);

    // While a nested window runs its loop, the ticks wait as one event.
    drain(*w);
    d.title = "Ugniježđeni";
    d.timer = 0;
    auto nested = toolkit().create(d);
    nested->open();
    for (DWORD start = GetTickCount(); GetTickCount() - start < 400;) nextWithin(*nested, 100);
    nested->close();
    int waiting = 0;
    for (const Event& e : drain(*w)) waiting += e.code == EVENT_Timer;
    EXPECT_EQ(1, waiting);
    w->close();
}

TEST_F(Win32ToolkitTest, SecondWindowOnTheThreadIsModalToTheFirst) {
    WindowDef d;
    d.title = "Prvi";
    d.w = 100;
    d.h = 60;
    auto first = toolkit().create(d);
    first->open();
    drain(*first);
    d.title = "Drugi";
    auto second = toolkit().create(d);
    second->open();
    HWND h1 = reinterpret_cast<HWND>(first->handle()), h2 = reinterpret_cast<HWND>(second->handle());
    EXPECT_FALSE(IsWindowEnabled(h1));
    EXPECT_EQ(h1, GetWindow(h2, GW_OWNER));
    EXPECT_EQ(second.get(), toolkit().currentWindow());
    second->close();
    EXPECT_TRUE(IsWindowEnabled(h1));
    EXPECT_EQ(first.get(), toolkit().currentWindow());
    EXPECT_TRUE(hasEvent(drain(*first), EVENT_GainFocus)) << "the opener is active again";
    first->close();
    EXPECT_EQ(nullptr, toolkit().currentWindow());
}

TEST_F(Win32ToolkitTest, AWindowShowsWhenItFirstWaitsOrWhenSomethingOpensOverIt) {
    vx::Text<5> typed;
    WindowDef d;
    d.title = "Pripremljen";
    d.w = 100;
    d.h = 60;
    d.controls = {entry(Var::of(typed), Format::text(5)).at(5, 5, 40, 12)};
    auto alone = toolkit().create(d);
    alone->open();
    HWND h = reinterpret_cast<HWND>(alone->handle());
    alone->select(1);
    drain(*alone);  // only what is queued: no wait yet
    EXPECT_FALSE(IsWindowVisible(h)) << "open() alone shows nothing";
    for (Event e = nextWithin(*alone, 200); e.code != kTimeoutEvent && e.code != 0;) e = nextWithin(*alone, 200);
    EXPECT_TRUE(IsWindowVisible(h)) << "shown once it waits";
    EXPECT_EQ(child(*alone, 1), GetFocus()) << "the control selected before it showed has the focus";
    alone->close();

    // Still being prepared, it shows before a window or a box opens over it.
    auto owner = toolkit().create(d);
    owner->open();
    HWND o = reinterpret_cast<HWND>(owner->handle());
    d.title = "Iznad";
    auto over = toolkit().create(d);
    over->open();
    EXPECT_TRUE(IsWindowVisible(o)) << "a window opens over a visible window";
    over->close();
    owner->close();

    owner = toolkit().create(d);
    owner->open();
    o = reinterpret_cast<HWND>(owner->handle());
    bool ownerVisible = false;
    std::thread looker([&] {
        HWND box = nullptr;
        waitFor([&] { return (box = findOwnWindow(L"#32770")) != nullptr; });
        ownerVisible = IsWindowVisible(o) != FALSE;
        if (box) PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    MessageSpec m;
    m.text = "Gotovo";
    toolkit().message(m);
    looker.join();
    EXPECT_TRUE(ownerVisible) << "a message box opens over a visible window";
    owner->close();
}

// A preparation blocked in a call (a request): a quick one keeps the prepared
// first frame; a slow one has the window on the screen, painted, meanwhile.
TEST_F(Win32ToolkitTest, AWindowBeingPreparedShowsPaintedWhileABlockingCallTakesLong) {
    const COLORREF blue = RGB(0, 0, 255);
    WindowDef d;
    d.title = "Čeka odgovor";
    d.w = 120;
    d.h = 60;
    d.bg = RGB(255, 255, 255);
    d.controls = {box().at(10, 10, 50, 30).colours(blue)};
    struct Case {
        const char* what;
        bool shownFirst;  // the window has already waited for an event
        int callMs;
        bool shownDuring;
    };
    for (const Case& c : {Case{"quick", false, 30, false}, Case{"slow", false, 2500, true},
                          Case{"already shown", true, 30, true}}) {
        SCOPED_TRACE(c.what);
        auto w = toolkit().create(d);
        if (c.shownFirst) openAndWait(*w);
        else w->open();
        HWND h = reinterpret_cast<HWND>(w->handle());
        const ULONGLONG opened = GetTickCount64();
        ULONGLONG shownAfter = 0;
        bool answered = false;
        toolkit().whileBlocked([&] {
            while (GetTickCount64() < opened + ULONGLONG(c.callMs)) {
                if (!shownAfter && IsWindowVisible(h) && pixelsOf(h, blue) > 0) shownAfter = GetTickCount64() - opened;
                Sleep(10);
            }
            // Another program reading the window gets its answer meanwhile.
            DWORD_PTR length = 0;
            if (!c.shownFirst)
                answered = SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) != 0;
        });
        if (!c.shownDuring) {
            EXPECT_EQ(0u, shownAfter) << "the first frame is the prepared window";
            EXPECT_FALSE(IsWindowVisible(h));
        } else {
            EXPECT_GT(shownAfter, 0u) << "on the screen and painted while the call runs";
            EXPECT_LT(shownAfter, 2000u) << "soon after the call began, not only at its end";
            std::printf("[ %s ] on the screen, painted, %llu ms into the call\n", c.what, shownAfter);
        }
        if (!c.shownFirst) EXPECT_TRUE(answered) << "messages sent to the window are answered";
        w->close();
    }
}

// --- threads ---

TEST_F(Win32ToolkitTest, NotifyAndRedrawReachAWindowOnAnotherThread) {
    uint32_t shownValue = 11;
    std::atomic<HWND> otherWindow{nullptr};
    std::atomic<bool> done{false};
    Event received;
    uint32_t main = toolkit().currentThread();
    uint32_t worker = toolkit().startThread(
        [&] {
            WindowDef d;
            d.title = "Nit";
            d.w = 100;
            d.h = 40;
            d.controls = {display(Var::of(shownValue), Format::number(5)).at(2, 2, 40, 10)};
            auto w = toolkit().create(d);
            w->open();
            w->display(0, 0);
            otherWindow = reinterpret_cast<HWND>(w->handle());
            for (;;) {
                Event e = nextWithin(*w, 10000);
                if (e.code == EVENT_Notify || e.code == kTimeoutEvent) {
                    received = e;
                    break;
                }
            }
            w->close();
            done = true;
        },
        64 * 1024);
    ASSERT_NE(0u, worker);
    ASSERT_TRUE(waitFor([&] { return otherWindow.load() != nullptr; }));
    auto field = [&] { return narrow(drawn(otherWindow, 1).name); };
    EXPECT_EQ("11", field());

    // redrawAll from this thread: the other thread redraws its own field.
    shownValue = 345;
    toolkit().redrawAll();
    EXPECT_TRUE(waitFor([&] { return field() == "345"; })) << field();

    toolkit().notify(0x660, worker, 0x205);
    ASSERT_TRUE(waitFor([&] { return done.load(); }, 10000));
    EXPECT_EQ(EVENT_Notify, received.code);
    EXPECT_EQ(0x660u, received.notifyCode);
    EXPECT_EQ(main, received.notifyThread);
    EXPECT_EQ(0x205, received.notifyParam);
}

TEST_F(Win32ToolkitTest, NotifyToThisThreadGoesToTheInnermostWindow) {
    WindowDef d;
    d.title = "Vanjski";
    d.w = 80;
    d.h = 40;
    auto outer = toolkit().create(d);
    outer->open();
    d.title = "Unutarnji";
    auto inner = toolkit().create(d);
    inner->open();
    drain(*outer);
    drain(*inner);
    toolkit().notify(5, 0, 77);
    auto events = drain(*inner);
    ASSERT_TRUE(hasEvent(events, EVENT_Notify));
    EXPECT_FALSE(hasEvent(drain(*outer), EVENT_Notify));
    inner->close();
    outer->close();
}

// --- the popup menu ---

struct MenuCase {
    const char* items;
    int downs;       // VK_DOWN presses; -1: Escape
    int expected;
};

TEST_F(Win32ToolkitTest, PopupMenuReturnsTheChosenItemNumber) {
    WindowDef d;
    d.title = "Izbornik";
    d.w = 80;
    d.h = 40;
    auto w = toolkit().create(d);
    w->open();
    drain(*w);
    const MenuCase cases[] = {
        {"Prvi|Drugi|Treći", 2, 2},
        {"Prvi|-|Drugi|Treći", 2, 2},  // the separator is skipped and not counted
        {"Prvi|Drugi", -1, 0},
    };
    // Other test processes share the display: a window of theirs coming up
    // dismisses an open menu, so a case gets a second try.
    for (const MenuCase& c : cases) {
        int chosen = -1;
        for (int attempt = 0; attempt < 3 && chosen != c.expected; ++attempt) {
            std::thread keys([&] {
                HWND menu = nullptr;
                waitFor([&] { return (menu = findOwnWindow(L"#32768")) != nullptr; });
                if (!menu) return;
                Sleep(200);  // the menu takes keys only once its loop runs
                if (c.downs < 0) {
                    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    return;
                }
                for (int i = 0; i < c.downs; ++i) {
                    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                    Sleep(80);
                }
                PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
            });
            chosen = toolkit().popup(c.items);
            keys.join();
            waitFor([] { return findOwnWindow(L"#32768") == nullptr; }, 2000);
        }
        EXPECT_EQ(c.expected, chosen) << c.items;
    }
    w->close();
}

// --- message dialogs ---

struct BoxCase {
    MessageSpec request;
    int press;                     // button ID the helper presses
    int expected;                  // what message() returns
    std::map<int, std::string> labels;  // every button shown: ID -> label
};

TEST_F(Win32ToolkitTest, MessageBoxesShowTextAndReturnThePressedButton) {
    // The run under another desktop language says which one; it must be in force,
    // or the labels below prove nothing there.
    if (const char* language = std::getenv("VX_UI_LANGUAGE"))
        ASSERT_EQ(std::strtoul(language, nullptr, 16), GetUserDefaultUILanguage());
    WindowDef d;
    d.title = "Vlasnik";
    d.w = 80;
    d.h = 40;
    auto w = toolkit().create(d);
    w->open();
    drain(*w);
    auto request = [](unsigned buttons, bool daNe = false) {
        MessageSpec s;
        s.text = "Prvi red|Drugi red";
        s.caption = "Upozorenje";
        s.icon = Icon::Exclamation;
        s.buttons = buttons;
        s.yesNoDaNe = daNe;
        return s;
    };
    MessageSpec logo = request(BUTTON_OK);
    logo.icon = Icon::WinLogo;
    // Every label is the programs' own, whatever language the system draws in
    // (this test also runs under a Croatian desktop).
    const BoxCase cases[] = {
        {request(BUTTON_OK), IDOK, BUTTON_OK, {{IDOK, "OK"}}},
        {request(BUTTON_OK | BUTTON_CANCEL), IDCANCEL, BUTTON_CANCEL, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}},
        {request(BUTTON_YES | BUTTON_NO), IDNO, BUTTON_NO, {{IDYES, "&Yes"}, {IDNO, "&No"}}},
        {request(BUTTON_YES | BUTTON_NO), IDYES, BUTTON_YES, {{IDYES, "&Yes"}, {IDNO, "&No"}}},
        {request(BUTTON_YES | BUTTON_NO | BUTTON_CANCEL), IDCANCEL, BUTTON_CANCEL,
         {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}}},
        {request(BUTTON_RETRY | BUTTON_CANCEL), IDRETRY, BUTTON_RETRY, {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}}},
        {request(BUTTON_ABORT | BUTTON_RETRY | BUTTON_IGNORE), IDRETRY, BUTTON_RETRY,
         {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}}},
        {request(0, true), IDYES, 1, {{IDYES, "DA"}, {IDNO, "NE"}}},
        {request(0, true), IDNO, 2, {{IDYES, "DA"}, {IDNO, "NE"}}},
        // No system type has OK with No: relabelled and renumbered.
        {request(BUTTON_OK | BUTTON_NO), IDNO, BUTTON_NO, {{IDOK, "OK"}, {IDNO, "&No"}}},
        {request(BUTTON_OK | BUTTON_HELP), IDHELP, BUTTON_HELP, {{IDOK, "OK"}, {IDHELP, "&Help"}}},
        {logo, IDOK, BUTTON_OK, {{IDOK, "OK"}}},
    };
    for (const BoxCase& c : cases) {
        SeenBox seen;
        std::thread helper = answerBox(seen, c.press);
        int result = toolkit().message(c.request);
        helper.join();
        EXPECT_EQ(c.expected, result) << "press " << c.press;
        EXPECT_EQ("Upozorenje", seen.caption);
        EXPECT_EQ("Prvi red\nDrugi red", seen.text) << "'|' is a new line";
        EXPECT_EQ(c.labels, seen.labels) << "press " << c.press;
        EXPECT_TRUE(IsWindowEnabled(reinterpret_cast<HWND>(w->handle()))) << "owner enabled again";
    }
    w->close();
}

TEST_F(Win32ToolkitTest, CopyableMessageHasItsTextInAReadOnlyEdit) {
    MessageSpec s;
    s.text = "Odgovor servera:|OK 12345";
    s.caption = "Odgovor";
    s.copyable = true;
    s.icon = Icon::Information;
    SeenBox seen;
    std::thread helper = answerBox(seen, IDOK);
    int result = toolkit().message(s);
    helper.join();
    EXPECT_EQ(int(BUTTON_OK), result);
    EXPECT_TRUE(seen.textIsEdit);
    EXPECT_EQ("Odgovor servera:\r\nOK 12345", seen.text);
    EXPECT_EQ("Odgovor", seen.caption);
    EXPECT_EQ("OK", seen.labels[IDOK]);
}

// --- with the frame ---

constexpr int kTypeNow = 0x500;

class SampleProcedure : public WindowProcedure {
public:
    explicit SampleProcedure(vx::Text<10>& name)
        : WindowProcedure(definition(name)) {}
    std::vector<int> accepted;

protected:
    static WindowDef definition(vx::Text<10>& name) {
        WindowDef d;
        d.title = "Okvir";
        d.w = 120;
        d.h = 50;
        d.controls = {entry(Var::of(name), Format::text(10)).at(5, 5, 60, 12), button("Izlaz").at(70, 5, 40, 14)};
        return d;
    }
    // The user types once the window is open and active: after the frame first
    // waits, which shows it.
    static void CALLBACK typeNow(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        toolkit().currentWindow()->post(Event{kTypeNow});
    }
    void onOpenWindow() override { SetTimer(nullptr, 0, 20, typeNow); }
    void windowEvent(const Event& e) override {
        if (e.code != kTypeNow) return;
        HWND top = reinterpret_cast<HWND>(window().handle());
        SendMessageW(GetDlgItem(top, 1001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Marko"));
        PostMessageW(GetDlgItem(top, 1002), BM_CLICK, 0, 0);
    }
    void controlEvent(const Event& e) override {
        accepted.push_back(e.field);
        if (e.field == 2) post(EVENT_CloseWindow);
    }
};

TEST_F(Win32ToolkitTest, FrameRunsAWindowToItsCloseButton) {
    vx::Text<10> name;
    SampleProcedure p(name);
    p.run();
    EXPECT_EQ((std::vector<int>{1, 2}), p.accepted);
    EXPECT_EQ("Marko", name.clip());
    EXPECT_EQ(nullptr, toolkit().currentWindow());
}

TEST_F(Win32ToolkitTest, TimeTextIsTheRegionalForm) {
    std::string t = toolkit().timeText(13, 5, 9);
    EXPECT_NE(std::string::npos, t.find("05")) << t;
    EXPECT_NE(std::string::npos, t.find("09")) << t;
}

// --- pictures ---

// A 6 x 4 JPEG, blue at the top fading to red at the bottom.
const unsigned char kGradientJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02,
    0x01, 0x01, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04,
    0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06,
    0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0B, 0x08, 0x09, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x06, 0x08,
    0x0B, 0x0C, 0x0B, 0x0A, 0x0C, 0x09, 0x0A, 0x0A, 0x0A, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02, 0x02,
    0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0A, 0x07, 0x06, 0x07, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0,
    0x00, 0x11, 0x08, 0x00, 0x04, 0x00, 0x06, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0xFF, 0xC4, 0x00, 0x1A, 0x10, 0x00, 0x01, 0x05, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x07, 0x17,
    0x55, 0x91, 0xD1, 0xFF, 0xC4, 0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x09, 0xFF, 0xC4, 0x00, 0x1A, 0x11, 0x00,
    0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x02, 0x07, 0x18, 0x55, 0xA1, 0xD2, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03,
    0x11, 0x00, 0x3F, 0x00, 0x00, 0x41, 0xCD, 0xCD, 0x28, 0xD1, 0xC4, 0x5E, 0x7A, 0xFF, 0x00, 0x25,
    0x46, 0xD0, 0xAD, 0x2D, 0x2D, 0x11, 0x8F, 0xB2, 0xE4, 0x7F, 0xFF, 0xD9
};

TEST(Win32Pictures, JpegDecodesTopDownIntoA24BitDib) {
    HBITMAP bmp = ui::win32::decodeJpeg(kGradientJpeg, sizeof kGradientJpeg);
    ASSERT_NE(nullptr, bmp);
    DIBSECTION ds{};
    ASSERT_EQ(int(sizeof ds), GetObjectW(bmp, sizeof ds, &ds));
    EXPECT_EQ(6, ds.dsBm.bmWidth);
    EXPECT_EQ(4, std::abs(ds.dsBmih.biHeight));
    EXPECT_EQ(24, ds.dsBm.bmBitsPixel);
    auto pixel = [&](int x, int y) {
        const auto* bits = static_cast<const unsigned char*>(ds.dsBm.bmBits);
        const unsigned char* p = bits + y * ds.dsBm.bmWidthBytes + x * 3;
        return std::array<int, 3>{p[0], p[1], p[2]};  // B, G, R
    };
    // The first row in memory is the top row: blue; the last red.
    EXPECT_GT(pixel(2, 0)[0], 150);
    EXPECT_LT(pixel(2, 0)[2], 100);
    EXPECT_GT(pixel(2, 3)[2], 150);
    EXPECT_LT(pixel(2, 3)[0], 100);
    DeleteObject(bmp);
}

TEST(Win32Pictures, CorruptJpegGivesNoPictureAndDoesNotEndTheProcess) {
    std::vector<unsigned char> garbage(kGradientJpeg, kGradientJpeg + sizeof kGradientJpeg);
    for (std::size_t i = 2; i < garbage.size(); ++i) garbage[i] = static_cast<unsigned char>(i * 37);
    const std::vector<unsigned char> cases[] = {
        garbage,
        std::vector<unsigned char>(kGradientJpeg, kGradientJpeg + 20),  // cut before the frame header
        std::vector<unsigned char>{},
    };
    for (const auto& data : cases) EXPECT_EQ(nullptr, ui::win32::decodeJpeg(data.data(), data.size())) << data.size();
}

TEST(Win32Pictures, ResourceNamesFollowTheFileName) {
    EXPECT_EQ(L"IPAdresa_ico", ui::win32::resourceName("IPAdresa.ico"));
    EXPECT_EQ(L"Plan_bmp", ui::win32::resourceName("Plan.bmp"));
    EXPECT_EQ(L"noext", ui::win32::resourceName("noext"));
    EXPECT_EQ(nullptr, ui::win32::loadPicture("nema.bmp"));
    EXPECT_EQ(nullptr, ui::win32::loadIcon("nema.ico", 16));
}

}  // namespace
