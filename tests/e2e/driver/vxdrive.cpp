// vxdrive: works the windows of another program as a user would, for the
// end-to-end tests (find, read, type, press, answer message boxes, menus).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "finder.h"
#include "../../common/accessible_reader.h"

using drive::narrow;
using drive::widen;

namespace {

const wchar_t* const kUsage =
    L"usage: vxdrive COMMAND [options]\n"
    L"  wait TITLE | gone TITLE | visible TITLE | close TITLE | minimize TITLE\n"
    L"  text TITLE FIELD | state TITLE FIELD | set TITLE FIELD TEXT\n"
    L"  type TITLE FIELD TEXT | mouse TITLE FIELD|closebox | resize TITLE WIDTH HEIGHT\n"
    L"  clip TEXT | keys TITLE FIELD KEY... (e.g. ctrl+v shift+insert)\n"
    L"  click TITLE FIELD | check TITLE FIELD | controls TITLE | status TITLE | header TITLE FIELD\n"
    L"  accessible TITLE\n"
    L"  message | answer LABEL_OR_ID | menu N\n"
    L"  post TITLE MSG WPARAM LPARAM | send TITLE MSG WPARAM LPARAM | list\n"
    L"options: --timeout S  --exe NAME  --pid N  --any  --all  --force\n"
    L"TITLE may be hwnd:0xHEX for a window already found, or * for any (with --exe).\n";

// A control's window ID is 1000 + its field number.
const int kFieldIdBase = 1000;
// MessageBox keeps its text in the control with this ID.
const int kMessageTextId = 0xFFFF;

void write(DWORD which, const std::string& s) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), s.data(), (DWORD)s.size(), &written, nullptr);
}
void out(const std::string& s) { write(STD_OUTPUT_HANDLE, s); }
void outLine(const std::wstring& s) { out(narrow(s) + "\n"); }

struct Failure {
    int code;
    std::wstring reason;
};
[[noreturn]] void fail(const std::wstring& reason, int code = 1) { throw Failure{code, reason}; }

