// The test side of the platform seams for the native build: recording,
// scriptable stand-ins for processes, events, the system and the sender, and
// the real file-based profile. install() makes it the platform in force.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/portable/profile_file.h"

namespace vx {

// Thrown where a program would end its process, so tests can see the code.
struct ProcessExit : std::runtime_error {
    int code;
    explicit ProcessExit(int c) : std::runtime_error("process exit " + std::to_string(c)), code(c) {}
};

class TestProcesses : public Processes {
public:
    StartResult start(const std::string& commandLine) override;
    std::vector<std::string> started;           // every command line, in order
    std::map<std::string, std::string> failing; // program prefix -> error text
    std::mutex mutex;
};

class TestEvents : public NamedEvents {
public:
    intptr_t create(const std::string& name, uint32_t& lastError) override;
    std::map<std::string, int> held;  // names claimed in this "session"
    bool refuse = false;              // creation fails (returns 0, error 6)
};

class TestSystem : public System {
public:
    int dragFullWindows() override { return drag; }
    void setDragFullWindows(int on) override { drag = on; dragWrites.push_back(on); }
    void sleepMs(int ms) override { sleeps.push_back(ms); }
    std::string currentDirectory() override { return cwd; }
    [[noreturn]] void exitProcess(int code) override { throw ProcessExit(code); }
    int drag = 0;
    std::vector<int> dragWrites;
    std::vector<int> sleeps;
    std::string cwd = "C:\\work";
};

class TestClock : public Clock {
public:
    LocalTime now() override { std::lock_guard<std::mutex> l(mutex); return time; }
    uint64_t tickMs() override { std::lock_guard<std::mutex> l(mutex); return ticks; }
    // Moves both the local time and the monotonic clock on.
    void advance(uint64_t ms);
    void set(const LocalTime& t) { std::lock_guard<std::mutex> l(mutex); time = t; }
    LocalTime time{2026, 12, 10, 10, 0, 0, 0};
    uint64_t ticks = 1000000;
    std::mutex mutex;
};

class TestRandom : public Random {
public:
    uint32_t between(uint32_t lo, uint32_t hi) override;
    std::deque<uint32_t> next;  // scripted draws (clamped into range); else lo + a counter

private:
    uint32_t counter = 0;  // this stand-in's own, so a test's draws do not depend on earlier tests
};

// A scripted sender: records every call and answers from `replies` (by URL,
// else from the queue `answers`, else nothing written).
class TestSender : public Sender {
public:
    struct Call {
        std::string url, body;
        int32_t length, mode;
    };
    const char* send(const char* url, const char* body, char* reply, int32_t length,
                     int32_t mode) override;
    std::vector<Call> calls;
    std::map<std::string, std::string> replies;  // URL -> reply
    std::deque<std::string> answers;             // next replies in order
    std::function<void(const Call&)> onCall;     // runs inside the call
    std::mutex mutex;
};

struct TestPlatform {
    ProfileFile profile;
    TestProcesses processes;
    TestEvents events;
    TestSystem system;
    TestClock clock;
    TestRandom random;
    TestSender sender;
    void install();
};

}  // namespace vx
