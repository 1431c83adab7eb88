// Window lookup and text helpers of the window driver: finding top-level
// windows of other processes by title, class and image name; UTF-8 <-> UTF-16.
#include "finder.h"

#include <tlhelp32.h>

#include <algorithm>

namespace drive {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
    return out;
}

std::string narrow(const std::wstring& utf16) {
    if (utf16.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), (int)utf16.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), (int)utf16.size(), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring className(HWND hwnd) {
    wchar_t buf[256];
    int n = GetClassNameW(hwnd, buf, 256);
    return std::wstring(buf, n > 0 ? n : 0);
}

bool windowText(HWND hwnd, std::wstring& text) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return false;
    std::vector<wchar_t> buf(length + 64);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return false;
    if (copied > buf.size() - 1) copied = buf.size() - 1;
    text.assign(buf.data(), copied);
    return true;
}

std::map<DWORD, std::wstring> processNames() {
    std::map<DWORD, std::wstring> names;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
        std::wstring exe = entry.szExeFile;
        // Some snapshots carry the full path: keep the image name only.
        size_t slash = exe.find_last_of(L"\\/");
        names[entry.th32ProcessID] = slash == std::wstring::npos ? exe : exe.substr(slash + 1);
    }
    CloseHandle(snap);
    return names;
}

std::wstring exeOfProcess(DWORD pid) {
    std::map<DWORD, std::wstring> names = processNames();
    auto it = names.find(pid);
    return it == names.end() ? std::wstring() : it->second;
}

static BOOL CALLBACK collect(HWND hwnd, LPARAM param) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(param);
    list->push_back(hwnd);
    return TRUE;
}

std::vector<TopWindow> topWindows() {
    std::vector<HWND> handles;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&handles));
    std::vector<TopWindow> out;
    DWORD self = GetCurrentProcessId();
    for (HWND h : handles) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == self) continue;
        TopWindow w{h, className(h), {}, pid, {}, IsWindowVisible(h) != FALSE};
        // Every GUI thread has an input-method window: never a test's target.
        if (w.className == L"IME") continue;
        // The title of a top-level window is kept by the system: no need to
        // send to the (possibly busy) owner.
        wchar_t buf[1024];
        int n = GetWindowTextW(h, buf, 1024);
        w.title.assign(buf, n > 0 ? n : 0);
        out.push_back(w);
    }
    return out;
}

static bool sameName(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

std::vector<TopWindow> matching(const Filter& f) {
    std::vector<TopWindow> out;
    std::map<DWORD, std::wstring> names;
    if (!f.exe.empty()) names = processNames();
    for (TopWindow& w : topWindows()) {
        if (!f.includeHidden && !w.visible) continue;
        if (f.matchTitle && w.title != f.title) continue;
        if (!f.className.empty() && w.className != f.className) continue;
        if (f.pid && w.pid != f.pid) continue;
        if (!f.exe.empty()) {
            w.exe = names[w.pid];
            if (!sameName(w.exe, f.exe)) continue;
        }
        out.push_back(w);
    }
    // A visible match is what a user would see first.
    std::stable_partition(out.begin(), out.end(), [](const TopWindow& w) { return w.visible; });
    return out;
}

HWND waitFor(const Filter& f, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<TopWindow> found = matching(f);
        if (!found.empty()) return found.front().hwnd;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

}  // namespace drive