// Splits the command line by the usual Windows rules (quotes, backslashes).
std::vector<std::wstring> splitCommandLine(const wchar_t* p) {
    std::vector<std::wstring> args;
    while (*p) {
        while (*p == L' ' || *p == L'\t') ++p;
        if (!*p) break;
        std::wstring arg;
        bool quoted = false;
        while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
            if (*p == L'\\') {
                size_t slashes = 0;
                while (*p == L'\\') { ++slashes; ++p; }
                if (*p == L'"') {
                    arg.append(slashes / 2, L'\\');
                    if (slashes % 2) { arg += L'"'; ++p; }
                } else {
                    arg.append(slashes, L'\\');
                }
            } else if (*p == L'"') {
                if (quoted && p[1] == L'"') { arg += L'"'; p += 2; continue; }
                quoted = !quoted;
                ++p;
            } else {
                arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

struct Options {
    std::vector<std::wstring> positional;
    DWORD timeoutMs = 10000;
    std::wstring exe;
    DWORD pid = 0;
    bool any = false;    // accept hidden windows
    bool all = false;    // list: hidden windows too
    bool force = false;  // click: even a disabled or hidden control
};

long long parseNumber(const std::wstring& s) {
    if (s.empty()) fail(L"not a number: (empty)", 2);
    wchar_t* end = nullptr;
    long long v;
    bool hex = s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X');
    if (hex)
        v = (long long)wcstoull(s.c_str() + 2, &end, 16);
    else
        v = wcstoll(s.c_str(), &end, 10);
    if (*end) fail(L"not a number: " + s, 2);
    return v;
}

Options parseOptions(const std::vector<std::wstring>& args) {
    Options o;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        auto value = [&]() -> const std::wstring& {
            if (i + 1 >= args.size()) fail(a + L" needs a value", 2);
            return args[++i];
        };
        if (optionsEnded || a.size() < 3 || a.compare(0, 2, L"--") != 0) {
            if (a == L"--") optionsEnded = true;
            else o.positional.push_back(a);
        } else if (a == L"--timeout") {
            double s = _wtof(value().c_str());
            o.timeoutMs = s <= 0 ? 0 : (DWORD)(s * 1000);
        } else if (a == L"--exe") {
            o.exe = value();
        } else if (a == L"--pid") {
            o.pid = (DWORD)parseNumber(value());
        } else if (a == L"--any") {
            o.any = true;
        } else if (a == L"--all") {
            o.all = true;
        } else if (a == L"--force") {
            o.force = true;
        } else {
            fail(L"unknown option " + a, 2);
        }
    }
    return o;
}

std::wstring hex(HWND h) {
    wchar_t buf[32];
    swprintf(buf, 32, L"0x%llX", (unsigned long long)(uintptr_t)h);
    return buf;
}

const std::wstring& arg(const Options& o, size_t i, const wchar_t* what) {
    if (i >= o.positional.size()) fail(std::wstring(L"missing ") + what, 2);
    return o.positional[i];
}

drive::Filter titleFilter(const Options& o, const std::wstring& title, bool hidden) {
    drive::Filter f;
    f.title = title;
    f.matchTitle = title != L"*";  // "*": any window (of --exe NAME)
    f.exe = o.exe;
    f.pid = o.pid;
    f.includeHidden = hidden;
    return f;
}

// TITLE "hwnd:0x..." names a window found earlier; anything else is a title.
HWND findTop(const Options& o, const std::wstring& title, bool hidden) {
    if (title.compare(0, 5, L"hwnd:") == 0) {
        HWND h = (HWND)(uintptr_t)parseNumber(title.substr(5));
        if (!IsWindow(h)) fail(L"no window " + title);
        return h;
    }
    HWND h = drive::waitFor(titleFilter(o, title, hidden), o.timeoutMs);
    if (!h) fail(L"no " + std::wstring(hidden ? L"" : L"visible ") + L"window titled \"" + title + L"\"");
    return h;
}

struct ChildSearch {
    int id;
    HWND found;
};
BOOL CALLBACK findChildById(HWND h, LPARAM param) {
    auto* s = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(h) == s->id) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

using DrawnField = vx::testing::AccessibleChild;

HWND childControl(HWND top, int field) {
    HWND c = GetDlgItem(top, kFieldIdBase + field);
    if (!c) {  // controls placed inside a container
        ChildSearch s{kFieldIdBase + field, nullptr};
        EnumChildWindows(top, findChildById, reinterpret_cast<LPARAM>(&s));
        c = s.found;
    }
    return c;
}

// The field's child window, or (drawn != null) what the window says of a field it draws.
HWND findField(HWND top, int field, DWORD timeoutMs, DrawnField* drawn) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND c = childControl(top, field)) return c;
        // A field the window draws itself (a text, picture or frame) has no child
        // window: it is an element of the window's accessible client object.
        DrawnField d;
        if (vx::testing::accessibleElement(top, field, d)) {
            if (drawn) {
                *drawn = d;
                return nullptr;
            }
            fail(L"field " + std::to_wstring(field) + L" is drawn by its window: there is no control to work");
        }
        if (!IsWindow(top) || GetTickCount() - start >= timeoutMs) break;
        Sleep(50);
    }
    fail(L"no control for field " + std::to_wstring(field) + L" (ID " +
         std::to_wstring(kFieldIdBase + field) + L")");
}

HWND findControl(HWND top, int field, DWORD timeoutMs) { return findField(top, field, timeoutMs, nullptr); }

