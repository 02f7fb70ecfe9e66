#include "views/percent_bar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "disks/format.h"

namespace views {

int64_t PercentBase(const disks::DriveEntry& e) {
    return e.Capacity;
}

Color BarColorFor(const disks::DriveEntry& e, const app::Options& o) {
    if (!o.UseColors) return o.BarColor;
    const double mb = 1048576.0;
    double m = static_cast<double>(std::min(e.Available, e.Free)) / mb;
    double base = static_cast<double>(PercentBase(e));
    auto toMb = [&](int32_t limit, uint8_t units) {
        return units ? static_cast<double>(limit) : limit * base / 104857600.0;
    };
    double l1 = toMb(o.BarLimit1, o.BarUnits1);
    double l2 = toMb(o.BarLimit2, o.BarUnits2);
    if (std::fabs(l1 - l2) > 1.0) {
        m = std::nearbyint(m);
        l1 = std::nearbyint(l1);
        l2 = std::nearbyint(l2);
    }
    // The colour of the smaller limit wins below both.
    if (l1 > l2) {
        if (m < l2) return o.BarColor2;
        if (m < l1) return o.BarColor1;
    } else {
        if (m < l1) return o.BarColor1;
        if (m < l2) return o.BarColor2;
    }
    return o.BarColor;
}

int BarLength(int cellWidth, int percent) {
    return static_cast<int>(std::trunc((cellWidth - 2) / 100.0 * percent));
}

void DrawPercentBar(Canvas& c, const Rect& r, Color color, int n) {
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const Color light = Rgb(212, 215, 217), dark = Rgb(171, 175, 176);
    c.Line({L + 1, T}, {R - 1, T}, light);
    c.Line({L, T + 1}, {L, B - 1}, light);
    c.Line({L + 1, B - 1}, {R - 1, B - 1}, dark);
    c.Line({R - 1, T + 1}, {R - 1, B - 1}, dark);
    Rect in{L + 1, T + 1, R - 1, B - 1};
    c.GradientV(in, Rgb(228, 230, 231), Rgb(246, 247, 248));
    if (n <= 0) return;
    int h = in.Height();
    int lower = static_cast<int>(std::nearbyint(h * 0.5625));
    int upper = h - lower;
    int end = in.left + n;
    c.GradientV({in.left, in.top, end, in.top + upper}, LightenColor(color, 56),
                LightenColor(color, 37));
    c.GradientV({in.left, in.top + upper, end, in.bottom}, color & 0xFFFFFF,
                DarkenColor(color, 30));
    Color outline = DarkenColor(color, 33);
    c.Line({in.left, in.top - 1}, {end, in.top - 1}, outline);
    c.Line({in.left - 1, in.top}, {in.left - 1, in.bottom}, outline);
    c.Line({in.left, in.bottom}, {end, in.bottom}, outline);
}

ArrowGlyph ArrowFor(int64_t change, const app::Options& o) {
    bool freeShown = !o.ShowUsedPercents;
    bool up = (change > 0 && freeShown) || (change < 0 && !freeShown);
    return {up, up ? o.UpArrowColor : o.DownArrowColor};
}

void DrawClassicPercentCell(Canvas& c, const Rect& bounds, const disks::DriveEntry& e,
                            const app::Options& o, const PercentCellStyle& style) {
    TextSize arrow = c.ArrowSize();
    Rect cell{bounds.left + 1, bounds.top + 1, bounds.right - 1 - (o.DrawArrow ? arrow.width : 1),
              bounds.bottom - 1};
    bool hasSpace = e.Capacity > 0;
    int p = hasSpace ? disks::ShownPercent(e, o.ShowUsedPercents) : 0;
    DrawPercentBar(c, cell, BarColorFor(e, o), BarLength(cell.Width(), p));
    if (hasSpace) {
        std::string digits = std::to_string(p);
        TextSize t = c.TextExtent(digits);
        int x = cell.left + (cell.Width() - t.width) / 2;
        c.Text({x, cell.top + 1}, digits, style.textColor);
        if (o.DrawArrow && e.FreeChange != 0) {
            ArrowGlyph g = ArrowFor(e.FreeChange, o);
            c.Arrow({cell.right + 1, cell.top + 1}, g.up, g.color, style.background,
                    Canvas::ArrowStyle::Boxed);
        }
    }
}

}  // namespace views
