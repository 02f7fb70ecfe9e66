#include <ctime>
#include <sys/time.h>

#include "os/clock.h"

namespace os {

namespace {
LocalTime FromTm(const std::tm& tm, int ms) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = ms;
    t.dayOfWeek = tm.tm_wday;
    return t;
}

class PosixClock : public Clock {
  public:
    LocalTime Now() override {
        timeval tv{};
        gettimeofday(&tv, nullptr);
        std::tm tm{};
        time_t secs = tv.tv_sec;
        localtime_r(&secs, &tm);
        return FromTm(tm, static_cast<int>(tv.tv_usec / 1000));
    }
};
}  // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

LocalTime LocalTimeFromFileTime(int64_t fileTime) {
    constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;
    int64_t since = fileTime - kUnixEpochIn100ns;
    time_t secs = static_cast<time_t>(since >= 0 ? since / 10000000 : (since - 9999999) / 10000000);
    int ms = static_cast<int>(((since % 10000000) + 10000000) % 10000000 / 10000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return FromTm(tm, ms);
}

}  // namespace os