bool ownVisible(HWND h) { return (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

std::wstring textOf(HWND h) {
    std::wstring t;
    if (!drive::windowText(h, t)) fail(L"the program did not answer WM_GETTEXT");
    return t;
}

// The program's thread input joined to ours for SetFocus, detached again on scope exit.
struct AttachedInput {
    DWORD self, target;
    bool attached;
    explicit AttachedInput(HWND w) : self(GetCurrentThreadId()), target(GetWindowThreadProcessId(w, nullptr)) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // AttachThreadInput wants a queue
        attached = AttachThreadInput(self, target, TRUE) != FALSE;
    }
    ~AttachedInput() {
        if (attached) AttachThreadInput(self, target, FALSE);
    }
};

// A label as the user reads it: "&&" is "&", a single '&' marks the access key.
std::wstring plainLabel(const std::wstring& s) {
    std::wstring r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&') {
            if (i + 1 < s.size() && s[i + 1] == L'&') { r += L'&'; ++i; }
            continue;
        }
        r += s[i];
    }
    return r;
}

std::string jsonString(const std::wstring& w) {
    std::string s = narrow(w), r = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': r += "\\\""; break;
            case '\\': r += "\\\\"; break;
            case '\n': r += "\\n"; break;
            case '\r': r += "\\r"; break;
            case '\t': r += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    snprintf(buf, sizeof buf, "\\u%04x", c);
                    r += buf;
                } else {
                    r += (char)c;
                }
        }
    }
    return r + "\"";
}

struct Button {
    HWND hwnd;
    int id;
    std::wstring label;
};
struct Dialog {
    HWND hwnd;
    std::wstring caption, text;
    std::vector<Button> buttons;
    bool operator==(const Dialog& d) const {
        if (hwnd != d.hwnd || caption != d.caption || text != d.text || buttons.size() != d.buttons.size())
            return false;
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i].id != d.buttons[i].id || buttons[i].label != d.buttons[i].label) return false;
        return true;
    }
};

BOOL CALLBACK collectChild(HWND h, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
    return TRUE;
}
std::vector<HWND> children(HWND top) {
    std::vector<HWND> list;
    EnumChildWindows(top, collectChild, reinterpret_cast<LPARAM>(&list));
    return list;
}

Dialog readDialog(HWND dlg) {
    Dialog d{dlg, {}, {}, {}};
    drive::windowText(dlg, d.caption);
    HWND textControl = GetDlgItem(dlg, kMessageTextId);
    if (textControl) drive::windowText(textControl, d.text);
    for (HWND c : children(dlg)) {
        std::wstring cls = drive::className(c);
        if (lstrcmpiW(cls.c_str(), L"Button") != 0 || !ownVisible(c)) continue;
        std::wstring label;
        drive::windowText(c, label);
        d.buttons.push_back({c, GetDlgCtrlID(c), plainLabel(label)});
    }
    return d;
}

drive::Filter classFilter(const Options& o, const wchar_t* cls) {
    drive::Filter f;
    f.matchTitle = false;
    f.className = cls;
    f.exe = o.exe;
    f.pid = o.pid;
    return f;
}

// Waits for a message box and reads it once its labels have settled (a
// program may relabel the buttons just after the box shows).
Dialog waitDialog(const Options& o) {
    HWND dlg = drive::waitFor(classFilter(o, L"#32770"), o.timeoutMs);
    if (!dlg) fail(L"no message box appeared");
    Dialog last = readDialog(dlg);
    for (int i = 0; i < 10; ++i) {
        Sleep(60);
        Dialog now = readDialog(dlg);
        if (now == last) break;
        last = now;
    }
    return last;
}

void waitClosed(HWND h, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(h) && IsWindowVisible(h) && GetTickCount() - start < timeoutMs) Sleep(30);
}

// --- commands ---

int cmdWait(const Options& o) {
    outLine(hex(findTop(o, arg(o, 1, L"TITLE"), o.any)));
    return 0;
}

int cmdGone(const Options& o) {
    drive::Filter f = titleFilter(o, arg(o, 1, L"TITLE"), o.any);
    DWORD start = GetTickCount();
    while (!drive::matching(f).empty()) {
        if (GetTickCount() - start >= o.timeoutMs) fail(L"window \"" + f.title + L"\" is still there");
        Sleep(50);
    }
    return 0;
}

