#include <doctest.h>

#include "fakes/recording_canvas.h"
#include "intl/messages.h"
#include "views/sticker.h"

using fakes::Drawn;
using fakes::RecordingCanvas;

namespace {

constexpr int64_t GB = 1LL << 30;

// Name 40, value columns 60, rows 13 high: Name, Capacity, Free, % Used.
views::StickerMetrics Metrics() {
    views::StickerMetrics m;
    m.rowHeight = 13;
    m.nameWidth = 40;
    m.labelWidth = 50;
    m.valueWidth = 60;
    m.listColumns = 4;
    m.rows = 2;
    return m;
}

}  // namespace

TEST_CASE("sticker size") {
    views::StickerMetrics m = Metrics();
    CHECK(views::StickerHeight(m) == 3 * 13 + 7);  // a header row
    CHECK(views::StickerWidth(m) == 40 + 3 * 60 + 12);
    m.headers = false;
    CHECK(views::StickerHeight(m) == 2 * 13 + 5);
    m.rows = 0;
    CHECK(views::StickerHeight(m) == 13);  // never less than a row
    m.clickThrough = true;                 // room for the move handle
    CHECK(views::StickerWidth(m) == 40 + 3 * 60 + 13 + 12);
    m.clickThrough = false;
    m.labels = true;
    m.listColumns = 5;
    CHECK(views::StickerWidth(m) == 40 + 50 + 3 * 60 + 2 + 12);
    m.scale = {144};
    CHECK(views::StickerWidth(m) == 40 + 50 + 3 * 60 + 3 + 18);
}

TEST_CASE("sticker header and cell positions") {
    intl::InstallBuiltInMessages();
    app::Options o;
    views::StickerMetrics m = Metrics();
    CHECK(views::StickerHeaderX(m, views::ShownColumns(o)) == std::vector<int>{5, 45, 105, 165});
    // Values end where their header's value column ends.
    CHECK(views::StickerCellX(m, views::kKindCapacity, o) == 105);
    CHECK(views::StickerCellX(m, views::kKindFree, o) == 165);
    CHECK(views::StickerCellX(m, views::kKindPercent, o) == 225);
    o.ShowLabels = true;
    m.labels = true;
    m.listColumns = 5;
    CHECK(views::StickerHeaderX(m, views::ShownColumns(o)) ==
          std::vector<int>{5, 45, 95, 155, 215});
    CHECK(views::StickerCellX(m, views::kKindLabel, o) == 45);  // the label's left edge
    CHECK(views::StickerCellX(m, views::kKindCapacity, o) == 155);
    CHECK(views::StickerRowTop(m, 1) == 13 + 4 + 13);
    m.headers = false;
    CHECK(views::StickerRowTop(m, 0) == 2);
}

TEST_CASE("sticker percent cell: font-size adjustments, room for the arrow") {
    views::StickerMetrics m = Metrics();
    struct Case {
        int size;
        int top;        // adjusted row top for a row at 20
        int barBottom;  // top + row height + a - 2
        int arrowY;
    };
    const Case cases[] = {
        {3, 20, 31, 20},  // 3, 4, 13, 14 need nothing; the arrow lifts by size
        {4, 20, 31, 21}, {5, 21, 32, 23},  {6, 21, 32, 22},
        {7, 20, 32, 20},  // size 7 makes the bar one taller instead
        {8, 21, 32, 20}, {12, 21, 32, 20}, {13, 20, 31, 19},
    };
    for (const Case& c : cases) {
        CAPTURE(c.size);
        views::StickerPercentGeometry g =
            views::StickerPercentCell(m, 225, 20, 232, c.size, 50, true, 10);
        CHECK(g.top == c.top);
        CHECK(g.bar.bottom == c.barBottom);
        CHECK(g.arrow.y == c.arrowY);
    }
    views::StickerPercentGeometry g = views::StickerPercentCell(m, 225, 20, 232, 9, 50, true, 10);
    // L = 165, E = 58, cleared before the arrow takes its room.
    CHECK(g.clear == views::Rect{170, 22, 230, 32});
    CHECK(g.E == 51);
    CHECK(g.bar == views::Rect{170, 22, 221, 32});
    CHECK(g.barLength == 24);  // truncate(49 / 100 * 50)
    CHECK(g.arrow.x == 221);
    // A window narrower than the cell keeps the bar inside it.
    g = views::StickerPercentCell(m, 225, 20, 200, 9, 50, false, 10);
    CHECK(g.E == 200 - 165 - 11);
}

TEST_CASE("sticker mouse: the row under a double-click, the percent header click") {
    views::StickerMetrics m = Metrics();
    // With headers rows begin at 13 + 5.
    CHECK(views::StickerRowAt(m, 17) == -1);
    CHECK(views::StickerRowAt(m, 18) == 0);
    CHECK(views::StickerRowAt(m, 30) == 0);
    CHECK(views::StickerRowAt(m, 31) == 1);
    CHECK(views::StickerRowAt(m, 44) == -1);  // below the last drive
    m.headers = false;
    CHECK(views::StickerRowAt(m, 3) == 0);
    CHECK(views::StickerRowAt(m, 16) == 1);
    m.headers = true;
    CHECK(views::StickerPercentClick(m, {200, 5}, 232, 60, true));
    CHECK_FALSE(views::StickerPercentClick(m, {172, 5}, 232, 60, true));   // left of it
    CHECK_FALSE(views::StickerPercentClick(m, {200, 16}, 232, 60, true));  // below the header
    CHECK_FALSE(views::StickerPercentClick(m, {200, 5}, 232, 60, false));
    m.headers = false;
    CHECK(views::StickerPercentClick(m, {200, 30}, 232, 60, true));
}

