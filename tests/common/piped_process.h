// A test program of the build (in VX_BIN) started as its own process with
// its output and errors into a pipe that the test reads.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>

namespace vx::testing {

// Starts "VX_BIN\exe" args; on success `process` and `output` (the pipe's read
// end, which ends when the program does) are the caller's to close.
inline bool startPiped(const std::string& exe, const std::string& args, HANDLE& process, HANDLE& output) {
    process = output = nullptr;
    const char* bin = std::getenv("VX_BIN");
    std::string cmd = "\"" + std::string(bin ? bin : ".") + "\\" + exe + "\" " + args;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    bool started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != 0;
    // Only the child may hold the write end now, so a program that dies ends
    // the reads instead of blocking them.
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(pi.hThread);
    process = pi.hProcess;
    output = readEnd;
    return true;
}

}  // namespace vx::testing