int cmdVisible(const Options& o) {
    HWND h = findTop(o, arg(o, 1, L"TITLE"), true);
    out(IsWindowVisible(h) ? "1\n" : "0\n");
    return 0;
}

int cmdText(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    int field = (int)parseNumber(arg(o, 2, L"FIELD"));
    if (field == 0) {
        outLine(textOf(top));
        return 0;
    }
    DrawnField drawn;
    HWND c = findField(top, field, o.timeoutMs, &drawn);
    outLine(c ? textOf(c) : drawn.name);
    return 0;
}

// The text of the window's status bar (its first zone).
int cmdStatus(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    for (HWND c : children(top)) {
        if (lstrcmpiW(drive::className(c).c_str(), L"msctls_statusbar32") == 0) {
            outLine(textOf(c));
            return 0;
        }
    }
    fail(L"the window has no status bar");
}

int cmdState(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    int field = (int)parseNumber(arg(o, 2, L"FIELD"));
    DrawnField drawn;
    HWND c = field == 0 ? top : findField(top, field, o.timeoutMs, &drawn);
    // A control's own visibility: the window itself may sit hidden in the tray.
    bool enabled = c ? IsWindowEnabled(c) != FALSE : drawn.enabled(), visible = c ? ownVisible(c) : drawn.visible();
    char buf[64];
    snprintf(buf, sizeof buf, "enabled=%d visible=%d", enabled ? 1 : 0, visible ? 1 : 0);
    out(buf);
    out(field == 0 ? (IsIconic(c) ? " minimized=1\n" : " minimized=0\n") : "\n");
    return 0;
}

int cmdSet(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    HWND edit = findControl(top, (int)parseNumber(arg(o, 2, L"FIELD")), o.timeoutMs);
    const std::wstring& text = arg(o, 3, L"TEXT");
    if (!o.force && (!IsWindowEnabled(edit) || !ownVisible(edit))) fail(L"the field is disabled or hidden");
    AttachedInput input(top);
    // As a user: go into the field, type, then leave it so the program
    // takes the input (it sees EN_KILLFOCUS).
    SetFocus(edit);
    DWORD_PTR result;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 5000, &result))
        fail(L"the program did not take WM_SETTEXT");
    HWND next = GetNextDlgTabItem(top, edit, FALSE);
    if (!next || next == edit || !IsWindowEnabled(next)) next = top;
    SetFocus(next);
    if (GetFocus() == edit) SetFocus(top);
    return 0;
}

// The caret to the end of an edit. (GetWindowTextLength does not ask another process's edit.)
void caretToEnd(HWND edit) {
    DWORD_PTR end = 0, result;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &end) ||
        !SendMessageTimeoutW(edit, EM_SETSEL, WPARAM(end), LPARAM(end), SMTO_ABORTIFHUNG, 5000, &result))
        fail(L"the program did not take the caret");
}

// Types at the end of the field, key by key, and stays in it (no completion).
int cmdType(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    HWND edit = findControl(top, (int)parseNumber(arg(o, 2, L"FIELD")), o.timeoutMs);
    const std::wstring& text = arg(o, 3, L"TEXT");
    if (!IsWindowEnabled(edit) || !ownVisible(edit)) fail(L"the field is disabled or hidden");
    AttachedInput input(top);
    SetFocus(edit);
    caretToEnd(edit);
    DWORD_PTR result;
    // Key by key, each handled before the next (sent: a posted key could still be
    // waiting in the queue when the caller looks).
    for (wchar_t ch : text)
        if (!SendMessageTimeoutW(edit, WM_CHAR, WPARAM(ch), 1, SMTO_ABORTIFHUNG, 5000, &result))
            fail(L"the program did not take the keys");
    return 0;
}

