#include "views/transparency.h"

#include <cstdlib>

namespace views {

int AlphaOf(int opacity) {
    if (opacity <= 0) return 0;
    if (opacity >= 100) return 255;
    int q = opacity * 255 / 100, rem = opacity * 255 % 100;
    if (rem > 50 || (rem == 50 && q % 2 != 0)) ++q;
    return q;
}

bool HoverFade::Start(int opacity) {
    if (opacity > 99 || running_) return false;
    running_ = true;
    level_ = opacity;
    int d = (100 - opacity) / 10;
    if (d >= 1 && d <= 3)
        step_ = 2;
    else if (d >= 4 && d <= 6)
        step_ = 3;
    else if (d >= 7)
        step_ = 4;
    return true;
}

HoverFade::Step HoverFade::Tick(bool mouseInside, int transparency) {
    if (!mouseInside) {
        running_ = false;
        step_ = -std::abs(step_);
    }
    Step s;
    level_ += step_;
    if (level_ > 100) level_ = 100;
    if (level_ < transparency) {
        level_ = transparency;
        s.stop = true;
    }
    s.level = level_;
    return s;
}

HandleFlash::Step HandleFlash::Tick(bool dialogOpen) {
    Step s;
    if (dialogOpen || ticks_ < 5) {
        ++ticks_;
        s.alphaOn = ticks_ % 2 != 0;
        return s;
    }
    s.alphaOn = true;
    s.stop = true;
    return s;
}

}  // namespace views
