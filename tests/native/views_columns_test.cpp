#include <doctest.h>

#include "fakes/recording_canvas.h"
#include "intl/messages.h"
#include "views/columns.h"

using fakes::MeasureFixed;  // six pixels a character

namespace {

constexpr int64_t GB = 1LL << 30;

disks::DriveEntry Drive(const char* name, int64_t capacity, int64_t free) {
    disks::DriveEntry e;
    e.Kind = disks::kFixed;
    e.Name = name;
    e.Capacity = capacity;
    e.Free = e.Available = free;
    e.Used = capacity - free;
    return e;
}

struct Columns {
    Columns() { intl::InstallBuiltInMessages(); }
    app::Options o;
    os::LocaleFormats locale;
};

}  // namespace

TEST_CASE_FIXTURE(Columns, "shown columns follow the settings in their fixed order") {
    auto kinds = [&] {
        std::vector<int> k;
        for (const views::ColumnSpec& c : views::ShownColumns(o)) k.push_back(c.kind);
        return k;
    };
    CHECK(kinds() == std::vector<int>{-2, 0, 2, 4});  // the defaults: Name, Capacity, Free, %
    o.ShowLabels = o.ShowOccuped = o.ShowAvail = true;
    CHECK(kinds() == std::vector<int>{-2, -1, 0, 1, 2, 3, 4});
    o.ShowPercents = o.ShowTotal = false;
    CHECK(kinds() == std::vector<int>{-2, -1, 1, 2, 3});

    CHECK(views::ColumnCaption(views::kKindCapacity, o) == "Capacity (Gb)");
    o.ShowIn = disks::kMegabytes;
    CHECK(views::ColumnCaption(views::kKindAvailable, o) == "Available (Mb)");
    CHECK(views::ColumnCaption(views::kKindPercent, o) == "% Used");
    o.ShowUsedPercents = false;
    CHECK(views::ColumnCaption(views::kKindPercent, o) == "% Free");
    CHECK(views::ShownColumns(o).front().align == views::Align::Left);
}

TEST_CASE_FIXTURE(Columns, "name and label widths: widest text, caption minimum, margins") {
    // "Name" is 24 pixels, "Disk label" 60.
    CHECK(views::NameColumnWidth({"C:", "D:"}, MeasureFixed, false) == 24 + 10);
    CHECK(views::NameColumnWidth({"C:\\Some\\Folder"}, MeasureFixed, false) == 84 + 10);
    CHECK(views::NameColumnWidth({"C:\\Some\\Folder"}, MeasureFixed, true) == 84 + 30);
    // Nothing with a width: 50 pixels, still at least the caption.
    CHECK(views::NameColumnWidth({}, MeasureFixed, true) == 50 + 30);
    CHECK(views::LabelColumnWidth({"", ""}, MeasureFixed, false) == 60 + 10);
    CHECK(views::LabelColumnWidth({"A long volume label"}, MeasureFixed, true) == 114 + 20);
    // At other DPIs the margins scale; measured texts come in real pixels.
    CHECK(views::NameColumnWidth({"C:\\Some\\Folder"}, MeasureFixed, true, {144}) == 84 + 15 + 30);
}

TEST_CASE_FIXTURE(Columns, "value width: the largest shown value, captions, margins") {
    disks::DriveCatalogue cat = {Drive("C:", 1000 * GB, 2 * GB), Drive("D:", 8 * GB, 1 * GB)};
    // "1,000.00" is 48 pixels; "Capacity (Gb)" 78 + 5; "% Used" 36 + 5.
    views::ValueWidth v = views::ComputeValueColumnWidth(cat, o, locale, MeasureFixed);
    CHECK(v.columns == 3);
    CHECK(v.width == 78 + 5 + 15);
    o.ShowIn = disks::kBytes;  // "1,073,741,824,000" is 102 pixels
    v = views::ComputeValueColumnWidth(cat, o, locale, MeasureFixed);
    CHECK(v.width == 102 + 15);
    // Hidden columns do not count: only Free (2 GB) is shown.
    o.ShowIn = disks::kGigabytes;
    o.ShowTotal = o.ShowPercents = false;
    v = views::ComputeValueColumnWidth(cat, o, locale, [](std::string_view) { return 0; });
    CHECK(v.columns == 1);
    CHECK(v.width == 50);  // never narrower
    o.ShowFree = false;
    CHECK(views::ComputeValueColumnWidth(cat, o, locale, MeasureFixed).columns == 0);
}

