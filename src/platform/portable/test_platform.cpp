// Recording stand-ins for the platform seams.
#include "platform/portable/test_platform.h"

#include <cstring>

#include "base/text.h"

namespace vx {

StartResult TestProcesses::start(const std::string& commandLine) {
    std::lock_guard<std::mutex> l(mutex);
    started.push_back(commandLine);
    for (const auto& [prefix, error] : failing)
        if (commandLine.compare(0, prefix.size(), prefix) == 0) return {false, error};
    return {true, ""};
}

intptr_t TestEvents::create(const std::string& name, uint32_t& lastError) {
    if (refuse) {
        lastError = 6;
        return 0;
    }
    int& count = held[name];
    ++count;
    lastError = count > 1 ? 183 : 0;
    return static_cast<intptr_t>(std::hash<std::string>{}(name) | 1);
}

void TestClock::advance(uint64_t ms) {
    std::lock_guard<std::mutex> l(mutex);
    ticks += ms;
    int64_t hs = ((int64_t(time.hour) * 60 + time.minute) * 60 + time.second) * 100 + time.hundredths;
    hs += static_cast<int64_t>(ms / 10);
    int64_t days = hs / 8640000;
    hs %= 8640000;
    time.day += static_cast<int>(days);  // tests stay within a month
    time.hour = static_cast<int>(hs / 360000);
    time.minute = static_cast<int>(hs / 6000 % 60);
    time.second = static_cast<int>(hs / 100 % 60);
    time.hundredths = static_cast<int>(hs % 100);
}

uint32_t TestRandom::between(uint32_t lo, uint32_t hi) {
    uint32_t v = lo + counter++ % (hi - lo + 1);
    if (!next.empty()) {
        v = next.front();
        next.pop_front();
    }
    return v < lo ? lo : v > hi ? hi : v;
}

const char* TestSender::send(const char* url, const char* body, char* reply, int32_t length,
                             int32_t mode) {
    Call call{url, body, length, mode};
    std::string answer;
    bool have = false;
    {
        std::lock_guard<std::mutex> l(mutex);
        calls.push_back(call);
        auto it = replies.find(call.url);
        if (it != replies.end()) {
            answer = it->second;
            have = true;
        } else if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
            have = true;
        }
    }
    if (onCall) onCall(call);
    if (have && length > 0) {
        std::size_t n = answer.size() < std::size_t(length - 1) ? answer.size() : std::size_t(length - 1);
        std::memcpy(reply, answer.data(), n);
        reply[n] = 0;
    }
    return "OK";
}

void TestPlatform::install() {
    Platform& p = platform();
    p.profile = &profile;
    p.processes = &processes;
    p.events = &events;
    p.system = &system;
    p.clock = &clock;
    p.random = &random;
    p.sender = &sender;
}

}  // namespace vx
