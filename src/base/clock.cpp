// Time of day and log-line date/time forms.
#include "base/clock.h"

#include <cstdio>

namespace vx {

int32_t timeOfDay(const LocalTime& t) {
    if (t.hour == 0 && t.minute == 0 && t.second == 0 && t.hundredths == 0) return 0;
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths + 1;
}

void splitTimeOfDay(int64_t clock, int& hour, int& minute, int& second) {
    int64_t hs = clock > 0 ? clock - 1 : 0;
    int64_t secs = hs / 100;
    hour = static_cast<int>(secs / 3600);
    minute = static_cast<int>(secs / 60 % 60);
    second = static_cast<int>(secs % 60);
}

std::string logDate(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d.%02d.%04d", t.day, t.month, t.year);
    return buf;
}

std::string logTime(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

}  // namespace vx
