// Opacity, the hover fade and the move handle's flashing as small state
// machines: the window's timers drive them and apply what they answer.
#pragma once

namespace views {

// Alpha value 0..255 of an opacity in percent, rounded half to even.
int AlphaOf(int opacity);

class HoverFade {
  public:
    // The mouse moved over the window. True when a fade starts (the window
    // then runs its 10 ms timer).
    bool Start(int opacity);
    struct Step {
        int level = 100;    // the opacity to show now
        bool stop = false;  // the timer stops
    };
    // One timer tick; transparency is the set opacity the fade sinks back to.
    Step Tick(bool mouseInside, int transparency);

    bool Running() const { return running_; }
    int Level() const { return level_; }
    int StepSize() const { return step_; }

  private:
    bool running_ = false;
    int level_ = 100;
    int step_ = 2;  // a start with d = 0 keeps this
};

// The handle flashes while the warning dialog is open and for five ticks.
class HandleFlash {
  public:
    struct Step {
        bool alphaOn = true;  // semi-transparent (alpha 96) or opaque
        bool stop = false;
    };
    Step Tick(bool dialogOpen);
    int Ticks() const { return ticks_; }

  private:
    int ticks_ = 0;
};

constexpr int kHandleAlpha = 96;

}  // namespace views