// Puts text on the clipboard as another program would copy it. The clipboard
// takes data only from an owner window; the data stays after this process ends.
int cmdClip(const Options& o) {
    const std::wstring& text = arg(o, 1, L"TEXT");
    HWND owner = CreateWindowExW(0, L"STATIC", L"vxdrive clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!owner) fail(L"no window to own the clipboard");
    bool done = false;
    if (OpenClipboard(owner)) {
        std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* p = GlobalLock(data)) {
                memcpy(p, text.c_str(), bytes);
                GlobalUnlock(data);
                done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, data);
            }
            if (!done) GlobalFree(data);
        }
        CloseClipboard();
    }
    DestroyWindow(owner);
    if (!done) fail(L"the clipboard did not take the text");
    return 0;
}

// A key with its modifiers, "ctrl+v" or "shift+insert", as virtual keys.
std::vector<WORD> keyChord(const std::wstring& chord) {
    static const struct {
        const wchar_t* name;
        WORD vk;
    } names[] = {{L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT}, {L"alt", VK_MENU},   {L"insert", VK_INSERT},
                 {L"delete", VK_DELETE}, {L"home", VK_HOME},  {L"end", VK_END},     {L"left", VK_LEFT},
                 {L"right", VK_RIGHT},  {L"enter", VK_RETURN}, {L"tab", VK_TAB},   {L"escape", VK_ESCAPE},
                 {L"backspace", VK_BACK}};
    std::vector<WORD> keys;
    for (std::size_t from = 0; from <= chord.size();) {
        std::size_t to = chord.find(L'+', from);
        if (to == std::wstring::npos) to = chord.size();
        std::wstring name = chord.substr(from, to - from);
        WORD vk = 0;
        for (const auto& n : names)
            if (lstrcmpiW(n.name, name.c_str()) == 0) vk = n.vk;
        if (!vk && name.size() == 1 && iswalnum(name[0])) vk = WORD(towupper(name[0]));
        if (!vk) fail(L"unknown key " + name, 2);
        keys.push_back(vk);
        from = to + 1;
    }
    return keys;
}

void sendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    bool extended = vk == VK_INSERT || vk == VK_DELETE || vk == VK_HOME || vk == VK_END || vk == VK_LEFT ||
                    vk == VK_RIGHT;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    if (SendInput(1, &in, sizeof in) != 1) fail(L"SendInput failed");
    Sleep(20);
}

// Real key presses into a field, as a user's keyboard gives them: the window to
// the foreground, the focus in the field, the caret at its end, then each chord
// (modifiers held down around the key), so the program sees the real key state.
int cmdKeys(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    HWND edit = findControl(top, (int)parseNumber(arg(o, 2, L"FIELD")), o.timeoutMs);
    std::vector<std::vector<WORD>> chords;
    for (std::size_t i = 3; i < o.positional.size(); ++i) chords.push_back(keyChord(o.positional[i]));
    if (chords.empty()) fail(L"missing KEY", 2);
    if (!IsWindowEnabled(edit) || !ownVisible(edit)) fail(L"the field is disabled or hidden");
    {
        AttachedInput input(top);
        SetForegroundWindow(top);
        SetFocus(edit);
        caretToEnd(edit);
        if (GetForegroundWindow() != top || GetFocus() != edit) fail(L"the field did not take the focus");
    }
    for (const std::vector<WORD>& keys : chords) {
        for (WORD vk : keys) sendKey(vk, false);
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) sendKey(*k, true);
    }
    return 0;
}

