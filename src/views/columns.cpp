#include "views/columns.h"

#include <algorithm>

#include "intl/messages.h"

namespace views {

bool ColumnShown(int kind, const app::Options& o) {
    switch (kind) {
        case kKindName:
            return true;
        case kKindLabel:
            return o.ShowLabels;
        case kKindCapacity:
            return o.ShowTotal;
        case kKindUsed:
            return o.ShowOccuped;
        case kKindFree:
            return o.ShowFree;
        case kKindAvailable:
            return o.ShowAvail;
        case kKindPercent:
            return o.ShowPercents;
    }
    return false;
}

std::string ColumnCaption(int kind, const app::Options& o) {
    switch (kind) {
        case kKindName:
            return intl::Msg(41);
        case kKindLabel:
            return intl::Msg(153);
        case kKindPercent:
            return o.ShowUsedPercents ? intl::Msg(40) : "% " + intl::Msg(38);
        default:
            return intl::Msg(36 + kind) + disks::UnitSuffix(o.ShowIn, true);
    }
}

std::vector<ColumnSpec> ShownColumns(const app::Options& o) {
    std::vector<ColumnSpec> out;
    for (int kind = kKindName; kind <= kKindPercent; ++kind) {
        if (!ColumnShown(kind, o)) continue;
        Align a = kind < kKindCapacity ? Align::Left
                                       : (kind == kKindPercent ? Align::Center : Align::Right);
        out.push_back({kind, ColumnCaption(kind, o), a});
    }
    return out;
}

int WidestText(const std::vector<std::string>& texts, const disks::TextWidthFn& measure) {
    int w = 0;
    for (const std::string& t : texts) w = std::max(w, measure(t));
    return w;
}

namespace {

int TextColumnWidth(const std::vector<std::string>& texts, int captionMessage,
                    const disks::TextWidthFn& measure, int classicExtra, bool classic, Scale s) {
    int w = WidestText(texts, measure);
    if (w == 0) w = s(50);
    w = std::max(w, measure(intl::Msg(captionMessage)));
    return w + s(10) + (classic ? s(classicExtra) : 0);
}

}  // namespace

int NameColumnWidth(const std::vector<std::string>& names, const disks::TextWidthFn& measure,
                    bool classic, Scale s) {
    return TextColumnWidth(names, 41, measure, 20, classic, s);
}

int LabelColumnWidth(const std::vector<std::string>& labels, const disks::TextWidthFn& measure,
                     bool classic, Scale s) {
    return TextColumnWidth(labels, 153, measure, 10, classic, s);
}

ValueWidth ComputeValueColumnWidth(const disks::DriveCatalogue& catalogue, const app::Options& o,
                                   const os::LocaleFormats& locale,
                                   const disks::TextWidthFn& measure, Scale s) {
    int64_t largest = 0;
    for (const disks::DriveEntry& e : catalogue) {
        const int64_t values[] = {e.Capacity, e.Used, e.Free, e.Available};
        for (int kind = kKindCapacity; kind <= kKindAvailable; ++kind)
            if (ColumnShown(kind, o)) largest = std::max(largest, values[kind]);
    }
    ValueWidth v;
    v.width = measure(disks::FormatSize(largest, o.ShowIn, locale));
    for (int kind = kKindCapacity; kind <= kKindPercent; ++kind) {
        if (!ColumnShown(kind, o)) continue;
        ++v.columns;
        v.width = std::max(v.width, measure(ColumnCaption(kind, o)) + s(5));
    }
    v.width = std::max(v.width + s(15), s(50));
    return v;
}

int MinimumWindowWidth(const std::vector<std::string>& headings, const disks::TextWidthFn& measure,
                       Scale s) {
    std::string joined;
    for (const std::string& h : headings) joined += h;
    return measure(joined) + s(50);
}

ColumnLayout LayoutColumns(const app::Options& o, std::array<int16_t, app::kColumnCount>& widths,
                           const ComputedWidths& computed, bool writeBack, int extraFrameWidth) {
    ColumnLayout layout;
    for (const ColumnSpec& shown : ShownColumns(o)) {
        int16_t& stored = widths[shown.kind + 2];
        int w = stored;
        if (w < 0) {
            w = shown.kind == kKindName    ? computed.name
                : shown.kind == kKindLabel ? computed.label
                                          : computed.value;
            if (writeBack) stored = static_cast<int16_t>(w);
        }
        layout.columns.push_back({shown, {w, shown.kind}});
        layout.runningWidth += w;
        if (shown.kind != kKindName) ++layout.PercentColumnIndex;
    }
    layout.runningWidth += extraFrameWidth;
    return layout;
}

int ListIndexOfKind(const ColumnLayout& layout, int kind) {
    for (int i = 0; i < static_cast<int>(layout.columns.size()); ++i)
        if (layout.columns[i].data.Kind == kind) return i;
    return -1;
}

int ClassicWindowWidth(int columnsWidth, int extraFrameWidth, bool clickThrough, int minimumWidth,
                       Scale s) {
    int w = columnsWidth + extraFrameWidth + (clickThrough ? s(14) : 0);
    return std::max(w, minimumWidth);
}

int ClassicWindowHeight(const ClassicHeightInputs& in, Scale s) {
    // One row gets the same room as two would give it; the bare rule would
    // leave the only drive below the window's edge.
    if (in.rows < 1 || in.rowPitch <= 0) return in.extraFrameHeight + s(63);
    return (in.rows + 2) * in.rowPitch + in.smallCaption + in.menuBar - s(4) + in.extraFrameHeight;
}

bool WasRightDocked(const Rect& window, const Rect& monitor) {
    return window.right == monitor.right;
}

int KeepRightDocked(bool wasDocked, const Rect& window, const Rect& monitor) {
    if (wasDocked || window.right > monitor.right) return monitor.right - window.Width();
    return window.left;
}

}  // namespace views
