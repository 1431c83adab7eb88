// A small window for the harness's own test: an edit, buttons, a check box,
// a Yes/No box relabelled DA/NE and a popup menu, reporting what it saw in a static.
// With "--run" it instead starts the command line in env VX_RUN_LINE, as the programs do.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

namespace {

// Controls carry 1000 + their field number, as the programs' windows do.
enum Field {
    EDIT = 1,       // entry; its text is copied to COPY when the focus leaves it
    ASK = 2,        // button: a Yes/No question relabelled DA/NE
    RESULT = 3,     // static: the last answer, menu choice or message seen
    COPY = 4,       // static: the edit's text as taken on EN_KILLFOCUS
    CHECK = 5,      // auto check box
    DISABLED = 6,   // disabled button
    HIDDEN = 7,     // hidden button
    OK_BOX = 8,     // button: a plain OK box with a two-line text
};
int id(Field f) { return 1000 + f; }

HHOOK relabelHook = nullptr;

LRESULT CALLBACK relabel(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wp;
        SetDlgItemTextW(box, IDYES, L"DA");
        SetDlgItemTextW(box, IDNO, L"NE");
        UnhookWindowsHookEx(relabelHook);
        relabelHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void setResult(HWND w, const wchar_t* text) { SetDlgItemTextW(w, id(RESULT), text); }

void ask(HWND w) {
    relabelHook = SetWindowsHookExW(WH_CBT, relabel, nullptr, GetCurrentThreadId());
    int answer = MessageBoxW(w, L"Želite li nastaviti?\nčćžšđ ČĆŽŠĐ", L"Kontrola", MB_YESNO | MB_ICONQUESTION);
    setResult(w, answer == IDYES ? L"answer=DA" : answer == IDNO ? L"answer=NE" : L"answer=?");
}

void popup(HWND w) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 11, L"Prvi");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 12, L"Drugi");
    AppendMenuW(menu, MF_STRING, 13, L"Treći");
    POINT p;
    GetCursorPos(&p);
    SetForegroundWindow(w);
    int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0, w, nullptr);
    DestroyMenu(menu);
    wchar_t buf[32];
    wsprintfW(buf, L"menu=%d", chosen);
    setResult(w, buf);
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int cx, Field f) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, 24, parent,
                           (HMENU)(INT_PTR)id(f), GetModuleHandleW(nullptr), nullptr);
}

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            child(w, L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 200, EDIT);
            child(w, L"BUTTON", L"Pitaj", WS_TABSTOP | BS_PUSHBUTTON, 220, 10, 90, ASK);
            child(w, L"STATIC", L"", 0, 10, 40, 300, RESULT);
            child(w, L"STATIC", L"", 0, 10, 70, 300, COPY);
            child(w, L"BUTTON", L"Označi", WS_TABSTOP | BS_AUTOCHECKBOX, 10, 100, 120, CHECK);
            EnableWindow(child(w, L"BUTTON", L"Ugašeno", BS_PUSHBUTTON, 140, 100, 90, DISABLED), FALSE);
            ShowWindow(child(w, L"BUTTON", L"Skriveno", BS_PUSHBUTTON, 240, 100, 90, HIDDEN), SW_HIDE);
            child(w, L"BUTTON", L"Poruka", WS_TABSTOP | BS_PUSHBUTTON, 10, 130, 90, OK_BOX);
            CreateWindowExW(0, STATUSCLASSNAMEW, L"Stanje: čćž", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, w, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
            return 0;
        case WM_COMMAND: {
            int control = LOWORD(wp), code = HIWORD(wp);
            if (control == id(EDIT) && code == EN_KILLFOCUS) {
                wchar_t buf[256];
                GetDlgItemTextW(w, id(EDIT), buf, 256);
                SetDlgItemTextW(w, id(COPY), buf);
            } else if (control == id(ASK) && code == BN_CLICKED) {
                ask(w);
            } else if (control == id(CHECK) && code == BN_CLICKED) {
                bool on = IsDlgButtonChecked(w, id(CHECK)) == BST_CHECKED;
                setResult(w, on ? L"check=1" : L"check=0");
            } else if (control == id(DISABLED) && code == BN_CLICKED) {
                setResult(w, L"disabled clicked");
            } else if (control == id(OK_BOX) && code == BN_CLICKED) {
                MessageBoxW(w, L"Prvi red\nDrugi red", L"", MB_OK);
                setResult(w, L"ok seen");
            }
            return 0;
        }
        case WM_CONTEXTMENU:
            popup(w);
            return 0;
        case WM_QUERYENDSESSION:
            setResult(w, L"asked to end");
            return 0;  // refuse, as the reporter does
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

// Starts VX_RUN_LINE exactly as given, in Windows-1250 through CreateProcessA
// like the programs, waits for it and returns its exit code (200: no start).
int runLine() {
    wchar_t wide[4096];
    DWORD n = GetEnvironmentVariableW(L"VX_RUN_LINE", wide, 4096);
    if (n == 0 || n >= 4096) return 201;
    char line[8192];
    int bytes = WideCharToMultiByte(1250, 0, wide, (int)n, line, sizeof line - 1, nullptr, nullptr);
    line[bytes] = 0;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 200;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 202;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}

int main() {
    if (wcsstr(GetCommandLineW(), L" --run")) return runLine();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"VxDriveTarget";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"Vožnja čćžšđ", WS_OVERLAPPEDWINDOW, 40, 40, 360, 220,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(w, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
