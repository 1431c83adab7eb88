// Win32 implementations of the platform seams.
#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <atomic>
#include <random>
#include <vector>

#include "base/text.h"
#include "platform/datafile.h"
#include "trevasol/saljihttp.h"

namespace vx {

std::string systemErrorText(unsigned long code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out;
    if (n && text) out.assign(text, n);
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    if (out.empty()) out = "Error " + num(code);
    return out;
}

namespace {

std::atomic<void (*)()> beforeExit{nullptr};  // exits come from any thread

class Win32Profile : public Profile {
public:
    std::string read(const std::string& section, const std::string& key, const std::string& def,
                     const std::string& path) override {
        char buf[1024];
        GetPrivateProfileStringA(clip(section).c_str(), clip(key).c_str(), clip(def).c_str(), buf,
                                 sizeof buf, clip(path).c_str());
        return buf;
    }
    bool write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) override {
        return WritePrivateProfileStringA(clip(section).c_str(), clip(key).c_str(), value.c_str(),
                                          clip(path).c_str()) != 0;
    }
};

class Win32Processes : public Processes {
public:
    StartResult start(const std::string& commandLine) override {
        std::vector<char> cmd(commandLine.begin(), commandLine.end());
        cmd.push_back(0);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return {false, systemErrorText(GetLastError())};
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return {true, ""};
    }
};

class Win32Events : public NamedEvents {
public:
    intptr_t create(const std::string& name, uint32_t& lastError) override {
        HANDLE h = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
        lastError = GetLastError();
        return reinterpret_cast<intptr_t>(h);
    }
};

class Win32System : public System {
public:
    int dragFullWindows() override {
        BOOL v = FALSE;
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &v, 0);
        return v;
    }
    void setDragFullWindows(int on) override {
        static LONG adjusted = 0;  // receives nothing; the call wants an address
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, on, &adjusted,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
    void sleepMs(int ms) override { Sleep(ms); }
    std::string currentDirectory() override {
        char buf[MAX_PATH * 2];
        DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
        return std::string(buf, n < sizeof buf ? n : 0);
    }
    [[noreturn]] void exitProcess(int code) override {
        if (auto hook = beforeExit.load()) hook();
        ExitProcess(code);
    }
};

class Win32Clock : public Clock {
public:
    LocalTime now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                st.wMilliseconds / 10};
    }
    uint64_t tickMs() override { return GetTickCount64(); }
};

class Win32Random : public Random {
public:
    Win32Random() : engine_(std::random_device{}() ^ GetTickCount() ^ GetCurrentProcessId()) {}
    uint32_t between(uint32_t lo, uint32_t hi) override {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(engine_);
    }

private:
    std::mt19937 engine_;
};

class TrevasolSender : public Sender {
public:
    const char* send(const char* url, const char* body, char* reply, int32_t length,
                     int32_t mode) override {
        return saljihttp(url, body, reply, length, mode);
    }
};

}  // namespace

void setBeforeExit(void (*hook)()) { beforeExit.store(hook); }

void installWin32Platform() {
    static Win32Profile profile;
    static Win32Processes processes;
    static Win32Events events;
    static Win32System system;
    static Win32Clock clock;
    static Win32Random random;
    static TrevasolSender sender;
    Platform& p = platform();
    p.profile = &profile;
    p.processes = &processes;
    p.events = &events;
    p.system = &system;
    p.clock = &clock;
    p.random = &random;
    p.sender = &sender;
    setFileSystem(&win32FileSystem());
}

}  // namespace vx
