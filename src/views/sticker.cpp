#include "views/sticker.h"

#include <cmath>

#include "app/settings.h"
#include "common/text.h"
#include "disks/format.h"
#include "views/percent_bar.h"

namespace views {

int StickerHeight(const StickerMetrics& m) {
    const Scale& s = m.scale;
    int h = m.headers ? (m.rows + 1) * m.rowHeight + s(7) : m.rows * m.rowHeight + s(5);
    return std::max(h, m.rowHeight);
}

int StickerWidth(const StickerMetrics& m) {
    const Scale& s = m.scale;
    int valueColumns = m.listColumns - 1 - (m.labels ? 1 : 0);
    return m.nameWidth + (m.labels ? m.labelWidth : 0) + valueColumns * m.valueWidth +
           (m.labels ? s(2) : 0) + (m.clickThrough ? s(13) : 0) + s(12);
}

std::vector<int> StickerHeaderX(const StickerMetrics& m, const std::vector<ColumnSpec>& columns) {
    std::vector<int> xs;
    int x = m.scale(5);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (i == 1)
            x += m.nameWidth;
        else if (i == 2)
            x += m.labels ? m.labelWidth : m.valueWidth;
        else if (i > 2)
            x += m.valueWidth;
        xs.push_back(x);
    }
    return xs;
}

int StickerCellX(const StickerMetrics& m, int kind, const app::Options& o) {
    int h = 0;
    for (int k = kKindCapacity; k <= kind; ++k)
        if (ColumnShown(k, o)) ++h;
    int x = m.nameWidth + m.scale(5) + h * m.valueWidth;
    if (m.labels && kind != kKindLabel) x += m.labelWidth;
    return x;
}

int StickerRowTop(const StickerMetrics& m, int rowIndex) {
    int y0 = m.headers ? m.rowHeight + m.scale(4) : m.scale(2);
    return y0 + rowIndex * m.rowHeight;
}

