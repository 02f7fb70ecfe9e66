#include "views/placement.h"

#include <cstdlib>

#include "views/color.h"

namespace views {

int ClickThroughInset(bool clickThrough, bool classic, int windowWidth, int listWidth, Scale s) {
    if (!clickThrough) return 0;
    return classic ? (windowWidth - listWidth) / 2 : s(2);
}

Rect SnapToWorkArea(const Rect& proposed, Point mouse, Point grab, const Rect& work, int k,
                    Scale s) {
    const int w = proposed.Width(), h = proposed.Height(), d = s(kSnapDistance);
    Rect r = RectOfSize(mouse.x - grab.x, mouse.y - grab.y, w, h);
    const int left = r.left, top = r.top;
    if (std::abs(left - work.left) < d) {
        r.left = work.left - k;
        r.right = work.left + w - k;
    }
    if (std::abs(top - work.top) < d) {
        r.top = work.top - k;
        r.bottom = work.top + h - k;
    }
    if (std::abs(left + w - work.right) < d) {
        r.right = work.right - k;
        r.left = work.right - w - k;
    }
    if (std::abs(top + h - work.bottom) < d) {
        r.bottom = work.bottom - k;
        r.top = work.bottom - h - k;
    }
    return r;
}

Point ClickThroughOnPosition(const Rect& window, const Rect& work) {
    Point p{window.left, window.top};
    if (window.right > work.right) p.x -= window.right - work.right;
    if (window.bottom > work.bottom) p.y -= window.bottom - work.bottom;
    return p;
}

Point ClickThroughOffPosition(const Rect& window, const Rect& work, Scale s) {
    Point p{window.left, window.top};
    if (work.right == window.right + s(kHandleSize)) p.x += s(kHandleSize);
    return p;
}

Rect HandleRect(const Rect& window, int inset, Scale s) {
    int size = s(kHandleSize);
    return RectOfSize(window.right - size - inset, window.bottom - size - inset, size, size);
}

Rect MainRectForHandle(const Rect& handle, int mainWidth, int mainHeight) {
    return {handle.right - mainWidth, handle.bottom - mainHeight, handle.right, handle.bottom};
}

Point ConfirmDialogPosition(int width, int height, const Rect& screen, const Rect& main, Scale s) {
    Rect d = RectOfSize(screen.right - width, screen.bottom - height, width, height);
    // A corner on the dialog's edge counts as inside it.
    auto inside = [&](int x, int y) {
        return x >= d.left && x <= d.right && y >= d.top && y <= d.bottom;
    };
    bool covers = inside(main.left, main.top) || inside(main.right, main.top) ||
                  inside(main.left, main.bottom) || inside(main.right, main.bottom);
    if (covers) {
        const int gap = s(20);
        d.top = height + gap < main.top ? main.top - height - gap : main.bottom + gap;
    }
    return {d.left, d.top};
}

Point FirstPlacement(int width, int height, int screenWidth, int screenHeight) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 4};
}

void DrawHandleImage(Canvas& c, Color stickerColor, Scale s) {
    const int size = s(kHandleSize);
    Color cross = ContrastColor(stickerColor);
    c.Rectangle({0, 0, size, size}, cross, stickerColor);
    struct Seg {
        int x0, y0, x1, y1;
    };
    const Seg segs[] = {{6, 2, 6, 11}, {5, 3, 8, 3}, {5, 9, 8, 9},
                        {2, 6, 11, 6}, {3, 5, 3, 8}, {9, 5, 9, 8}};
    for (const Seg& g : segs) c.Line({s(g.x0), s(g.y0)}, {s(g.x1), s(g.y1)}, cross);
}

}  // namespace views
