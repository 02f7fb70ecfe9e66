// Wall-clock time as the program shows it: local, broken down.
#pragma once
#include <cstdint>

namespace os {

struct LocalTime {
    int year = 1899, month = 12, day = 30;  // month 1..12
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

// The platform's clock.
Clock& SystemClock();

// Days since 1899-12-30 (the day numbers stored with dates), whole days only.
int64_t DayNumber(const LocalTime& t);

// A moment in 100 ns units since 1601-01-01 UTC converted to local time.
LocalTime LocalTimeFromFileTime(int64_t fileTime);

}  // namespace os
