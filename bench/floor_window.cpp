// The console benchmark's floor: the least a program can do that, like the
// console, must fetch the relay record before its window: one WinHTTP GET of
// the URL given, then one window and a message loop. Built a second time with
// FLOOR_COMMON_CONTROLS (and the programs' manifest), it also loads the common
// controls with visual styles first, as every window of the programs needs.
//
//   floor_window URL [TITLE]
#include <windows.h>
#include <winhttp.h>
#ifdef FLOOR_COMMON_CONTROLS
#include <commctrl.h>
#endif

#include <string>

namespace {

LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// The reply body, empty on any failure.
std::string get(const wchar_t* url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = DWORD(-1);
    if (!WinHttpCrackUrl(url, 0, 0, &parts)) return {};
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    std::string body;
    HINTERNET session = WinHttpOpen(L"Floor/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = session ? WinHttpConnect(session, host.c_str(), parts.nPort, 0) : nullptr;
    HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                        WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                                   : nullptr;
    if (request && WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        char chunk[4096];
        DWORD got = 0;
        while (WinHttpReadData(request, chunk, sizeof chunk, &got) && got > 0) body.append(chunk, got);
    }
    if (request) WinHttpCloseHandle(request);
    if (connection) WinHttpCloseHandle(connection);
    if (session) WinHttpCloseHandle(session);
    return body;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
#ifdef FLOOR_COMMON_CONTROLS
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
#endif
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) return 2;
    // No record, no figure: the launcher sees the program end instead of a window.
    if (get(argv[1]).empty()) return 3;
    const wchar_t* title = argc > 2 ? argv[2] : L"Floor";

    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"FloorWindow";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                             CW_USEDEFAULT, 630, 400, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    LocalFree(argv);
    return 0;
}
