// The seams to Windows. Each concern is a small interface; the programs
// install the Win32 implementations, the native tests the test ones
// (portable/test_platform.h). Nothing outside platform/ and the Win32 toolkit
// calls Windows itself.
#pragma once
#include <cstdint>
#include <string>

#include "base/clock.h"

namespace vx {

// What GetPrivateProfileStringA / WritePrivateProfileStringA do.
class Profile {
public:
    virtual ~Profile() = default;
    // Section, key and default are stripped of trailing spaces; a value is at
    // most 1,023 characters; a key present with an empty value gives "".
    virtual std::string read(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& path) = 0;
    // Creates the file and the section when missing; replaces a key's value.
    virtual bool write(const std::string& section, const std::string& key,
                       const std::string& value, const std::string& path) = 0;
};

// The outcome of starting a program: success, or the system's error text.
struct StartResult {
    bool ok = false;
    std::string error;
};

// Starting a program from a command line without waiting for it.
class Processes {
public:
    virtual ~Processes() = default;
    virtual StartResult start(const std::string& commandLine) = 0;
};

// Named events (the single-instance guard). create() returns the handle or 0,
// and the system's last error after the call (183: it already existed).
class NamedEvents {
public:
    virtual ~NamedEvents() = default;
    virtual intptr_t create(const std::string& name, uint32_t& lastError) = 0;
};

// The rest of the system: the drag-full-windows setting, sleeping, the
// current directory, the end of the process.
class System {
public:
    virtual ~System() = default;
    virtual int dragFullWindows() = 0;               // SPI_GETDRAGFULLWINDOWS
    virtual void setDragFullWindows(int on) = 0;     // SPI_SETDRAGFULLWINDOWS, flags 3
    virtual void sleepMs(int ms) = 0;
    virtual std::string currentDirectory() = 0;      // full path, no trailing backslash unless a root
    [[noreturn]] virtual void exitProcess(int code) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;        // local time
    virtual uint64_t tickMs() = 0;      // monotonic milliseconds
};

class Random {
public:
    virtual ~Random() = default;
    // A uniform whole number from lo to hi inclusive.
    virtual uint32_t between(uint32_t lo, uint32_t hi) = 0;
};

// The external HTTP sender (saljihttp of Trevasol.dll).
class Sender {
public:
    virtual ~Sender() = default;
    virtual const char* send(const char* url, const char* body, char* reply,
                             int32_t length, int32_t mode) = 0;
};

struct Platform {
    Profile* profile = nullptr;
    Processes* processes = nullptr;
    NamedEvents* events = nullptr;
    System* system = nullptr;
    Clock* clock = nullptr;
    Random* random = nullptr;
    Sender* sender = nullptr;
};

// The installed platform (the program's Win32 one, or a test's).
Platform& platform();

// The time of day now, in hundredths of a second since midnight plus one.
int32_t clockNow();

}  // namespace vx
