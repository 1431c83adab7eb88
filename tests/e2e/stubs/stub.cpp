// Stand-in for an external program (Tkill.exe, winvnc.exe, vncviewer.exe,
// Write.exe, chrome.exe): appends its exact command line to the record file
// named by VX_STUB_RECORD and exits.
#include <windows.h>

int main() {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VX_STUB_RECORD", path, sizeof path);
    if (n == 0 || n >= sizeof path) return 0;
    const char* line = GetCommandLineA();
    // Several stubs may start at once: retry while another holds the file.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE f = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(f, line, lstrlenA(line), &written, nullptr);
            WriteFile(f, "\r\n", 2, &written, nullptr);
            CloseHandle(f);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
