#include <doctest.h>

#include "fakes/recording_canvas.h"
#include "intl/messages.h"
#include "views/color.h"
#include "views/percent_bar.h"

using fakes::Drawn;
using fakes::RecordingCanvas;
using views::Rgb;

namespace {

constexpr int64_t MB = 1048576;

disks::DriveEntry Drive(int64_t capacity, int64_t free, int64_t available, int64_t change = 0) {
    disks::DriveEntry e;
    e.Kind = disks::kFixed;
    e.Name = "C:";
    e.Capacity = capacity;
    e.Free = free;
    e.Available = available;
    e.Used = capacity - free;
    e.FreeChange = change;
    return e;
}

}  // namespace

TEST_CASE("bar colour by the free space under both limits") {
    app::Options o;
    o.UseColors = true;
    struct Case {
        const char* what;
        int32_t limit1, limit2;
        uint8_t units1, units2;
        double freeMb;
        int64_t capacityMb;
        views::Color expected;
    };
    const Case cases[] = {
        {"8 % free, below both percent limits", 25, 10, 0, 0, 80, 1000, o.BarColor2},
        {"20 % free, below the first only", 25, 10, 0, 0, 200, 1000, o.BarColor1},
        {"30 % free, above both", 25, 10, 0, 0, 300, 1000, o.BarColor},
        // Limits one megabyte apart are compared unrounded.
        {"10.6 MB against 10 and 11 MB", 10, 11, 1, 1, 10.6, 1000, o.BarColor2},
        // Further apart, everything is rounded: 10.6 MB counts as 11, 11.6 as 12.
        {"10.6 MB against 10 and 12 MB", 10, 12, 1, 1, 10.6, 1000, o.BarColor2},
        {"11.6 MB against 10 and 12 MB", 10, 12, 1, 1, 11.6, 1000, o.BarColor},
        // The smaller limit's colour wins below both, whichever of the two it is.
        {"5 MB, first limit the smaller", 10, 20, 1, 1, 5, 1000, o.BarColor1},
        {"15 MB, between the limits", 10, 20, 1, 1, 15, 1000, o.BarColor2},
        {"mixed units: 40 MB against 5 % (50 MB) and 30 MB", 5, 30, 0, 1, 40, 1000, o.BarColor1},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        o.BarLimit1 = c.limit1;
        o.BarLimit2 = c.limit2;
        o.BarUnits1 = c.units1;
        o.BarUnits2 = c.units2;
        int64_t free = static_cast<int64_t>(c.freeMb * MB);
        CHECK(views::BarColorFor(Drive(c.capacityMb * MB, free, free), o) == c.expected);
    }
    // Under a quota the available space is what is left.
    o.BarLimit1 = 25, o.BarLimit2 = 10, o.BarUnits1 = o.BarUnits2 = 0;
    CHECK(views::BarColorFor(Drive(1000 * MB, 500 * MB, 50 * MB), o) == o.BarColor2);
    o.UseColors = false;
    CHECK(views::BarColorFor(Drive(1000 * MB, 1 * MB, 1 * MB), o) == o.BarColor);
}

TEST_CASE("lighten, darken and the contrast colour") {
    CHECK(views::LightenColor(Rgb(58, 230, 67), 56) == Rgb(168, 244, 172));
    CHECK(views::DarkenColor(Rgb(58, 230, 67), 30) == Rgb(41, 161, 47));
    CHECK(views::LightenColor(Rgb(10, 20, 30), 250) == Rgb(255, 255, 255));  // capped at 100
    CHECK(views::DarkenColor(Rgb(10, 20, 30), 100) == Rgb(0, 0, 0));
    CHECK(views::LightenColor(Rgb(10, 20, 30), 0) == Rgb(10, 20, 30));
    CHECK(views::DarkenColor(Rgb(10, 20, 30), -5) == Rgb(10, 20, 30));
    CHECK(views::ContrastColor(0xD2FFFF) == Rgb(60, 60, 45));  // the default sticker colour
    CHECK(views::ContrastColor(Rgb(0, 0, 0)) == Rgb(90, 90, 90));
}

