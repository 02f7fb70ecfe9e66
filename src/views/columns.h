// The column model of the disk list, shared with the sticker: which columns
// are shown, their captions, their automatic widths and the classic window's
// size. Widths are measured through a text-width function, so the rules run
// without a window.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "disks/catalogue.h"
#include "disks/format.h"
#include "os/locale.h"
#include "views/geometry.h"

namespace views {

// Column kinds; ColumnWidths is indexed by kind + 2.
enum ColumnKind : int {
    kKindName = -2,
    kKindLabel = -1,
    kKindCapacity = 0,
    kKindUsed = 1,
    kKindFree = 2,
    kKindAvailable = 3,
    kKindPercent = 4,
};

// What every list column carries: its last known width and its kind.
struct TColumnData {
    int32_t Width = 0;
    int32_t Kind = kKindName;
};

enum class Align { Left, Right, Center };

struct ColumnSpec {
    int kind;
    std::string caption;
    Align align;
};

bool ColumnShown(int kind, const app::Options& o);
std::string ColumnCaption(int kind, const app::Options& o);
// The shown columns in their fixed order; the percent column, when shown, last.
std::vector<ColumnSpec> ShownColumns(const app::Options& o);

// Widest text of a list (0 when none has a width).
int WidestText(const std::vector<std::string>& texts, const disks::TextWidthFn& measure);

// Classic view adds room for the row icon (name) and the list's cell margins.
int NameColumnWidth(const std::vector<std::string>& names, const disks::TextWidthFn& measure,
                    bool classic, Scale s = {});
int LabelColumnWidth(const std::vector<std::string>& labels, const disks::TextWidthFn& measure,
                     bool classic, Scale s = {});

struct ValueWidth {
    int width = 0;
    int columns = 0;  // shown value and percent columns
};
ValueWidth ComputeValueColumnWidth(const disks::DriveCatalogue& catalogue, const app::Options& o,
                                   const os::LocaleFormats& locale,
                                   const disks::TextWidthFn& measure, Scale s = {});

// The menu bar's headings side by side, plus room.
int MinimumWindowWidth(const std::vector<std::string>& headings, const disks::TextWidthFn& measure,
                       Scale s = {});

struct ComputedWidths {
    int name = 0, label = 0, value = 0;
};

struct ListColumn {
    ColumnSpec shown;
    TColumnData data;
};

struct ColumnLayout {
    std::vector<ListColumn> columns;
    int PercentColumnIndex = 0;  // columns added after Name
    int runningWidth = 0;        // column widths plus the frame
};

// The columns with their widths: a stored width when there is one, else the
// computed one, which is written back when writeBack is set.
ColumnLayout LayoutColumns(const app::Options& o, std::array<int16_t, app::kColumnCount>& widths,
                           const ComputedWidths& computed, bool writeBack, int extraFrameWidth);

// Index of the list column showing a kind, or -1.
int ListIndexOfKind(const ColumnLayout& layout, int kind);

// Classic window width: the shown columns, the frame, room for the move handle.
int ClassicWindowWidth(int columnsWidth, int extraFrameWidth, bool clickThrough, int minimumWidth,
                       Scale s = {});

struct ClassicHeightInputs {
    int rows = 0;
    int rowPitch = 0;  // bottom of row 1 minus bottom of row 0 (or row 0's height)
    int smallCaption = 0;
    int menuBar = 0;
    int extraFrameHeight = 0;
};
int ClassicWindowHeight(const ClassicHeightInputs& in, Scale s = {});

// Right-edge docking against the monitor that holds the window.
bool WasRightDocked(const Rect& window, const Rect& monitor);
// New left edge after a resize.
int KeepRightDocked(bool wasDocked, const Rect& window, const Rect& monitor);

}  // namespace views
