// lvDisks: the classic view's report list. One row per monitored drive, one
// column per shown value, the percent cell drawn by its owner; no selection,
// double-buffered, and a divider drag reported to the main window.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/monitor.h"
#include "views/columns.h"
#include "views/forms/form_model.h"

namespace views::win32 {

class TDiskList : public forms::Component {
  public:
    TDiskList();
    ~TDiskList() override;

    // The main window gets resizedMessage when a divider drag ends.
    bool Create(HWND parent, HFONT font, HIMAGELIST smallImages, UINT resizedMessage);
    void Destroy();
    HWND Handle() const { return hwnd_; }

    // Recreates every column from the layout.
    void SetColumns(const ColumnLayout& layout);
    const std::vector<TColumnData>& ColumnData() const { return data_; }
    int PercentColumnIndex() const { return percentIndex_; }
    int ListIndexOf(int kind) const;
    int KindAt(int listIndex) const;
    int ColumnWidth(int listIndex) const;
    int ColumnsWidth() const;  // every column's width added up

    // Rows as the monitor holds them; cells are written only when they differ.
    void SetRows(const std::vector<app::ListRow>& rows, const std::vector<int>& icons);
    void UpdateRow(int row, const app::ListRow& data);
    std::string CellText(int row, int listIndex) const;
    int RowCount() const;
    int RowPitch() const;
    int RowAt(POINT client) const;

    // Columns whose width changed since the last look: their TColumnData take
    // the new width; the answer lists (kind, width) pairs.
    std::vector<std::pair<int, int>> TakeNewWidths();

    // Notifications of the list, forwarded by the parent. True when handled.
    bool OnNotify(NMHDR* n, LRESULT& result);

    std::function<void(int listIndex)> onColumnClick;
    std::function<void(POINT screen)> onRightClick;
    std::function<void(POINT client)> onDoubleClick;
    std::function<void(POINT client)> onClick;
    std::function<void()> onMouseMove;
    std::function<bool(UINT key, bool alt)> onKey;
    // Draws the percent cell of a row into the bounds; false lets the list draw it.
    std::function<bool(HDC dc, const RECT& bounds, int row)> drawPercent;

  protected:
    void HintChanged() override;
    // Items are the column captions.
    void ItemsChanged() override;

  private:
    static LRESULT CALLBACK Subclass(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT CustomDraw(NMLVCUSTOMDRAW* cd);
    void SetCellText(int row, int listIndex, const std::string& text);
    void DrawValueCell(HDC dc, const RECT& bounds, int row, int listIndex);

    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
    HWND tip_ = nullptr;
    UINT resizedMessage_ = 0;
    std::vector<TColumnData> data_;
    int percentIndex_ = 0;
};

}  // namespace views::win32