namespace {

// Small fonts sit one pixel high in their row; size 7 needs a taller bar instead.
void FontSizeAdjust(int size, int& top, int& a) {
    a = 0;
    if (size == 5 || size == 6 || (size >= 8 && size <= 12))
        top += 1;
    else if (size == 7)
        a = 1;
}

int ArrowLift(int size) {
    switch (size) {
        case 4:
        case 6:
            return 2;
        case 5:
            return 3;
        case 3:
        case 7:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

StickerPercentGeometry StickerPercentCell(const StickerMetrics& m, int cellX, int rowTop,
                                          int windowWidth, int fontSize, int percent,
                                          bool drawArrow, int arrowWidth) {
    const Scale& s = m.scale;
    StickerPercentGeometry g;
    int a = 0;
    g.top = rowTop;
    FontSizeAdjust(fontSize, g.top, a);
    int L = cellX - m.valueWidth;
    int E = m.valueWidth - 2;
    if (windowWidth < L + E + s(5)) E = windowWidth - L - s(11);
    int bottom = g.top + m.rowHeight + a - 2;
    g.clear = {L + s(5), g.top + 1, L + E + s(7), bottom};
    if (drawArrow) E -= arrowWidth - 3;
    g.E = E;
    g.barLength = BarLength(E, percent);
    g.bar = {L + s(5), g.top + 1, L + E + s(5), bottom};
    g.arrow = {L + E + s(5), g.top + 1 + ArrowLift(fontSize) - 2};
    return g;
}

int StickerRowAt(const StickerMetrics& m, int y) {
    int top = m.headers ? m.rowHeight + m.scale(5) : m.scale(3);
    if (y < top || m.rowHeight <= 0) return -1;
    int i = (y - top) / m.rowHeight;
    return i < m.rows ? i : -1;
}

bool StickerPercentClick(const StickerMetrics& m, Point p, int windowWidth, int percentWidth,
                         bool showPercents) {
    if (!showPercents) return false;
    if (p.x <= windowWidth - percentWidth) return false;
    return !m.headers || p.y < m.rowHeight + m.scale(3);
}

namespace {

class StickerPainter {
  public:
    StickerPainter(Canvas& c, const StickerScene& s) : c_(c), s_(s), o_(*s.options) {}

    void Paint() {
        Background();
        c_.SetFont(app::StickerFontNameFor(o_.StickerFontSize), o_.StickerFontSize);
        int y = s_.metrics.scale(2);
        if (o_.StickerShowCols) {
            Headers(y);
            y += s_.metrics.rowHeight + s_.metrics.scale(2);
        }
        for (int i = 0; i < static_cast<int>(s_.rowCaptions.size()); ++i) Row(i, y);
    }

  private:
    void Background() {
        Rect all{0, 0, s_.width, s_.height};
        c_.FillRect(all, s_.stickerColor);
        c_.Rectangle({1, 1, s_.width - 1, s_.height - 1}, Rgb(128, 128, 128), s_.stickerColor);
    }

    void Headers(int y) {
        const StickerMetrics& m = s_.metrics;
        std::vector<int> xs = StickerHeaderX(m, s_.columns);
        for (int i = 0; i < static_cast<int>(s_.columns.size()); ++i) {
            std::string caption = text::Trim(s_.columns[i].caption);
            int x = xs[i];
            int w = c_.TextExtent(caption).width;
            if (s_.columns[i].align == Align::Right)
                x = x + m.valueWidth - w;
            else if (s_.columns[i].align == Align::Center)
                x = x + (m.valueWidth - w) / 2;
            c_.Text({x, y}, caption, s_.fontColor);
        }
    }

    void Row(int i, int y) {
        const StickerMetrics& m = s_.metrics;
        std::string caption = text::Trim(s_.rowCaptions[i]);
        c_.Text({m.scale(5), y + i * m.rowHeight}, caption, s_.fontColor);
        int entry = s_.rowEntries[i];
        const disks::DriveCatalogue& cat = *s_.catalogue;
        int found = entry >= 0 && entry < static_cast<int>(cat.size()) &&
                            cat[entry].Kind == disks::kNetworkFolder
                        ? entry
                        : disks::IndexOfName(cat, caption);
        if (found < 0) return;
        // Every cell's area first, then what is drawn in it, so that no fill
        // cuts into the overhang of a neighbour's last glyph.
        for (bool fill : {true, false})
            for (int kind = kKindLabel; kind <= kKindPercent; ++kind)
                if (ColumnShown(kind, o_)) Cell(found, kind, fill);
    }

    int RowIndexOf(int entry) const {
        int r = 0;
        for (int i = 0; i < entry; ++i)
            if (s_.enabled->Contains((*s_.catalogue)[i].Name)) ++r;
        return r;
    }

    void Cell(int entry, int kind, bool fill) {
        const StickerMetrics& m = s_.metrics;
        const disks::DriveEntry& e = (*s_.catalogue)[entry];
        int top = StickerRowTop(m, RowIndexOf(entry));
        int x = StickerCellX(m, kind, o_);
        if (kind == kKindLabel) {
            const auto& labels = *s_.labels;
            if (fill)
                c_.FillRect({x, top, x + m.labelWidth, top + m.rowHeight}, s_.stickerColor);
            else if (entry < static_cast<int>(labels.size()))
                c_.Text({x, top}, labels[entry], s_.fontColor);
            return;
        }
        if (kind == kKindPercent) return PercentCell(e, x, top, fill);
        const int64_t values[] = {e.Capacity, e.Used, e.Free, e.Available};
        if (fill) {
            c_.FillRect({x - m.valueWidth, top, x, top + m.rowHeight}, s_.stickerColor);
            return;
        }
        std::string v = disks::FormatSize(values[kind], o_.ShowIn, s_.locale);
        c_.Text({x - c_.TextExtent(v).width, top}, v, s_.fontColor);
    }

    void PercentCell(const disks::DriveEntry& e, int x, int top, bool fill) {
        if (e.Capacity <= 0) return;
        const StickerMetrics& m = s_.metrics;
        int size = o_.StickerFontSize;
        int p = disks::ShownPercent(e, o_.ShowUsedPercents);
        StickerPercentGeometry g =
            StickerPercentCell(m, x, top, s_.width, size, p, o_.DrawArrow, c_.ArrowSize().width);
        if (fill) {
            c_.Rectangle(g.clear, s_.stickerColor, s_.stickerColor);
            return;
        }
        DrawPercentBar(c_, g.bar, BarColorFor(e, o_), g.barLength);
        if (size > 5 && o_.StickerShowPercents) Number(p, g, x - m.valueWidth);
        if (o_.DrawArrow && e.FreeChange != 0) {
            ArrowGlyph a = ArrowFor(e.FreeChange, o_);
            c_.Arrow(g.arrow, a.up, a.color, s_.stickerColor, Canvas::ArrowStyle::Bare);
        }
    }

    // The number shrinks until it fits the row.
    void Number(int p, const StickerPercentGeometry& g, int L) {
        const StickerMetrics& m = s_.metrics;
        int size = o_.StickerFontSize;
        std::string digits = std::to_string(p);
        c_.SetFont(size - 1 > 7 ? "TAHOMA" : "SMALL FONTS", size);
        TextSize t = c_.TextExtent(digits);
        while (t.height > m.rowHeight - 1 && size > 1) {
            --size;
            c_.SetFont(app::StickerFontNameFor(size), size);
            t = c_.TextExtent(digits);
        }
        int tx = L + (g.E - t.width) / 2 + m.scale(5);
        int ty = g.top + static_cast<int>(std::trunc((m.rowHeight - t.height) / 2.0));
        c_.Text({tx, ty}, digits, s_.barTextColor);
        c_.SetFont(app::StickerFontNameFor(o_.StickerFontSize), o_.StickerFontSize);
    }

    Canvas& c_;
    const StickerScene& s_;
    const app::Options& o_;
};

}  // namespace

void PaintSticker(Canvas& c, const StickerScene& scene) {
    StickerPainter(c, scene).Paint();
}

}  // namespace views
