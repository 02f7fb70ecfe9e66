#include <windows.h>

#include "os/clock.h"

namespace os {

namespace {
LocalTime FromSystemTime(const SYSTEMTIME& st) {
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    t.dayOfWeek = st.wDayOfWeek;
    return t;
}

class Win32Clock : public Clock {
  public:
    LocalTime Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return FromSystemTime(st);
    }
};
}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

LocalTime LocalTimeFromFileTime(int64_t fileTime) {
    FILETIME utc, local;
    utc.dwLowDateTime = static_cast<DWORD>(fileTime);
    utc.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(fileTime) >> 32);
    SYSTEMTIME st = {};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return LocalTime();
    return FromSystemTime(st);
}

}  // namespace os
