// The sticker: a borderless window painted entirely by the program. Its size,
// its cell geometry, the mouse rules and the painter itself live here; the
// Win32 side only supplies a canvas on an off-screen bitmap.
#pragma once
#include <string>
#include <vector>

#include "app/options.h"
#include "disks/catalogue.h"
#include "disks/name_list.h"
#include "os/locale.h"
#include "views/canvas.h"
#include "views/columns.h"

namespace views {

struct StickerMetrics {
    int rowHeight = 0;  // text height of "ANY STRING" in the sticker font
    int nameWidth = 0, labelWidth = 0, valueWidth = 0;
    int listColumns = 0;  // columns of the list, Name included
    int rows = 0;
    bool labels = false;
    bool headers = true;
    bool clickThrough = false;
    Scale scale;
};

int StickerHeight(const StickerMetrics& m);
int StickerWidth(const StickerMetrics& m);

// Left edges of the header captions, one per list column.
std::vector<int> StickerHeaderX(const StickerMetrics& m, const std::vector<ColumnSpec>& columns);

// The x of a cell: the left edge for the label, the right edge for values.
int StickerCellX(const StickerMetrics& m, int kind, const app::Options& o);
int StickerRowTop(const StickerMetrics& m, int rowIndex);

// The percent cell's geometry for a font size.
struct StickerPercentGeometry {
    Rect clear;  // cleared in the sticker colour
    Rect bar;    // the bar painter's rectangle
    int barLength = 0;
    int E = 0;    // the bar area's width after room for the arrow
    Point arrow;  // top-left of the arrow box
    int top = 0;  // row top after the font-size adjustment
};
StickerPercentGeometry StickerPercentCell(const StickerMetrics& m, int cellX, int rowTop,
                                          int windowWidth, int fontSize, int percent,
                                          bool drawArrow, int arrowWidth);

// Row under a point for the double-click drive lookup; -1 when none.
int StickerRowAt(const StickerMetrics& m, int y);
// A click that toggles used/free percentages.
bool StickerPercentClick(const StickerMetrics& m, Point p, int windowWidth, int percentWidth,
                         bool showPercents);

// Everything PaintSticker reads.
struct StickerScene {
    const app::Options* options = nullptr;
    const disks::DriveCatalogue* catalogue = nullptr;
    const std::vector<std::string>* labels = nullptr;  // DriveLabels
    const disks::NameList* enabled = nullptr;          // EnabledDisks
    std::vector<std::string> rowCaptions;              // in list order
    std::vector<int> rowEntries;                       // catalogue index per row
    std::vector<ColumnSpec> columns;
    StickerMetrics metrics;
    int width = 0, height = 0;
    os::LocaleFormats locale;
    // Resolved colours (a system colour is resolved by the window).
    Color stickerColor = 0, fontColor = 0, barTextColor = 0;
};

void PaintSticker(Canvas& c, const StickerScene& scene);

}  // namespace views
