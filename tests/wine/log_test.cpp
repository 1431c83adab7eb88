// The connection log on the Win32 file system: the bytes it leaves, the
// sharing and error codes of the data-file layer, and a log that cannot be
// opened ending a real process through its warning and halt boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "platform/datafile.h"
#include "platform/win32/win32_platform.h"
#include "shared/vxf_log.h"

namespace {

std::string tempFolder(const char* tag) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string d = std::string(dir) + tag + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring widen1250(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(1250, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n), L'\0');
    MultiByteToWideChar(1250, 0, s.data(), int(s.size()), &w[0], n);
    return w;
}

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() {
        if (h_ != INVALID_HANDLE_VALUE && h_) CloseHandle(h_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_; }

private:
    HANDLE h_;
};

TEST(Win32Log, BytesOnDisk) {
    vx::installWin32Platform();
    std::string dir = tempFolder("vxlog");
    std::string path = dir + "\\vxlog.log";
    DeleteFileA(path.c_str());
    vx::VXF_LOG("OTVORI", path);
    vx::VXF_LOG("stari red");
    vx::VXF_LOG("NEW", path + "   ");  // starts the file afresh
    vx::VXF_LOG(" 9.12.2026  9:05:03 Start Morventa");
    vx::VXF_LOG("Server :12345   ");
    vx::VXF_LOG("");
    vx::VXF_LOG("Klijent : Željko Šimić, Čakovec, Đakovo");
    vx::VXF_LOG(std::string(300, 'z'));
    vx::VXF_LOG("ZATVORI");
    vx::VXF_LOG("ZATVORI");
    vx::VXF_LOG("poslije zatvaranja");  // opens it again
    vx::VXF_LOG("ZATVORI");
    EXPECT_EQ(readAll(path), " 9.12.2026  9:05:03 Start Morventa\r\n"
                             "Server :12345\r\n"
                             "\r\n"
                             "Klijent : \x8E" "eljko \x8A" "imi\xE6, \xC8" "akovec, \xD0" "akovo\r\n" +
                                 std::string(255, 'z') + "\r\nposlije zatvaranja\r\n");

    // A blank name: vxlog.log in the current folder.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    DeleteFileA(path.c_str());
    vx::VXF_LOG("OTVORI", "");
    vx::VXF_LOG("tu");
    vx::VXF_LOG("ZATVORI");
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(vx::GLO_LOGFILE.clip(), "vxlog.log");
    EXPECT_EQ(readAll(path), "tu\r\n");
    DeleteFileA(path.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(Win32Log, OpenLogSharesWithOthers) {
    vx::installWin32Platform();
    std::string dir = tempFolder("vxshare");
    std::string path = dir + "\\vxlog.log";
    vx::VXF_LOG("NEW", path);
    // Read and write, deny none: a viewer can read it and another writer can add.
    ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader.valid()) << GetLastError();
    vx::VXF_LOG("ZATVORI");
    DeleteFileA(path.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(Win32Log, LayerCodesFromTheSystem) {
    vx::installWin32Platform();
    std::string dir = tempFolder("vxcodes");
    std::string held = dir + "\\held.log";
    ScopedHandle holder(CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    std::string badName = dir + "\\los<>|naziv.log";
    // What the system itself says about the bad name, to compare with.
    SetLastError(0);
    ScopedHandle probe(CreateFileA(badName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD badNameError = GetLastError();
    ASSERT_FALSE(probe.valid());
    ASSERT_NE(badNameError, DWORD(ERROR_FILE_NOT_FOUND));

    struct Case {
        std::string name;
        uint8_t mode;
        int32_t code;
        std::string systemCode;
    } cases[] = {
        {dir + "\\missing.log", 0x42, vx::FILE_NOT_FOUND, ""},
        {dir + "\\nema\\vxlog.log", 0x42, vx::FILE_NOT_FOUND, ""},
        {held, 0x42, vx::FILE_LOCKED, ""},
        {held, 0x00, vx::FILE_LOCKED, ""},
        {badName, 0x42, vx::FILE_SYSTEM_ERROR, vx::num(badNameError)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vx::Text<222> name(c.name);
        vx::DataFile f(name);
        f.open(c.mode);
        EXPECT_FALSE(f.isOpen());
        const vx::FileError& e = vx::lastFileError();
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.systemCode, c.systemCode);
        if (c.code == vx::FILE_SYSTEM_ERROR) {
            EXPECT_EQ(e.systemText, vx::systemErrorText(badNameError));
        }
    }
    // Deny write by one opener keeps out a second writer but lets a reader in.
    std::string shared = dir + "\\shared.log";
    {
        vx::Text<222> name(shared);
        vx::DataFile f(name);
        f.create();
        f.open(0x22);  // read-write, deny write
        ASSERT_TRUE(f.isOpen());
        ScopedHandle writer(CreateFileA(shared.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer.valid());
        ScopedHandle reader(CreateFileA(shared.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader.valid());
    }
    DeleteFileA(shared.c_str());
    DeleteFileA(held.c_str());
    RemoveDirectoryA(dir.c_str());
}

// --- a real process that cannot open its log ---

struct Box {
    std::wstring caption, text;
};

struct DialogSearch {
    DWORD pid;
    HWND found;
};

// An enumeration callback must be WINAPI (stdcall on i686), so no lambda.
BOOL CALLBACK matchDialog(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<DialogSearch*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (owner == s->pid && IsWindowVisible(h) && std::wstring(cls) == L"#32770") {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND findDialog(DWORD pid) {
    DialogSearch s{pid, nullptr};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        Sleep(30);
    }
    return false;
}

std::wstring textOf(HWND h) {
    wchar_t buf[2048] = {};
    SendMessageW(h, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buf));
    return buf;
}

// Starts the probe on the file, reads each box and presses its OK, and
// returns the boxes in order with the process's exit code.
std::vector<Box> runProbe(const std::string& file, DWORD& exitCode) {
    const char* bin = std::getenv("VX_BIN");
    std::string cmd = "\"" + std::string(bin ? bin : ".") + "\\checkopen_probe.exe\" \"" + file + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<Box> boxes;
    exitCode = 99;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "probe did not start: " << GetLastError();
        return boxes;
    }
    ScopedHandle process(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 4; ++i) {
        HWND dlg = nullptr;
        bool gone = false;
        waitFor([&] {
            if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return gone = true;
            dlg = findDialog(pi.dwProcessId);
            return dlg && !textOf(GetDlgItem(dlg, 0xFFFF)).empty();
        });
        if (gone || !dlg) break;
        boxes.push_back({textOf(dlg), textOf(GetDlgItem(dlg, 0xFFFF))});
        PostMessageW(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
        waitFor([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); });
    }
    if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 3);
        ADD_FAILURE() << "probe did not end";
    }
    GetExitCodeProcess(process.get(), &exitCode);
    return boxes;
}

TEST(Win32Log, UnusableLogEndsTheProcessAfterItsWarning) {
    vx::installWin32Platform();
    std::string dir = tempFolder("vxprobe");
    std::string locked = dir + "\\locked.log";
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::string bad = dir + "\\los<>naziv.log";
    SetLastError(0);
    { ScopedHandle h(CreateFileA(bad.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)); }
    DWORD badError = GetLastError();
    std::string missing = dir + "\\nema\\vxlog.log";

    struct Case {
        std::string file, caption, text, halt;
    } cases[] = {
        {missing, "Greška kod kreiranja ",
         "Greška: (File Not Found (2)) kod kreiranja " + missing + ".  Pritisnite  OK za izlazak. ",
         "Greška kod kreiranja!"},
        {locked, "Nemate dozvolljen pristup datoteci",
         "Datoteku: (" + locked + ") ne mogu otvoriti   Greska: File Is Already Locked (32).", "Disk Error"},
        {bad, "Nemate dozvolljen pristup datoteci",
         "Datoteku: (" + bad + ") ne mogu otvoriti   Greska: " + vx::systemErrorText(badError) + " (" +
             vx::num(badError) + ").",
         "Disk Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DWORD exitCode = 0;
        std::vector<Box> boxes = runProbe(c.file, exitCode);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].caption, widen1250(c.caption));
        EXPECT_EQ(boxes[0].text, widen1250(c.text));
        EXPECT_EQ(boxes[1].caption, L"Halt");
        EXPECT_EQ(boxes[1].text, widen1250(c.halt));
        EXPECT_EQ(exitCode, 1u);  // the failure is visible to whoever started it
    }
    // And a usable one opens without a word.
    DWORD exitCode = 99;
    std::vector<Box> boxes = runProbe(dir + "\\dobar.log", exitCode);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(exitCode, 0u);
    DeleteFileA((dir + "\\dobar.log").c_str());
    CloseHandle(holder);
    DeleteFileA(locked.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
