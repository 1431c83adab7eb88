// The message dialog: the system message box, its buttons relabelled (and
// renumbered where no standard type has the set) through a CBT hook, and a
// dialog of our own whose text the user can select and copy.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/win32/win32_text.h"
#include "ui/win32/win32_toolkit.h"

namespace ui::win32 {
namespace {

struct Choice {
    unsigned value;  // BUTTON_* (or 1/2 for DA/NE)
    int id;          // the button's dialog ID
    const char* label;
};

// The buttons in the order a message box shows them.
const Choice kStandard[] = {
    {BUTTON_OK, IDOK, "OK"},          {BUTTON_YES, IDYES, "&Yes"},       {BUTTON_NO, IDNO, "&No"},
    {BUTTON_ABORT, IDABORT, "&Abort"}, {BUTTON_RETRY, IDRETRY, "&Retry"}, {BUTTON_IGNORE, IDIGNORE, "&Ignore"},
    {BUTTON_CANCEL, IDCANCEL, "Cancel"},
};
const Choice kHelp = {BUTTON_HELP, IDHELP, "&Help"};

struct Relabel {
    int carrier;  // the ID the system gave the button
    int id;       // the ID it gets
    std::wstring label;
};

// The box being shown on this thread: what the hook changes when it activates.
struct BoxState {
    std::vector<Relabel> relabels;
    HHOOK hook = nullptr;
    WNDPROC original = nullptr;
    bool done = false;
};
thread_local BoxState* box = nullptr;

// The help button of a message box only sends WM_HELP; ours ends the box.
LRESULT CALLBACK boxProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    WNDPROC original = box ? box->original : nullptr;
    if (msg == WM_COMMAND && LOWORD(w) == IDHELP) {
        EndDialog(h, IDHELP);
        return 0;
    }
    return original ? CallWindowProcW(original, h, msg, w, l) : DefDlgProcW(h, msg, w, l);
}

LRESULT CALLBACK cbtHook(int code, WPARAM w, LPARAM l) {
    BoxState* state = box;
    if (code == HCBT_ACTIVATE && state && !state->done) {
        HWND dlg = reinterpret_cast<HWND>(w);
        wchar_t cls[16] = {};
        GetClassNameW(dlg, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0) {
            state->done = true;
            // Handles first: a new ID may be one another button still has.
            std::vector<HWND> buttons;
            for (const Relabel& r : state->relabels) buttons.push_back(GetDlgItem(dlg, r.carrier));
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                if (!buttons[i]) continue;
                SetWindowTextW(buttons[i], state->relabels[i].label.c_str());
                if (state->relabels[i].id != state->relabels[i].carrier)
                    SetWindowLongPtrW(buttons[i], GWLP_ID, state->relabels[i].id);
            }
            state->original = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxProc)));
        }
    }
    return CallNextHookEx(state ? state->hook : nullptr, code, w, l);
}

std::wstring dialogText(const std::string& text, const wchar_t* lineEnd) {
    std::wstring w = widen(text), out;
    for (wchar_t ch : w) {
        if (ch == L'|') out += lineEnd;
        else out += ch;
    }
    return out;
}

// --- the copyable variant: an in-memory dialog template ---

class Template {
public:
    void word(WORD w) { data_.push_back(w); }
    void dword(DWORD d) { word(LOWORD(d)); word(HIWORD(d)); }
    void text(const wchar_t* s) {
        for (; *s; ++s) word(WORD(*s));
        word(0);
    }
    void align() {
        if (data_.size() % 2) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls, const wchar_t* title) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        word(WORD(x)); word(WORD(y)); word(WORD(cx)); word(WORD(cy));
        word(id);
        word(0xFFFF);
        word(cls);
        text(title);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }
    std::vector<WORD>& data() { return data_; }

private:
    std::vector<WORD> data_;  // WORD-aligned; DWORD alignment kept by align()
};

struct CopyableArgs {
    std::wstring text;
    Icon icon;
};

LPCWSTR systemIcon(Icon icon) {
    switch (icon) {
        case Icon::Information: return MAKEINTRESOURCEW(32516);  // IDI_INFORMATION
        case Icon::Exclamation: return MAKEINTRESOURCEW(32515);  // IDI_EXCLAMATION
        case Icon::Question: return MAKEINTRESOURCEW(32514);  // IDI_QUESTION
        case Icon::WinLogo: return MAKEINTRESOURCEW(32517);  // IDI_WINLOGO
        default: return nullptr;
    }
}

constexpr WORD kIconId = 20;

INT_PTR CALLBACK copyableProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* args = reinterpret_cast<const CopyableArgs*>(l);
            SetDlgItemTextW(h, 0xFFFF, args->text.c_str());
            if (LPCWSTR icon = systemIcon(args->icon))
                SendDlgItemMessageW(h, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
            SetFocus(GetDlgItem(h, IDOK));
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
                EndDialog(h, IDOK);
                return TRUE;
            }
            break;
        default: break;
    }
    return FALSE;
}

