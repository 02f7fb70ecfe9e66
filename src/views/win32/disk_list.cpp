#include "views/win32/disk_list.h"

#include <windowsx.h>

#include "os/win32/wide.h"

namespace views::win32 {

using os::win32::Utf8;
using os::win32::Wide;

TDiskList::TDiskList() : forms::Component("lvDisks", forms::Kind::ListView) {}

TDiskList::~TDiskList() {
    Destroy();
}

bool TDiskList::Create(HWND parent, HFONT font, HIMAGELIST smallImages, UINT resizedMessage) {
    Destroy();
    parent_ = parent;
    resizedMessage_ = resizedMessage;
    // No border, read-only, grid lines; the header stays clickable for the
    // Capacity/Used swap and the percent caption.
    hwnd_ = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SINGLESEL,
        0, 0, 100, 100, parent, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetExtendedListViewStyle(
        hwnd_, LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (smallImages) ListView_SetImageList(hwnd_, smallImages, LVSIL_SMALL);
    SetWindowSubclass(hwnd_, Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    HintChanged();
    return true;
}

void TDiskList::Destroy() {
    if (tip_) DestroyWindow(tip_);
    tip_ = nullptr;
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, Subclass, 1);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    data_.clear();
}

void TDiskList::HintChanged() {
    if (!tip_ || !hwnd_) return;
    std::wstring text = Wide(Hint());
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = parent_;
    ti.lpszText = text.data();
    // The window shows the list's hint too: the sticker hides the list.
    for (HWND tool : {hwnd_, parent_}) {
        ti.uId = reinterpret_cast<UINT_PTR>(tool);
        SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TDiskList::ItemsChanged() {
    if (!hwnd_) return;
    for (int i = 0; i < ItemCount() && i < static_cast<int>(data_.size()); ++i) {
        std::wstring caption = Wide(Items()[i]);
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT;
        col.pszText = caption.data();
        ListView_SetColumn(hwnd_, i, &col);
    }
}

void TDiskList::SetColumns(const ColumnLayout& layout) {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    while (ListView_DeleteColumn(hwnd_, 0)) {
    }
    data_.clear();
    std::vector<std::string> captions;
    int i = 0;
    for (const ListColumn& c : layout.columns) {
        std::wstring caption = Wide(c.shown.caption);
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = c.shown.align == Align::Left    ? LVCFMT_LEFT
                  : c.shown.align == Align::Right ? LVCFMT_RIGHT
                                                 : LVCFMT_CENTER;
        col.cx = c.data.Width;
        col.pszText = caption.data();
        ListView_InsertColumn(hwnd_, i++, &col);
        data_.push_back(c.data);
        captions.push_back(c.shown.caption);
    }
    percentIndex_ = layout.PercentColumnIndex;
    SetItems(std::move(captions));
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
}

int TDiskList::ListIndexOf(int kind) const {
    for (int i = 0; i < static_cast<int>(data_.size()); ++i)
        if (data_[i].Kind == kind) return i;
    return -1;
}

int TDiskList::KindAt(int listIndex) const {
    return listIndex >= 0 && listIndex < static_cast<int>(data_.size()) ? data_[listIndex].Kind
                                                                        : kKindName - 1;
}

int TDiskList::ColumnWidth(int listIndex) const {
    return ListView_GetColumnWidth(hwnd_, listIndex);
}

int TDiskList::ColumnsWidth() const {
    int sum = 0;
    for (int i = 0; i < static_cast<int>(data_.size()); ++i) sum += ColumnWidth(i);
    return sum;
}

void TDiskList::SetCellText(int row, int listIndex, const std::string& text) {
    if (listIndex <= 0) return;
    if (CellText(row, listIndex) == text) return;
    std::wstring w = Wide(text);
    ListView_SetItemText(hwnd_, row, listIndex, w.data());
}

void TDiskList::SetRows(const std::vector<app::ListRow>& rows, const std::vector<int>& icons) {
    ListView_DeleteAllItems(hwnd_);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        std::wstring caption = Wide(rows[r].cells[app::kColName]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = r;
        item.pszText = caption.data();
        item.iImage = r < static_cast<int>(icons.size()) ? icons[r] : -1;
        item.lParam = rows[r].entry;
        ListView_InsertItem(hwnd_, &item);
        UpdateRow(r, rows[r]);
    }
}

void TDiskList::UpdateRow(int row, const app::ListRow& data) {
    if (!hwnd_ || row >= RowCount()) return;
    for (int i = 1; i < static_cast<int>(data_.size()); ++i)
        SetCellText(row, i, data.cells[data_[i].Kind + 2]);
}

std::string TDiskList::CellText(int row, int listIndex) const {
    wchar_t buf[512] = {};
    ListView_GetItemText(hwnd_, row, listIndex, buf, 512);
    return Utf8(buf);
}

int TDiskList::RowCount() const {
    return hwnd_ ? ListView_GetItemCount(hwnd_) : 0;
}

int TDiskList::RowPitch() const {
    RECT r0 = {}, r1 = {};
    int n = RowCount();
    if (n >= 2 && ListView_GetItemRect(hwnd_, 0, &r0, LVIR_BOUNDS) &&
        ListView_GetItemRect(hwnd_, 1, &r1, LVIR_BOUNDS))
        return r1.bottom - r0.bottom;
    if (n == 1 && ListView_GetItemRect(hwnd_, 0, &r0, LVIR_BOUNDS)) return r0.bottom - r0.top;
    return 0;
}

int TDiskList::RowAt(POINT client) const {
    LVHITTESTINFO hit = {};
    hit.pt = client;
    int row = ListView_SubItemHitTest(hwnd_, &hit);
    return row;
}

std::vector<std::pair<int, int>> TDiskList::TakeNewWidths() {
    std::vector<std::pair<int, int>> changed;
    for (int i = 0; i < static_cast<int>(data_.size()); ++i) {
        int w = ColumnWidth(i);
        if (w == data_[i].Width) continue;
        data_[i].Width = w;
        changed.push_back({data_[i].Kind, w});
    }
    return changed;
}

LRESULT TDiskList::CustomDraw(NMLVCUSTOMDRAW* cd) {
    switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            int row = static_cast<int>(cd->nmcd.dwItemSpec);
            int column = cd->iSubItem;
            int kind = KindAt(column);
            if (column <= 0 || kind < kKindCapacity) return CDRF_DODEFAULT;
            // The sub-item's rectangle in the device context's coordinates;
            // older lists give the whole row there.
            RECT bounds = cd->nmcd.rc;
            if (bounds.right - bounds.left != ColumnWidth(column))
                ListView_GetSubItemRect(hwnd_, row, column, LVIR_BOUNDS, &bounds);
            bool drawn = true;
            if (kind == kKindPercent)
                drawn = column == percentIndex_ && drawPercent &&
                        drawPercent(cd->nmcd.hdc, bounds, row);
            else
                DrawValueCell(cd->nmcd.hdc, bounds, row, column);
            return drawn ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
        }
    }
    return CDRF_DODEFAULT;
}

// Sizes are drawn here rather than by the list: the list clips right-aligned
// text at the end of its advance, which cuts off the last glyph's overhang in
// some fonts. The margin keeps the text clear of the next column.
void TDiskList::DrawValueCell(HDC dc, const RECT& bounds, int row, int listIndex) {
    COLORREF bg = ListView_GetBkColor(hwnd_);
    HBRUSH brush = CreateSolidBrush(bg == CLR_NONE ? GetSysColor(COLOR_WINDOW) : bg);
    FillRect(dc, &bounds, brush);
    DeleteObject(brush);
    std::wstring text = Wide(CellText(row, listIndex));
    RECT r = bounds;
    int margin = MulDiv(6, GetDeviceCaps(dc, LOGPIXELSX), 96);
    r.left += margin;
    r.right -= margin;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

bool TDiskList::OnNotify(NMHDR* n, LRESULT& result) {
    if (!hwnd_ || n->hwndFrom != hwnd_) return false;
    switch (n->code) {
        case LVN_ITEMCHANGING: {
            // Rows never take a selection or the focus mark.
            auto* nm = reinterpret_cast<NMLISTVIEW*>(n);
            result = (nm->uChanged & LVIF_STATE) ? TRUE : FALSE;
            return true;
        }
        case NM_CUSTOMDRAW:
            result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(n));
            return true;
        case LVN_COLUMNCLICK:
            if (onColumnClick) onColumnClick(reinterpret_cast<NMLISTVIEW*>(n)->iSubItem);
            result = 0;
            return true;
    }
    return false;
}

LRESULT CALLBACK TDiskList::Subclass(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TDiskList*>(ref);
    switch (m) {
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<NMHDR*>(l);
            if (n->code == HDN_ENDTRACKA || n->code == HDN_ENDTRACKW)
                PostMessageW(self->parent_, self->resizedMessage_, 0, 0);
            break;
        }
        case WM_MOUSEMOVE:
            if (self->onMouseMove) self->onMouseMove();
            break;
        case WM_LBUTTONDOWN:
            // Clicks never select; the list only passes them on.
            if (self->onClick) self->onClick({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            SetFocus(h);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (self->onDoubleClick) self->onDoubleClick({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            return 0;
        case WM_RBUTTONDOWN:
            return 0;
        case WM_RBUTTONUP: {
            POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ClientToScreen(h, &p);
            if (self->onRightClick) self->onRightClick(p);
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (self->onKey && self->onKey(static_cast<UINT>(w), m == WM_SYSKEYDOWN)) return 0;
            break;
    }
    return DefSubclassProc(h, m, w, l);
}

}  // namespace views::win32