TEST_CASE("the bar painter: frame, background, two bands and the outline") {
    RecordingCanvas c;
    const views::Color color = Rgb(58, 230, 67);
    views::DrawPercentBar(c, {10, 20, 110, 36}, color, 40);
    auto lines = c.Of(Drawn::Line);
    auto grads = c.Of(Drawn::Gradient);
    REQUIRE(lines.size() == 7);
    REQUIRE(grads.size() == 3);
    // Light top and left edges, dark bottom and right edges, corners left out.
    CHECK(lines[0].rect == views::Rect{11, 20, 109, 20});
    CHECK(lines[1].rect == views::Rect{10, 21, 10, 35});
    CHECK(lines[2].rect == views::Rect{11, 35, 109, 35});
    CHECK(lines[3].rect == views::Rect{109, 21, 109, 35});
    CHECK(lines[0].a == Rgb(212, 215, 217));
    CHECK(lines[3].a == Rgb(171, 175, 176));
    CHECK(grads[0].rect == views::Rect{11, 21, 109, 35});
    CHECK(grads[0].a == Rgb(228, 230, 231));
    CHECK(grads[0].b == Rgb(246, 247, 248));
    // Inner height 14: the lower band takes 14 * 0.5625 = 7.875, rounded 8.
    CHECK(grads[1].rect == views::Rect{11, 21, 51, 27});
    CHECK(grads[1].a == views::LightenColor(color, 56));
    CHECK(grads[1].b == views::LightenColor(color, 37));
    CHECK(grads[2].rect == views::Rect{11, 27, 51, 35});
    CHECK(grads[2].a == color);
    CHECK(grads[2].b == views::DarkenColor(color, 30));
    const views::Color outline = views::DarkenColor(color, 33);
    CHECK(lines[4].rect == views::Rect{11, 20, 51, 20});
    CHECK(lines[5].rect == views::Rect{10, 21, 10, 35});
    CHECK(lines[6].rect == views::Rect{11, 35, 51, 35});
    for (int i = 4; i < 7; ++i) CHECK(lines[i].a == outline);

    RecordingCanvas empty;
    views::DrawPercentBar(empty, {0, 0, 50, 10}, color, 0);
    CHECK(empty.Of(Drawn::Gradient).size() == 1);  // background only
    CHECK(empty.Of(Drawn::Line).size() == 4);
}

TEST_CASE("the classic percent cell: length, number and the trend arrow") {
    intl::InstallBuiltInMessages();
    app::Options o;
    const views::Rect bounds{100, 0, 182, 18};  // a sub-item 82 wide
    views::PercentCellStyle style{Rgb(255, 255, 255), 0};

    SUBCASE("75 % used of 1000 MB with 250 MB free") {
        RecordingCanvas c;
        views::DrawClassicPercentCell(c, bounds, Drive(1000 * MB, 250 * MB, 250 * MB), o, style);
        // Cell: left + 1, top + 1, right - 1 - arrow width (10), bottom - 1: 70 wide.
        auto grads = c.Of(Drawn::Gradient);
        REQUIRE(grads.size() == 3);
        CHECK(grads[0].rect == views::Rect{102, 2, 170, 16});
        CHECK(grads[1].rect.Width() == 51);  // truncate(68 / 100 * 75)
        const Drawn* number = c.TextOf("75");
        REQUIRE(number);
        CHECK(number->rect.left == 101 + (70 - 12) / 2);
        CHECK(number->rect.top == 2);
        CHECK(c.Of(Drawn::Arrow).empty());  // no change since the last sample
        o.ShowUsedPercents = false;
        RecordingCanvas f;
        views::DrawClassicPercentCell(f, bounds, Drive(1000 * MB, 250 * MB, 250 * MB), o, style);
        CHECK(f.TextOf("25"));
    }
    SUBCASE("no arrow room without arrows; an empty drive shows an empty bar") {
        o.DrawArrow = false;
        RecordingCanvas c;
        views::DrawClassicPercentCell(c, bounds, Drive(0, 0, 0, 5), o, style);
        CHECK(c.Of(Drawn::Gradient).size() == 1);
        CHECK(c.Of(Drawn::Gradient)[0].rect.right == 179);  // right - 2, then the frame
        CHECK(c.Of(Drawn::Text).empty());
        CHECK(c.Of(Drawn::Arrow).empty());
    }
    SUBCASE("the arrow points the way the shown number moved") {
        struct Case {
            bool usedShown;
            int64_t change;
            bool up;
        };
        for (Case k : {Case{false, 1, true}, Case{false, -1, false}, Case{true, 1, false},
                       Case{true, -1, true}}) {
            CAPTURE(k.usedShown);
            CAPTURE(k.change);
            o.ShowUsedPercents = k.usedShown;
            RecordingCanvas c;
            views::DrawClassicPercentCell(c, bounds, Drive(1000 * MB, 250 * MB, 250 * MB, k.change),
                                          o, style);
            auto arrows = c.Of(Drawn::Arrow);
            REQUIRE(arrows.size() == 1);
            CHECK(arrows[0].up == k.up);
            CHECK(arrows[0].a == (k.up ? o.UpArrowColor : o.DownArrowColor));
            CHECK(arrows[0].style == views::Canvas::ArrowStyle::Boxed);
            CHECK(arrows[0].rect.left == 172);  // right edge of the cell + 1
            CHECK(arrows[0].rect.top == 2);
        }
    }
}