int showCopyable(const MessageSpec& request, HWND owner) {
    CopyableArgs args{dialogText(request.text, L"\r\n"), request.icon};
    // Size from the text: widest line and number of lines, within sensible bounds.
    int lines = 1, widest = 0, run = 0;
    for (wchar_t ch : args.text) {
        if (ch == L'\n') { ++lines; run = 0; continue; }
        if (ch != L'\r' && ++run > widest) widest = run;
    }
    bool icon = request.icon != Icon::None;
    short left = icon ? 36 : 7;
    short editW = short(std::min(std::max(widest * 4 + 12, 150), 320));
    short editH = short(std::min(std::max(lines * 9 + 6, 24), 200));
    short width = short(left + editW + 7), height = short(editH + 34);

    Template t;
    t.dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.dword(0);
    t.word(WORD(icon ? 3 : 2));
    t.word(0); t.word(0); t.word(WORD(width)); t.word(WORD(height));
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class, #32770
    t.text(widen(request.caption).c_str());
    t.word(8);
    t.text(L"MS Shell Dlg");
    t.item(ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, left, 7, editW, editH,
           0xFFFF, 0x0081, L"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, short(width / 2 - 25), short(editH + 13), 50, 14, IDOK, 0x0080,
           widen(kStandard[0].label).c_str());
    if (icon) t.item(SS_ICON, 7, 7, 21, 20, kIconId, 0x0082, L"");
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, copyableProc,
                            reinterpret_cast<LPARAM>(&args));
    return BUTTON_OK;
}

}  // namespace

int showMessage(const MessageSpec& request, HWND owner) {
    if (request.copyable) return showCopyable(request, owner);

    // The buttons wanted, in the order they are shown.
    std::vector<Choice> wanted;
    if (request.yesNoDaNe) {
        wanted = {{1, IDYES, "DA"}, {2, IDNO, "NE"}};
    } else {
        for (const Choice& c : kStandard)
            if (request.buttons & c.value) wanted.push_back(c);
        if (wanted.empty()) wanted.push_back(kStandard[0]);
    }
    unsigned set = 0;
    for (const Choice& c : wanted) set |= c.value;
    UINT type = 0;
    std::vector<int> carriers;  // the IDs the system gives the buttons of `type`, in order
    if (request.yesNoDaNe || set == (BUTTON_YES | BUTTON_NO)) {
        type = MB_YESNO;
    } else if (set == BUTTON_OK) {
        type = MB_OK;
    } else if (set == (BUTTON_OK | BUTTON_CANCEL)) {
        type = MB_OKCANCEL;
    } else if (set == (BUTTON_YES | BUTTON_NO | BUTTON_CANCEL)) {
        type = MB_YESNOCANCEL;
    } else if (set == (BUTTON_RETRY | BUTTON_CANCEL)) {
        type = MB_RETRYCANCEL;
    } else if (set == (BUTTON_ABORT | BUTTON_RETRY | BUTTON_IGNORE)) {
        type = MB_ABORTRETRYIGNORE;
    } else {
        // No type has this set: a type with as many buttons, renumbered
        // (a message box has at most three besides Help).
        if (wanted.size() > 3) wanted.resize(3);
        if (wanted.size() == 1) { type = MB_OK; carriers = {IDOK}; }
        else if (wanted.size() == 2) { type = MB_OKCANCEL; carriers = {IDOK, IDCANCEL}; }
        else { type = MB_YESNOCANCEL; carriers = {IDYES, IDNO, IDCANCEL}; }
    }
    if (carriers.empty())
        for (const Choice& c : wanted) carriers.push_back(c.id);
    bool help = !request.yesNoDaNe && (request.buttons & BUTTON_HELP);
    if (help) type |= MB_HELP;

    // Every button gets our label: the system draws its own in the display
    // language (a Croatian Windows says "U redu", "&Da"), the programs show theirs.
    BoxState state;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        state.relabels.push_back({carriers[i], wanted[i].id, widen(wanted[i].label)});
    if (help) state.relabels.push_back({kHelp.id, kHelp.id, widen(kHelp.label)});

    // The default button by its place among those shown (help is the last).
    std::size_t place = 0;
    if (request.defaultButton) {
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (wanted[i].value == request.defaultButton) place = i;
        if (help && request.defaultButton == BUTTON_HELP) place = wanted.size();
    }
    type |= UINT(place) << 8;  // MB_DEFBUTTON1..4

    MSGBOXPARAMSW p{};
    p.cbSize = sizeof p;
    p.hwndOwner = owner;
    std::wstring text = dialogText(request.text, L"\n"), caption = widen(request.caption);
    p.lpszText = text.c_str();
    p.lpszCaption = caption.c_str();
    switch (request.icon) {
        case Icon::Information: type |= MB_ICONINFORMATION; break;
        case Icon::Exclamation: type |= MB_ICONEXCLAMATION; break;
        case Icon::Question: type |= MB_ICONQUESTION; break;
        case Icon::WinLogo:
            // A system icon: loaded from the NULL instance.
            type |= MB_USERICON;
            p.hInstance = nullptr;
            p.lpszIcon = MAKEINTRESOURCEW(32517);  // IDI_WINLOGO
            break;
        default: break;
    }
    p.dwStyle = type;

    BoxState* outer = box;
    box = &state;
    state.hook = SetWindowsHookExW(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
    int result = MessageBoxIndirectW(&p);
    if (state.hook) UnhookWindowsHookEx(state.hook);
    box = outer;

    if (request.yesNoDaNe) return result == IDYES ? 1 : 2;
    if (result == kHelp.id) return int(kHelp.value);
    for (const Choice& c : kStandard)
        if (c.id == result) return int(c.value);
    return int(wanted.front().value);
}

}  // namespace ui::win32
