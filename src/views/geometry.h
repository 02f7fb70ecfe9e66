// Pixel geometry shared by the views: rectangles as the system gives them
// (right and bottom exclusive) and the DPI scale of the pixel rules.
#pragma once
#include <cstdint>

namespace views {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const Rect&) const = default;
};

inline Rect RectOfSize(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// Pixel rules are given for 96 DPI; at other DPIs they scale with the window.
struct Scale {
    int dpi = 96;
    int operator()(int px) const {
        // Rounded like the system's MulDiv, also for negative values.
        int64_t v = static_cast<int64_t>(px) * dpi;
        return static_cast<int>(v >= 0 ? (v + 48) / 96 : -((-v + 48) / 96));
    }
};

}  // namespace views
