// A clock that shows whatever the test sets.
#pragma once
#include "os/clock.h"

namespace fakes {

class FakeClock : public os::Clock {
  public:
    os::LocalTime now;
    os::LocalTime Now() override { return now; }
    static os::LocalTime At(int y, int mo, int d, int h, int mi, int s) {
        os::LocalTime t;
        t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
        return t;
    }
};

}  // namespace fakes
