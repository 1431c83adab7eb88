// Window lookup and text helpers of the window driver: finding top-level
// windows of other processes by title, class and image name; UTF-8 <-> UTF-16.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace drive {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// Which top-level windows a lookup accepts.
struct Filter {
    std::wstring title;          // exact title; ignored when matchTitle is false
    bool matchTitle = true;
    std::wstring className;      // exact class; empty = any
    std::wstring exe;            // image name of the owning process; empty = any
    DWORD pid = 0;               // owning process; 0 = any
    bool includeHidden = false;  // accept windows that are not visible
};

struct TopWindow {
    HWND hwnd;
    std::wstring className;
    std::wstring title;
    DWORD pid;
    std::wstring exe;
    bool visible;
};

// Every top-level window in Z order (topmost first), except this process's.
std::vector<TopWindow> topWindows();
std::vector<TopWindow> matching(const Filter& filter);
// Polls every 50 ms until a window matches or timeoutMs has passed.
HWND waitFor(const Filter& filter, DWORD timeoutMs);

std::wstring className(HWND hwnd);
// WM_GETTEXT through SendMessageTimeout, so a hung program cannot hang us.
bool windowText(HWND hwnd, std::wstring& text);
std::wstring exeOfProcess(DWORD pid);
// Image names of all running processes by process ID.
std::map<DWORD, std::wstring> processNames();

}  // namespace drive
