#include "views/color.h"

#include <algorithm>

namespace views {

namespace {

template <class F>
Color PerChannel(Color c, F f) {
    return Rgb(f(RedOf(c)), f(GreenOf(c)), f(BlueOf(c)));
}

}  // namespace

Color LightenColor(Color c, int k) {
    if (k <= 0) return c & 0xFFFFFF;
    k = std::min(k, 100);
    return PerChannel(c, [k](int v) { return v + k * (255 - v) / 100; });
}

Color DarkenColor(Color c, int k) {
    if (k <= 0) return c & 0xFFFFFF;
    k = std::min(k, 100);
    return PerChannel(c, [k](int v) { return v - k * v / 100; });
}

Color ContrastColor(Color c) {
    auto once = [](int v) { return v > 224 ? 255 - v : v + 30; };
    return PerChannel(c, [&](int v) { return once(once(once(v))); });
}

}  // namespace views