// A real mouse click (the system's hit test decides who gets it) at the centre of a
// control, or on the window's close box. Prints what lies under that point first:
// the class and field number of the window the click goes to.
int cmdMouse(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    const std::wstring& target = arg(o, 2, L"FIELD");
    POINT at;
    if (target == L"closebox") {
        RECT r;
        GetWindowRect(top, &r);
        int frame = GetSystemMetrics((GetWindowLongPtrW(top, GWL_STYLE) & WS_THICKFRAME) ? SM_CXFRAME : SM_CXFIXEDFRAME);
        at = POINT{r.right - frame - GetSystemMetrics(SM_CXSIZE) / 2,
                   r.top + frame + GetSystemMetrics(SM_CYSIZE) / 2};
        DWORD_PTR hit = 0;
        SendMessageTimeoutW(top, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y), SMTO_ABORTIFHUNG, 5000, &hit);
        if (hit != HTCLOSE) fail(L"no close box at the top right of the window");
    } else {
        HWND c = findControl(top, (int)parseNumber(target), o.timeoutMs);
        RECT r;
        GetWindowRect(c, &r);
        at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    HWND under = WindowFromPoint(at);
    wchar_t line[200];
    swprintf(line, 200, L"%ls\t%d", drive::className(under).c_str(), under ? GetDlgCtrlID(under) - kFieldIdBase : 0);
    outLine(line);
    // Absolute coordinates on the primary screen, 0..65535.
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(at.x, 65535, w - 1);
        i.mi.dy = MulDiv(at.y, 65535, h - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    for (INPUT& i : in) {
        if (SendInput(1, &i, sizeof i) != 1) fail(L"SendInput failed");
        Sleep(40);
    }
    return 0;
}

// The window's outer size, as dragging its border would set it.
int cmdResize(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    int w = (int)parseNumber(arg(o, 2, L"WIDTH")), h = (int)parseNumber(arg(o, 3, L"HEIGHT"));
    if (!SetWindowPos(top, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) fail(L"SetWindowPos failed");
    DWORD_PTR result;
    SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return 0;
}

int cmdClick(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    HWND c = findControl(top, (int)parseNumber(arg(o, 2, L"FIELD")), o.timeoutMs);
    // A user cannot press what is disabled or hidden; --force posts anyway.
    if (!o.force && !IsWindowEnabled(c)) fail(L"the control is disabled");
    if (!o.force && !ownVisible(c)) fail(L"the control is hidden");
    // Posted, never sent: the handler may open a modal box.
    if (!PostMessageW(c, BM_CLICK, 0, 0)) fail(L"PostMessage failed");
    return 0;
}

int cmdControls(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    for (HWND c : children(top)) {
        int id = GetDlgCtrlID(c);
        std::wstring t;
        drive::windowText(c, t);
        wchar_t head[160];
        swprintf(head, 160, L"%d\t%d\t%ls\tenabled=%d visible=%d\t", id, id - kFieldIdBase,
                 drive::className(c).c_str(), IsWindowEnabled(c) ? 1 : 0, ownVisible(c) ? 1 : 0);
        outLine(head + t);
    }
    return 0;
}

// A list's column header: the first item's text, a tab and its alignment
// ("left", "centre", "right"). The item is read through memory in the
// program's own process: header messages carry pointers.
int cmdHeader(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    HWND list = findControl(top, (int)parseNumber(arg(o, 2, L"FIELD")), o.timeoutMs);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(list, LVM_GETHEADER, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    HWND header = reinterpret_cast<HWND>(result);
    if (!header) fail(L"the control has no column header");
    DWORD pid = 0;
    GetWindowThreadProcessId(header, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) fail(L"cannot open the program's process");
    struct Remote {
        HDITEMW item;
        wchar_t text[128];
    } local{};
    auto* remote = static_cast<Remote*>(VirtualAllocEx(process, nullptr, sizeof local, MEM_COMMIT, PAGE_READWRITE));
    local.item.mask = HDI_FORMAT | HDI_TEXT;
    local.item.pszText = remote ? remote->text : nullptr;
    local.item.cchTextMax = 128;
    bool read = remote && WriteProcessMemory(process, remote, &local, sizeof local, nullptr) &&
                SendMessageTimeoutW(header, HDM_GETITEMW, 0, (LPARAM)&remote->item, SMTO_ABORTIFHUNG, 5000,
                                    &result) && result &&
                ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!read) fail(L"the header item could not be read");
    local.text[127] = 0;
    int align = local.item.fmt & HDF_JUSTIFYMASK;
    out(narrow(local.text) + (align == HDF_CENTER ? "\tcentre\n" : align == HDF_RIGHT ? "\tright\n" : "\tleft\n"));
    return 0;
}

// The window as assistive technology reads it: one JSON object per child of its
// accessible client object, in the order the object lists them.
int cmdAccessible(const Options& o) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), o.any);
    std::vector<vx::testing::AccessibleChild> all;
    if (!vx::testing::accessibleChildren(top, all)) fail(L"the window gives no accessible client object");
    for (const vx::testing::AccessibleChild& c : all) {
        const RECT& r = c.location;
        char tail[200];
        snprintf(tail, sizeof tail, ", \"role\": %ld, \"visible\": %s, \"enabled\": %s, \"location\": [%ld, %ld, %ld, %ld]}\n",
                 c.role, c.visible() ? "true" : "false", c.enabled() ? "true" : "false", (long)r.left, (long)r.top,
                 (long)r.right, (long)r.bottom);
        // An object with a window of its own: the field of that window (0: none of ours).
        int field = c.window ? GetDlgCtrlID(c.window) - kFieldIdBase : 0;
        if (field < 0) field = 0;
        out("{\"element\": " + std::string(c.element ? "true" : "false") + ", \"id\": " + std::to_string(c.id) +
            ", \"field\": " + std::to_string(c.element ? c.id : field) +
            ", \"name\": " + jsonString(c.name) + tail);
    }
    return 0;
}

