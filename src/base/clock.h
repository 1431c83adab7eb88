// Local time values, the system's time of day in hundredths of a second, and
// the date and time forms of the console's log lines.
#pragma once
#include <cstdint>
#include <string>

namespace vx {

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, hundredths = 0;
};

// Hundredths of a second since midnight plus one; exactly midnight gives 0.
int32_t timeOfDay(const LocalTime& t);
// Splits a time of day back into hours, minutes and seconds (0 stays 0:00:00).
void splitTimeOfDay(int64_t clock, int& hour, int& minute, int& second);
// "dd.mm.yyyy" with a space in place of the day's leading zero.
std::string logDate(const LocalTime& t);
// "hh:mm:ss" on the 24-hour clock with a space in place of the hour's leading zero.
std::string logTime(const LocalTime& t);

}  // namespace vx
