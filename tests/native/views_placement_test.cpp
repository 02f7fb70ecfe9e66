#include <doctest.h>

#include "fakes/recording_canvas.h"
#include "views/placement.h"
#include "views/transparency.h"

using fakes::Drawn;

namespace {

const views::Rect kWork{0, 0, 1024, 768};

// A 200 x 100 window dragged with the mouse at its top-left + (30, 10).
views::Rect DragTo(int left, int top, int inset) {
    views::Point grab{30, 10};
    views::Rect proposed = views::RectOfSize(left, top, 200, 100);
    return views::SnapToWorkArea(proposed, {left + grab.x, top + grab.y}, grab, kWork, inset);
}

}  // namespace

TEST_CASE("snapping to the work area at 15 pixels, not at 20") {
    struct Case {
        const char* what;
        int left, top, inset;
        views::Rect expected;
    };
    const Case cases[] = {
        {"15 from the left edge", 15, 300, 0, {0, 300, 200, 400}},
        {"20 from the left edge", 20, 300, 0, {20, 300, 220, 400}},
        {"15 from the top", 400, 15, 0, {400, 0, 600, 100}},
        {"15 from the right edge", 1024 - 200 - 15, 300, 0, {824, 300, 1024, 400}},
        {"20 from the right edge", 1024 - 200 - 20, 300, 0, {804, 300, 1004, 400}},
        {"15 from the bottom", 400, 768 - 100 - 15, 0, {400, 668, 600, 768}},
        // Click-through in the sticker: 2 beyond on the left and top, 2 inside
        // on the right and bottom.
        {"left, inset 2", 15, 15, 2, {-2, -2, 198, 98}},
        {"right and bottom, inset 2", 810, 655, 2, {822, 666, 1022, 766}},
        {"far from every edge", 400, 300, 2, {400, 300, 600, 400}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        CHECK(DragTo(c.left, c.top, c.inset) == c.expected);
    }
    // The rectangle follows the mouse, whatever was proposed.
    views::Rect r = views::SnapToWorkArea({0, 0, 200, 100}, {500, 400}, {30, 10}, kWork, 0);
    CHECK(r == views::Rect{470, 390, 670, 490});
    // The distance scales with the DPI: 25 pixels still snap at 144.
    CHECK(views::SnapToWorkArea({0, 0, 200, 100}, {55, 410}, {30, 10}, kWork, 0, {144}).left == 0);
}

TEST_CASE("click-through moves, the inset and the handle's square") {
    CHECK(views::ClickThroughInset(false, true, 300, 280) == 0);
    CHECK(views::ClickThroughInset(true, true, 300, 284) == 8);  // the frame
    CHECK(views::ClickThroughInset(true, false, 300, 0) == 2);
    // On: a window past the right and bottom edges comes inside.
    CHECK(views::ClickThroughOnPosition({900, 700, 1040, 790}, kWork) == views::Point{884, 678});
    CHECK(views::ClickThroughOnPosition({100, 100, 300, 200}, kWork) == views::Point{100, 100});
    // Off: a window that left the handle's 13 pixels at the right edge goes back.
    CHECK(views::ClickThroughOffPosition({811, 50, 1011, 150}, kWork) == views::Point{824, 50});
    CHECK(views::ClickThroughOffPosition({810, 50, 1010, 150}, kWork) == views::Point{810, 50});
    CHECK(views::HandleRect({100, 100, 300, 200}, 2) == views::Rect{285, 185, 298, 198});
    CHECK(views::HandleRect({100, 100, 300, 200}, 0, {144}).Width() == 20);
    CHECK(views::MainRectForHandle({285, 185, 298, 198}, 200, 100) ==
          views::Rect{98, 98, 298, 198});
}

TEST_CASE("the warning dialog keeps clear of the main window") {
    const views::Rect screen{0, 0, 1024, 768};
    // Bottom-right corner when the main window is elsewhere.
    CHECK(views::ConfirmDialogPosition(300, 150, screen, {0, 0, 200, 100}) ==
          views::Point{724, 618});
    // Covered: above the main window when there is room...
    CHECK(views::ConfirmDialogPosition(300, 150, screen, {800, 650, 1000, 750}) ==
          views::Point{724, 480});
    // ...else below it.
    CHECK(views::ConfirmDialogPosition(300, 150, screen, {800, 100, 1000, 700}) ==
          views::Point{724, 720});
}

TEST_CASE("first placement: centred, a quarter of the free height down") {
    CHECK(views::FirstPlacement(300, 100, 1024, 768) == views::Point{362, 167});
}

TEST_CASE("the handle's picture: sticker colour, contrast cross") {
    fakes::RecordingCanvas c;
    views::DrawHandleImage(c, 0xD2FFFF);
    auto rect = c.Of(Drawn::Rectangle);
    REQUIRE(rect.size() == 1);
    CHECK(rect[0].rect == views::Rect{0, 0, 13, 13});
    CHECK(rect[0].b == 0xD2FFFF);
    auto lines = c.Of(Drawn::Line);
    REQUIRE(lines.size() == 6);
    CHECK(lines[0].rect == views::Rect{6, 2, 6, 11});
    CHECK(lines[3].rect == views::Rect{2, 6, 11, 6});
    for (const Drawn& l : lines) CHECK(l.a == views::Rgb(60, 60, 45));
}

TEST_CASE("opacity to alpha") {
    CHECK(views::AlphaOf(100) == 255);
    CHECK(views::AlphaOf(80) == 204);
    CHECK(views::AlphaOf(50) == 128);  // 127.5, ties to even
    CHECK(views::AlphaOf(10) == 26);   // 25.5
    CHECK(views::AlphaOf(0) == 0);
    CHECK(views::AlphaOf(33) == 84);  // 84.15
}

TEST_CASE("hover fade: up to opaque under the mouse, back to the set opacity after") {
    views::HoverFade fade;
    CHECK(fade.Start(80));
    CHECK_FALSE(fade.Start(80));  // one fade at a time
    CHECK(fade.StepSize() == 2);
    std::vector<int> levels;
    for (int i = 0; i < 12; ++i) levels.push_back(fade.Tick(true, 80).level);
    CHECK(levels == std::vector<int>{82, 84, 86, 88, 90, 92, 94, 96, 98, 100, 100, 100});
    levels.clear();
    views::HoverFade::Step s;
    do {
        s = fade.Tick(false, 80);
        levels.push_back(s.level);
    } while (!s.stop && levels.size() < 50);
    CHECK(levels.back() == 80);
    CHECK(levels.size() == 11);  // 98 ... 82, then below 80: held at 80, stopped
    CHECK_FALSE(fade.Running());

    views::HoverFade none;
    CHECK_FALSE(none.Start(100));  // an opaque window does not fade
    struct Case {
        int opacity, step;
    };
    for (Case c : {Case{70, 2}, Case{60, 3}, Case{40, 3}, Case{30, 4}, Case{10, 4}}) {
        views::HoverFade f;
        CAPTURE(c.opacity);
        f.Start(c.opacity);
        CHECK(f.StepSize() == c.step);
    }
    views::HoverFade almost;
    almost.Start(95);  // d = 0 keeps the step it had
    CHECK(almost.StepSize() == 2);
    CHECK(almost.Tick(true, 95).level == 97);
}

TEST_CASE("the handle flashes while the warning is open, then stays semi-transparent") {
    views::HandleFlash flash;
    std::vector<bool> alpha;
    for (int i = 0; i < 7; ++i) {
        views::HandleFlash::Step s = flash.Tick(true);
        CHECK_FALSE(s.stop);
        alpha.push_back(s.alphaOn);
    }
    CHECK(alpha == std::vector<bool>{true, false, true, false, true, false, true});
    views::HandleFlash::Step s = flash.Tick(false);  // closed, more than five ticks
    CHECK(s.stop);
    CHECK(s.alphaOn);

    views::HandleFlash shortOne;  // no dialog: five ticks, then stop
    for (int i = 0; i < 5; ++i) CHECK_FALSE(shortOne.Tick(false).stop);
    CHECK(shortOne.Tick(false).stop);
}