int cmdMessage(const Options& o) {
    Dialog d = waitDialog(o);
    std::string s = "{\"hwnd\": " + jsonString(hex(d.hwnd)) + ", \"caption\": " + jsonString(d.caption) +
                    ", \"text\": " + jsonString(d.text) + ", \"buttons\": [";
    for (size_t i = 0; i < d.buttons.size(); ++i) {
        if (i) s += ", ";
        s += "{\"id\": " + std::to_string(d.buttons[i].id) + ", \"label\": " + jsonString(d.buttons[i].label) + "}";
    }
    out(s + "]}\n");
    return 0;
}

int cmdAnswer(const Options& o) {
    const std::wstring& want = arg(o, 1, L"LABEL_OR_ID");
    long long wantId = -1;
    try { wantId = parseNumber(want); } catch (const Failure&) {}
    DWORD start = GetTickCount();
    std::wstring seen = L"no message box appeared";
    for (;;) {
        for (const drive::TopWindow& w : drive::matching(classFilter(o, L"#32770"))) {
            Dialog d = readDialog(w.hwnd);
            const Button* hit = nullptr;
            for (const Button& b : d.buttons)
                if (b.label == want) { hit = &b; break; }
            if (!hit)
                for (const Button& b : d.buttons)
                    if (b.id == wantId) { hit = &b; break; }
            if (hit) {
                if (!PostMessageW(hit->hwnd, BM_CLICK, 0, 0)) fail(L"PostMessage failed");
                // So that the next look finds the next box, not this one.
                waitClosed(d.hwnd, o.timeoutMs);
                return 0;
            }
            seen = L"no button \"" + want + L"\" in the box \"" + d.text + L"\"";
        }
        if (GetTickCount() - start >= o.timeoutMs) fail(seen);
        Sleep(50);
    }
}

int cmdMenu(const Options& o) {
    int n = (int)parseNumber(arg(o, 1, L"N"));
    HWND menu = drive::waitFor(classFilter(o, L"#32768"), o.timeoutMs);
    if (!menu) fail(L"no popup menu appeared");
    Sleep(100);  // let the menu's own loop start
    // The first VK_DOWN selects item 1; separators are skipped by the menu.
    for (int i = 0; i < n; ++i) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
        Sleep(50);
    }
    PostMessageW(menu, WM_KEYDOWN, n == 0 ? VK_ESCAPE : VK_RETURN, 1);
    waitClosed(menu, o.timeoutMs);
    return 0;
}

