// Benchmark launcher: starts a program, watches it and prints one line of figures
// (time to its window, CPU time, peak working set), then ends it.
//
//   peakmem ready TITLE TIMEOUT_S CWD|- PROGRAM [ARGS...]
//       milliseconds from CreateProcess until a visible top-level window of the
//       child titled TITLE exists (mapped_ms), and until that window answers a
//       sent WM_NULL (ready_ms): its thread has painted it and is back waiting
//       for messages; figures read 1 s later.
//   peakmem idle SETTLE_S SECONDS CWD|- PROGRAM [ARGS...]
//       CPU time the child spends in SECONDS after a settling time of SETTLE_S.
//
// Output: key=value pairs on one line; "error=..." and exit code 1 when it fails.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>

namespace {

// The watch itself must not slow the program down: every window query is a
// request to the same wineserver the program waits on (and, on one CPU, time
// taken from the program). Windows of other processes are asked about once,
// then skipped; once the titled window exists, hidden or not, only it is watched.
struct Search {
    DWORD pid;
    const wchar_t* title;
    HWND found;      // the titled window, visible
    HWND candidate;  // the titled window, seen hidden
    std::set<HWND> foreign;
};

BOOL CALLBACK findWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (s->foreign.count(w)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid) {
        s->foreign.insert(w);
        return TRUE;
    }
    wchar_t text[256] = {};
    GetWindowTextW(w, text, 256);
    if (std::wcscmp(text, s->title) != 0) return TRUE;
    if (IsWindowVisible(w)) s->found = w;
    else s->candidate = w;
    return FALSE;
}

void look(Search& s) {
    if (s.candidate) {
        if (IsWindowVisible(s.candidate)) s.found = s.candidate;
        else if (!IsWindow(s.candidate)) s.candidate = nullptr;
        return;
    }
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&s));
}

double seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// User plus kernel time in milliseconds.
double cpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto v = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(v(kernel) + v(user)) / 10000.0;
}

void printMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(process, &pmc, sizeof pmc)) {
        std::printf(" peak_ws_kib=%llu ws_kib=%llu private_kib=%llu",
                    (unsigned long long)(pmc.PeakWorkingSetSize / 1024),
                    (unsigned long long)(pmc.WorkingSetSize / 1024),
                    (unsigned long long)(pmc.PagefileUsage / 1024));
    } else {
        std::printf(" peak_ws_kib=-1");
    }
}

// Rebuilds a command line from arguments, quoting those with spaces.
std::wstring commandLine(int argc, wchar_t** argv, int from) {
    std::wstring line;
    for (int i = from; i < argc; ++i) {
        if (!line.empty()) line += L' ';
        std::wstring a = argv[i];
        if (a.find_first_of(L" \t") != std::wstring::npos) line += L'"' + a + L'"';
        else line += a;
    }
    return line;
}

int fail(const char* what) {
    std::printf("error=%s code=%lu\n", what, GetLastError());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: peakmem ready TITLE TIMEOUT_S CWD|- PROGRAM [ARGS...]\n"
                             "       peakmem idle SETTLE_S SECONDS CWD|- PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring mode = argv[1];
    const wchar_t* cwd = std::wcscmp(argv[4], L"-") == 0 ? nullptr : argv[4];
    std::wstring line = commandLine(argc, argv, 5);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, cwd, &si, &pi))
        return fail("start");

    int rc = 0;
    if (mode == L"ready") {
        Search s{pi.dwProcessId, argv[2], nullptr, nullptr, {}};
        double timeout = _wtof(argv[3]);
        for (;;) {
            look(s);
            QueryPerformanceCounter(&now);
            if (s.found) break;
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) { rc = fail("exited"); break; }
            if (seconds(start, now) > timeout) { rc = fail("timeout"); break; }
            Sleep(1);
        }
        double readyMs = -1;
        if (rc == 0) {
            // A sent message is taken only when the thread looks for messages again.
            DWORD_PTR ignored = 0;
            LARGE_INTEGER answered;
            if (SendMessageTimeoutW(s.found, WM_NULL, 0, 0, SMTO_NORMAL, DWORD(timeout * 1000), &ignored)) {
                QueryPerformanceCounter(&answered);
                readyMs = seconds(start, answered) * 1000.0;
            } else {
                rc = fail("no answer");
            }
        }
        if (rc == 0) {
            double ms = seconds(start, now) * 1000.0;
            Sleep(1000);
            std::printf("mapped_ms=%.1f ready_ms=%.1f cpu_ms=%.1f", ms, readyMs, cpuMs(pi.hProcess));
            printMemory(pi.hProcess);
            std::printf("\n");
        }
    } else if (mode == L"idle") {
        Sleep(DWORD(_wtof(argv[2]) * 1000));
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            rc = fail("exited");
        } else {
            double before = cpuMs(pi.hProcess);
            QueryPerformanceCounter(&start);
            Sleep(DWORD(_wtof(argv[3]) * 1000));
            QueryPerformanceCounter(&now);
            double after = cpuMs(pi.hProcess);
            std::printf("idle_s=%.1f cpu_ms=%.1f startup_cpu_ms=%.1f", seconds(start, now), after - before, before);
            printMemory(pi.hProcess);
            std::printf("\n");
        }
    } else {
        rc = fail("mode");
    }
    std::fflush(stdout);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return rc;
}