namespace {

struct Scene {
    Scene() {
        intl::InstallBuiltInMessages();
        auto drive = [](const char* name, int64_t cap, int64_t free, int64_t change) {
            disks::DriveEntry e;
            e.Kind = disks::kFixed;
            e.Name = name;
            e.Capacity = cap;
            e.Free = e.Available = free;
            e.Used = cap - free;
            e.FreeChange = change;
            return e;
        };
        catalogue = {drive("C:", 100 * GB, 25 * GB, 0), drive("D:", 50 * GB, 10 * GB, 5),
                     drive("E:", 0, 0, 0)};
        labels = {"System", "Data", ""};
        enabled.Add("C:");
        enabled.Add("D:");
        enabled.Add("E:");
        o.StickerShowPercents = true;
        s.options = &o;
        s.catalogue = &catalogue;
        s.labels = &labels;
        s.enabled = &enabled;
        s.rowCaptions = {"  C:", "  D:", "  E:"};
        s.rowEntries = {0, 1, 2};
        s.columns = views::ShownColumns(o);
        s.metrics = Metrics();
        s.metrics.rows = 3;
        s.metrics.rowHeight = 15;
        s.width = views::StickerWidth(s.metrics);
        s.height = views::StickerHeight(s.metrics);
        s.stickerColor = o.StickerColor;
        s.barTextColor = 0x112233;
    }
    app::Options o;
    disks::DriveCatalogue catalogue;
    std::vector<std::string> labels;
    disks::NameList enabled;
    views::StickerScene s;
    RecordingCanvas c;
};

}  // namespace

TEST_CASE_FIXTURE(Scene, "painting the sticker: background, headers, rows, bars and numbers") {
    views::PaintSticker(c, s);
    REQUIRE(c.drawn.size() > 2);
    CHECK(c.drawn[0].kind == Drawn::Fill);
    CHECK(c.drawn[0].rect == views::Rect{0, 0, s.width, s.height});
    CHECK(c.drawn[1].kind == Drawn::Rectangle);
    CHECK(c.drawn[1].rect == views::Rect{1, 1, s.width - 1, s.height - 1});
    CHECK(c.drawn[1].a == views::Rgb(128, 128, 128));
    CHECK(c.drawn[1].b == o.StickerColor);
    // Headers on the first line, captions trimmed; the centred one in its column.
    const Drawn* name = c.TextOf("Name");
    REQUIRE(name);
    CHECK(name->rect.top == 2);
    CHECK(name->face == "TAHOMA");
    const Drawn* percent = c.TextOf("% Used");
    REQUIRE(percent);
    CHECK(percent->rect.left == 165 + (60 - 36) / 2);
    const Drawn* capacity = c.TextOf("Capacity (Gb)");
    REQUIRE(capacity);
    CHECK(capacity->rect.left == 105 - 78);  // right-aligned, ending at x + value width
    // Rows start below the header, values end at their cell's right edge.
    const Drawn* d = c.TextOf("D:");
    REQUIRE(d);
    CHECK(d->rect == views::Rect{5, 2 + 15 + 2 + 15, 5, 2 + 15 + 2 + 15});
    const Drawn* free = c.TextOf("10.00");
    REQUIRE(free);
    CHECK(free->rect.left == 165 - 30);
    // Three bars would be four; the empty drive has none, only the two others.
    CHECK(c.Of(Drawn::Gradient).size() == 2 * 3);
    // Numbers on the bars: 75 and 80 used, at the row's vertical middle.
    const Drawn* n = c.TextOf("80");
    REQUIRE(n);
    CHECK(n->a == 0x112233);
    CHECK(c.TextOf("75"));
    int numbers = 0;  // the empty drive has none
    for (const Drawn& t : c.Of(Drawn::Text)) numbers += t.a == 0x112233;
    CHECK(numbers == 2);
    // Only D: changed: its arrow, bare (the sticker shows no box).
    auto arrows = c.Of(Drawn::Arrow);
    REQUIRE(arrows.size() == 1);
    CHECK(arrows[0].style == views::Canvas::ArrowStyle::Bare);
    CHECK_FALSE(arrows[0].up);  // free space grew, the used share shrank
}

TEST_CASE_FIXTURE(Scene, "sticker numbers: shrinking to fit the row, none at size 5 or less") {
    SUBCASE("size 7 uses the bitmap font, size 8 Tahoma") {
        o.StickerFontSize = 7;
        views::PaintSticker(c, s);
        CHECK(c.TextOf("Name")->face == "SMALL FONTS");
        RecordingCanvas eight;
        o.StickerFontSize = 8;
        views::PaintSticker(eight, s);
        CHECK(eight.TextOf("Name")->face == "TAHOMA");
    }
    SUBCASE("a number taller than the row shrinks") {
        o.StickerFontSize = 12;  // 18 high in a row of 15: down to size 9 (13 high)
        views::PaintSticker(c, s);
        const Drawn* n = c.TextOf("80");
        REQUIRE(n);
        CHECK(n->points == 9);
        CHECK(n->face == "TAHOMA");
        CHECK(c.TextOf("Name")->points == 12);  // the sticker font is back for the rest
    }
    SUBCASE("size 5 draws no numbers") {
        o.StickerFontSize = 5;
        views::PaintSticker(c, s);
        CHECK_FALSE(c.TextOf("80"));
        CHECK(c.Of(Drawn::Gradient).size() == 6);
    }
    SUBCASE("the number is off unless asked for") {
        o.StickerShowPercents = false;
        views::PaintSticker(c, s);
        CHECK_FALSE(c.TextOf("80"));
    }
}