TEST_CASE_FIXTURE(Columns, "column layout: stored widths win, automatic ones are computed once") {
    std::array<int16_t, app::kColumnCount> widths = {-1, -1, -1, 120, -1, -1, -1};
    o.ShowOccuped = true;
    views::ComputedWidths computed{60, 70, 90};
    views::ColumnLayout l = views::LayoutColumns(o, widths, computed, true, 10);
    REQUIRE(l.columns.size() == 5);
    CHECK(l.columns[0].data.Width == 60);
    CHECK(l.columns[2].data.Width == 120);  // Used was sized by the user
    CHECK(l.columns[2].data.Kind == views::kKindUsed);
    CHECK(l.PercentColumnIndex == 4);
    CHECK(l.runningWidth == 60 + 90 + 120 + 90 + 90 + 10);
    CHECK(widths == std::array<int16_t, 7>{60, -1, 90, 120, 90, -1, 90});  // written back
    CHECK(views::ListIndexOfKind(l, views::kKindPercent) == 4);
    CHECK(views::ListIndexOfKind(l, views::kKindLabel) == -1);

    std::array<int16_t, app::kColumnCount> untouched = {-1, -1, -1, -1, -1, -1, -1};
    views::LayoutColumns(o, untouched, computed, false, 10);
    CHECK(untouched[0] == -1);  // nothing written when asked not to
}

TEST_CASE("classic window size") {
    // Width: the columns, the frame, 14 for the handle, at least the menu bar.
    CHECK(views::ClassicWindowWidth(300, 10, false, 200) == 310);
    CHECK(views::ClassicWindowWidth(300, 10, true, 200) == 324);
    CHECK(views::ClassicWindowWidth(100, 10, false, 200) == 200);
    CHECK(views::ClassicWindowWidth(300, 15, true, 200, {144}) == 300 + 15 + 21);
    CHECK(views::MinimumWindowWidth({"&File", "&View"}, MeasureFixed) == 60 + 50);
    // Height: (rows + 2) row pitches, the small caption, the menu bar, - 4, the frame.
    views::ClassicHeightInputs in{3, 17, 15, 19, 8};
    CHECK(views::ClassicWindowHeight(in) == 5 * 17 + 15 + 19 - 4 + 8);
    in.rows = 1;  // the only row still fits
    CHECK(views::ClassicWindowHeight(in) == 3 * 17 + 15 + 19 - 4 + 8);
    in.rows = 0;
    CHECK(views::ClassicWindowHeight(in) == 8 + 63);
}

TEST_CASE("a window docked at the right monitor edge stays docked") {
    const views::Rect monitor{0, 0, 1280, 800};
    views::Rect before{1000, 0, 1280, 100};
    bool docked = views::WasRightDocked(before, monitor);
    CHECK(docked);
    views::Rect wider{1000, 0, 1360, 100};  // a column was added
    CHECK(views::KeepRightDocked(docked, wider, monitor) == 920);
    CHECK_FALSE(views::WasRightDocked({900, 0, 1200, 100}, monitor));
    CHECK(views::KeepRightDocked(false, {900, 0, 1260, 100}, monitor) == 900);
    // Not docked, but now reaching past the edge: brought back.
    CHECK(views::KeepRightDocked(false, {1000, 0, 1300, 100}, monitor) == 980);
}
