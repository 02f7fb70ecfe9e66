// The percent bar shared by the classic list, the sticker and the tray icons:
// its colour rule, its length and the painter.
#pragma once
#include "app/options.h"
#include "disks/drive_entry.h"
#include "views/canvas.h"

namespace views {

// The base of the shares: the drive's capacity. (The free share is the
// smaller of free and available space over it, see disks::PercentFree.)
int64_t PercentBase(const disks::DriveEntry& e);

// The bar colour of a drive under the UseColors limits.
Color BarColorFor(const disks::DriveEntry& e, const app::Options& o);

// Bar length in pixels for a cell width and a shown percentage.
int BarLength(int cellWidth, int percent);

// Frame, background gradient, the two colour bands of n pixels and their outline.
void DrawPercentBar(Canvas& c, const Rect& r, Color color, int n);

// Which way the trend arrow points: the way the shown number moved.
struct ArrowGlyph {
    bool up = true;
    Color color = 0;
};
ArrowGlyph ArrowFor(int64_t freeChange, const app::Options& o);

// The classic list's percent cell drawn into a sub-item's bounds.
struct PercentCellStyle {
    Color background = 0xFFFFFF;  // the list's background, behind the arrow
    Color textColor = 0;          // BarTextColor, resolved
};
void DrawClassicPercentCell(Canvas& c, const Rect& bounds, const disks::DriveEntry& e,
                            const app::Options& o, const PercentCellStyle& style);

}  // namespace views