int cmdPostOrSend(const Options& o, bool send) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), true);
    UINT msg = (UINT)parseNumber(arg(o, 2, L"MSG"));
    WPARAM wp = (WPARAM)parseNumber(arg(o, 3, L"WPARAM"));
    LPARAM lp = (LPARAM)parseNumber(arg(o, 4, L"LPARAM"));
    if (!send) {
        if (!PostMessageW(top, msg, wp, lp)) fail(L"PostMessage failed");
        return 0;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(top, msg, wp, lp, SMTO_ABORTIFHUNG, o.timeoutMs ? o.timeoutMs : 1, &result))
        fail(L"the program did not answer the message");
    out(std::to_string((long long)(LONG_PTR)result) + "\n");
    return 0;
}

int cmdList(const Options& o) {
    std::map<DWORD, std::wstring> names = drive::processNames();
    for (drive::TopWindow& w : drive::topWindows()) {
        if (!o.all && !w.visible) continue;
        wchar_t head[400];
        swprintf(head, 400, L"%ls\t%ls\t", hex(w.hwnd).c_str(), w.className.c_str());
        wchar_t tail[400];
        swprintf(tail, 400, L"\t%lu\t%ls\t%d", (unsigned long)w.pid, names[w.pid].c_str(),
                 w.visible ? 1 : 0);
        outLine(head + w.title + tail);
    }
    return 0;
}

int cmdPostSimple(const Options& o, UINT msg, WPARAM wp) {
    HWND top = findTop(o, arg(o, 1, L"TITLE"), true);
    if (!PostMessageW(top, msg, wp, 0)) fail(L"PostMessage failed");
    return 0;
}

int run(const Options& o) {
    const std::wstring& cmd = arg(o, 0, L"COMMAND");
    if (cmd == L"wait") return cmdWait(o);
    if (cmd == L"gone") return cmdGone(o);
    if (cmd == L"visible") return cmdVisible(o);
    if (cmd == L"text") return cmdText(o);
    if (cmd == L"state") return cmdState(o);
    if (cmd == L"status") return cmdStatus(o);
    if (cmd == L"set") return cmdSet(o);
    if (cmd == L"type") return cmdType(o);
    if (cmd == L"clip") return cmdClip(o);
    if (cmd == L"keys") return cmdKeys(o);
    if (cmd == L"mouse") return cmdMouse(o);
    if (cmd == L"resize") return cmdResize(o);
    if (cmd == L"click" || cmd == L"check") return cmdClick(o);
    if (cmd == L"controls") return cmdControls(o);
    if (cmd == L"header") return cmdHeader(o);
    if (cmd == L"accessible") return cmdAccessible(o);
    if (cmd == L"message") return cmdMessage(o);
    if (cmd == L"answer") return cmdAnswer(o);
    if (cmd == L"menu") return cmdMenu(o);
    if (cmd == L"post") return cmdPostOrSend(o, false);
    if (cmd == L"send") return cmdPostOrSend(o, true);
    if (cmd == L"list") return cmdList(o);
    if (cmd == L"close") return cmdPostSimple(o, WM_CLOSE, 0);
    if (cmd == L"minimize") return cmdPostSimple(o, WM_SYSCOMMAND, SC_MINIMIZE);
    fail(L"unknown command " + cmd, 2);
}

}  // namespace

int main() {
    std::vector<std::wstring> args = splitCommandLine(GetCommandLineW());
    if (!args.empty()) args.erase(args.begin());  // the program itself
    if (args.empty()) {
        write(STD_ERROR_HANDLE, narrow(kUsage));
        return 2;
    }
    try {
        return run(parseOptions(args));
    } catch (const Failure& f) {
        write(STD_ERROR_HANDLE, "vxdrive: " + narrow(f.reason) + "\n");
        if (f.code == 2) write(STD_ERROR_HANDLE, narrow(kUsage));
        return f.code;
    }
}
