// The benchmarks' yardstick: the least a Win32 GUI program can be, one window and
// a message loop, optionally minimised with a two-second timer like the reporter's frame.
//
//   minimal_window [TITLE] [--timer]
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* title = L"Minimal";
    bool timer = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--timer") == 0) timer = true;
        else title = argv[i];
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"MinimalWindow";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             630, 400, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, timer ? SW_SHOWMINNOACTIVE : SW_SHOW);
    UpdateWindow(w);
    if (timer) SetTimer(w, 1, 2000, nullptr);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    LocalFree(argv);
    return 0;
}
