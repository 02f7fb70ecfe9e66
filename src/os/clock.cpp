#include "os/clock.h"

namespace os {

namespace {
// Days from 0000-03-01 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}
}  // namespace

int64_t DayNumber(const LocalTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(1899, 12, 30);
}

}  // namespace os
