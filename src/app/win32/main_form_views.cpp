// The main window's views: the columns, the classic list and the sticker,
// their sizes, the mouse on the sticker body and snapping to the work area.
#include "app/win32/main_form.h"

#include <windowsx.h>
#include <shellapi.h>

#include "app/main_messages.h"
#include "app/settings.h"
#include "app/win32/program.h"
#include "common/text.h"
#include "disks/sampling.h"
#include "os/win32/wide.h"
#include "ui/dpi.h"
#include "views/percent_bar.h"
#include "views/placement.h"

namespace app::win32 {

using os::win32::Wide;
using views::Command;
using views::Scale;

namespace {

int SmallIconOf(const disks::DriveEntry& e) {
    std::wstring root = Wide(disks::WithTrailingBackslash(e.Name));
    SHFILEINFOW info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    // Asking the shell about a network path can wait for the server; the
    // attributes alone give the folder icon at once.
    if (disks::QueriedByWorker(e.Kind)) flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoW(root.c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags))
        return -1;
    return info.iIcon;
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

views::Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

int TextWidth(HDC dc, HFONT font, std::string_view text) {
    HGDIOBJ old = SelectObject(dc, font);
    std::wstring w = Wide(std::string(text));
    SIZE s = {};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &s);
    SelectObject(dc, old);
    return s.cx;
}

}  // namespace

void TMainForm::CreateList() {
    if (listFont_) DeleteObject(listFont_);
    listFont_ = ui::CreateMessageFont(dpi_);
    if (!ilMain_) {
        SHFILEINFOW info = {};
        // The system's small image list: shared, never freed by us.
        ilMain_ = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
    lvDisks_->Create(hwnd_, listFont_, ilMain_, kWmColumnResized);
    lvDisks_->onColumnClick = [this](int i) { lvDisksColumnClick(i); };
    lvDisks_->onRightClick = [this](POINT p) { PopupAt(p); };
    lvDisks_->onDoubleClick = [this](POINT p) { DriveAtCursor(p); };
    lvDisks_->onMouseMove = [this] { HoverFadeStart(); };
    lvDisks_->onKey = [this](UINT key, bool alt) { return HandleShortcut(key, alt); };
    lvDisks_->drawPercent = [this](HDC dc, const RECT& r, int row) {
        return DrawPercentCell(dc, r, row);
    };
    RECT rc;
    GetClientRect(hwnd_, &rc);
    MoveWindow(lvDisks_->Handle(), 0, 0, rc.right, rc.bottom, FALSE);
    ResetMeasures();
}

void TMainForm::ResetMeasures() {
    const Options& o = monitor_.options;
    HDC dc = GetDC(hwnd_);
    HFONT f = fonts_.Get(StickerFontNameFor(o.StickerFontSize), o.StickerFontSize, dpi_);
    HGDIOBJ old = SelectObject(dc, f);
    SIZE s = {};
    GetTextExtentPoint32W(dc, L"ANY STRING", 10, &s);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    sticker_.rowHeight = s.cy;
    minimumWidth_ = -1;
}

int TMainForm::TextWidthInView(std::string_view text) {
    const Options& o = monitor_.options;
    HWND on = Sticker() ? hwnd_ : lvDisks_->Handle();
    HDC dc = GetDC(on);
    HFONT font = Sticker() ? fonts_.Get(o.StickerFontName, o.StickerFontSize, dpi_) : listFont_;
    int w = TextWidth(dc, font, text);
    ReleaseDC(on, dc);
    return w;
}

int TMainForm::MinimumWindowWidth() {
    if (minimumWidth_ >= 0) return minimumWidth_;
    std::vector<std::string> headings;
    for (views::MenuItem* m : menus_.headings) headings.push_back(m->Caption());
    HDC dc = GetDC(hwnd_);
    minimumWidth_ = views::MinimumWindowWidth(
        headings, [&](std::string_view t) { return TextWidth(dc, listFont_, t); }, {dpi_});
    ReleaseDC(hwnd_, dc);
    return minimumWidth_;
}

std::vector<std::string> TMainForm::MonitoredNames() {
    std::vector<std::string> names;
    for (const ListRow& r : monitor_.Rows()) names.push_back(text::Trim(r.cells[kColName]));
    return names;
}

std::vector<std::string> TMainForm::MonitoredLabels() {
    std::vector<std::string> labels;
    for (const ListRow& r : monitor_.Rows())
        if (r.entry < static_cast<int>(monitor_.DriveLabels.size()))
            labels.push_back(monitor_.DriveLabels[r.entry]);
    return labels;
}

views::Rect TMainForm::WindowRect() const {
    RECT r = {};
    GetWindowRect(hwnd_, &r);
    return ToRect(r);
}

views::Rect TMainForm::MonitorRect() const {
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi);
    return ToRect(mi.rcMonitor);
}

void TMainForm::RebuildColumns() {
    Options& o = monitor_.options;
    Scale s{dpi_};
    bool classic = !Sticker();
    auto measure = [this](std::string_view t) { return TextWidthInView(t); };
    views::ValueWidth value =
        views::ComputeValueColumnWidth(monitor_.DriveCatalogue, o, monitor_.Locale(), measure, s);
    int label = o.ShowLabels ? views::LabelColumnWidth(MonitoredLabels(), measure, classic, s) : 0;
    int name = views::NameColumnWidth(MonitoredNames(), measure, classic, s);
    auto before = o.Column;
    // Widths measured in the sticker font would not fit the list, so only the
    // classic view keeps what it computed.
    views::ColumnLayout layout = views::LayoutColumns(o, o.Column, {name, label, value.width},
                                                      classic, s(ExtraFrame().width));
    for (int i = 0; i < kColumnCount; ++i)
        if (classic && before[i] < 0) autoWidth_[i] = true;
    lvDisks_->SetColumns(layout);
    if (classic) {
        int width = views::ClassicWindowWidth(layout.runningWidth - s(ExtraFrame().width),
                                              s(ExtraFrame().width), o.ClickThrough,
                                              MinimumWindowWidth(), s);
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof wp;
        GetWindowPlacement(hwnd_, &wp);
        if (IsZoomed(hwnd_)) {
            wp.rcNormalPosition.right = wp.rcNormalPosition.left + width;
            SetWindowPlacement(hwnd_, &wp);
        } else {
            views::Rect r = WindowRect();
            SetWindowPos(hwnd_, nullptr, 0, 0, width, r.Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else {
        sticker_.nameWidth = name;
        sticker_.labelWidth = label;
        sticker_.valueWidth = value.width;
    }
    UpdateRows();
    InvalidateRect(lvDisks_->Handle(), nullptr, FALSE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TMainForm::UpdateRows() {
    const auto& rows = monitor_.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) lvDisks_->UpdateRow(r, rows[r]);
}

void TMainForm::ComputeStickerLayout() {
    const Options& o = monitor_.options;
    sticker_.listColumns = static_cast<int>(lvDisks_->ColumnData().size());
    sticker_.rows = static_cast<int>(monitor_.Rows().size());
    sticker_.labels = o.ShowLabels;
    sticker_.headers = o.StickerShowCols;
    sticker_.clickThrough = o.ClickThrough;
    sticker_.scale = {dpi_};
    stickerPercentWidth_ = o.Column[views::kKindPercent + 2] >= 0
                               ? o.Column[views::kKindPercent + 2]
                               : sticker_.valueWidth;
}

void TMainForm::SetViewSize() {
    const Options& o = monitor_.options;
    Scale s{dpi_};
    int width, height;
    if (Sticker()) {
        ComputeStickerLayout();
        width = views::StickerWidth(sticker_);
        height = views::StickerHeight(sticker_);
    } else {
        width = views::ClassicWindowWidth(lvDisks_->ColumnsWidth(), s(ExtraFrame().width),
                                          o.ClickThrough, MinimumWindowWidth(), s);
        views::ClassicHeightInputs in;
        in.rows = lvDisks_->RowCount();
        in.rowPitch = lvDisks_->RowPitch();
        in.smallCaption = ui::MetricFor(SM_CYSMCAPTION, dpi_);
        in.menuBar = ui::MetricFor(SM_CYMENU, dpi_);
        in.extraFrameHeight = s(ExtraFrame().height);
        height = views::ClassicWindowHeight(in, s);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::ApplyViewMode() {
    const Options& o = monitor_.options;
    SetWindowRgn(hwnd_, nullptr, TRUE);
    LONG_PTR keep = GetWindowLongPtrW(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_CLIPCHILDREN);
    LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED;
    if (Sticker()) {
        ShowWindow(lvDisks_->Handle(), SW_HIDE);
        SetMenu(hwnd_, nullptr);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, keep | WS_POPUP);
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME));
    } else {
        ShowWindow(lvDisks_->Handle(), SW_SHOW);
        if (menuBar_) {
            SetMenu(hwnd_, menuBar_->Handle());
            menuBar_->AttachTo(hwnd_);
        }
        SetWindowLongPtrW(hwnd_, GWL_STYLE, keep | WS_OVERLAPPEDWINDOW | WS_CAPTION);
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_DLGMODALFRAME);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetLayeredWindowAttributes(hwnd_, 0, views::AlphaOf(o.Transparency), LWA_ALPHA);
    SetViewSize();
    if (!Sticker()) {
        // One pixel wider and back makes the list lay itself out again.
        views::Rect r = WindowRect();
        SetWindowPos(hwnd_, nullptr, 0, 0, r.Width() + 1, r.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd_, nullptr, 0, 0, r.Width(), r.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The sticker is laid out anew by hiding and showing it, as at start.
void TMainForm::RelayoutSticker() {
    ShowWindow(hwnd_, SW_HIDE);
    Show();
}

bool TMainForm::DrawPercentCell(HDC dc, const RECT& bounds, int row) {
    const Options& o = monitor_.options;
    if (!o.ShowPercents || row < 0 || row >= static_cast<int>(monitor_.Rows().size())) return false;
    std::string caption = text::Trim(lvDisks_->CellText(row, 0));
    int i = disks::IndexOfName(monitor_.DriveCatalogue, caption);
    if (i < 0) return false;
    COLORREF bg = ListView_GetBkColor(lvDisks_->Handle());
    if (bg == CLR_NONE) bg = GetSysColor(COLOR_WINDOW);
    views::win32::GdiCanvas canvas(dc, dpi_, fonts_, ui::PointsOf(listFont_, dpi_));
    canvas.UseFont(listFont_);
    views::Rect r{bounds.left, bounds.top, bounds.right, bounds.bottom};
    canvas.FillRect(r, bg);
    views::DrawClassicPercentCell(canvas, r, monitor_.DriveCatalogue[i], o,
                                  {static_cast<views::Color>(bg), o.BarTextColor});
    return true;
}

void TMainForm::PaintSticker(HDC dc) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (rc.right <= 0 || rc.bottom <= 0) return;
    const Options& o = monitor_.options;
    ComputeStickerLayout();
    views::StickerScene scene;
    scene.options = &o;
    scene.catalogue = &monitor_.DriveCatalogue;
    scene.labels = &monitor_.DriveLabels;
    scene.enabled = &monitor_.EnabledDisks;
    for (const ListRow& r : monitor_.Rows()) {
        scene.rowCaptions.push_back(r.cells[kColName]);
        scene.rowEntries.push_back(r.entry);
    }
    scene.columns = views::ShownColumns(o);
    scene.metrics = sticker_;
    scene.width = rc.right;
    scene.height = rc.bottom;
    scene.locale = monitor_.Locale();
    scene.stickerColor = o.StickerColor;
    scene.fontColor = o.StickerFontColor;
    scene.barTextColor = o.BarTextColor;
    // Off-screen, then one copy: repainting every second does not flicker.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    {
        views::win32::GdiCanvas canvas(mem, dpi_, fonts_, o.StickerFontSize);
        views::PaintSticker(canvas, scene);
    }
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

void TMainForm::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (Sticker())
        PaintSticker(dc);
    else
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(hwnd_, &ps);
}

void TMainForm::SetShown(Command c, bool on) {
    Options& o = monitor_.options;
    switch (c) {
        case Command::ColumnLabel:
            o.ShowLabels = on;
            break;
        case Command::ColumnTotal:
            o.ShowTotal = on;
            break;
        case Command::ColumnOccuped:
            o.ShowOccuped = on;
            break;
        case Command::ColumnFree:
            o.ShowFree = on;
            break;
        case Command::ColumnAvailable:
            o.ShowAvail = on;
            break;
        case Command::ColumnPercents:
            o.ShowPercents = on;
            break;
        default:
            return;
    }
    SetChecked(c, on);
    minimumWidth_ = -1;
}

void TMainForm::ColumnSwitch(Command c) {
    std::vector<views::MenuItem*> items = menus_.ItemsOf(c);
    bool on = items.empty() || !items.front()->Checked();
    bool wasDocked = views::WasRightDocked(WindowRect(), MonitorRect());
    SetShown(c, on);
    RebuildColumns();
    views::Rect r = WindowRect();
    int left = views::KeepRightDocked(wasDocked, r, MonitorRect());
    SetWindowPos(hwnd_, nullptr, left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (Sticker()) RelayoutSticker();
}

void TMainForm::lvDisksColumnClick(int listIndex) {
    Options& o = monitor_.options;
    int kind = lvDisks_->KindAt(listIndex);
    if (kind == views::kKindPercent) {
        o.ShowUsedPercents = !o.ShowUsedPercents;
        RebuildColumns();
        return;
    }
    bool toUsed = kind == views::kKindCapacity && !o.ShowOccuped;
    bool toCapacity = kind == views::kKindUsed && !o.ShowTotal;
    if (!toUsed && !toCapacity) return;
    bool wasDocked = views::WasRightDocked(WindowRect(), MonitorRect());
    SetShown(Command::ColumnTotal, toCapacity);
    SetShown(Command::ColumnOccuped, toUsed);
    RebuildColumns();
    views::Rect r = WindowRect();
    int left = views::KeepRightDocked(wasDocked, r, MonitorRect());
    SetWindowPos(hwnd_, nullptr, left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::OnColumnResized() {
    auto changed = lvDisks_->TakeNewWidths();
    if (changed.empty()) return;
    for (auto [kind, width] : changed) {
        monitor_.options.Column[kind + 2] = static_cast<int16_t>(width);
        autoWidth_[kind + 2] = false;
    }
    views::Rect r = WindowRect();
    int width = lvDisks_->ColumnsWidth() + Scale{dpi_}(ExtraFrame().width);
    SetWindowPos(hwnd_, nullptr, 0, 0, width, r.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::LabelsChanged() {
    const Options& o = monitor_.options;
    if (!o.ShowLabels || !hwnd_ || !firstShowDone_) return;
    auto measure = [this](std::string_view t) { return TextWidthInView(t); };
    Scale s{dpi_};
    if (Sticker()) {
        int w = views::LabelColumnWidth(MonitoredLabels(), measure, false, s);
        if (w == sticker_.labelWidth) return;
        sticker_.labelWidth = w;
        SetViewSize();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    // A label column the user sized keeps its width.
    if (!autoWidth_[views::kKindLabel + 2]) return;
    int w = views::LabelColumnWidth(MonitoredLabels(), measure, true, s);
    if (w == monitor_.options.Column[views::kKindLabel + 2]) return;
    monitor_.options.Column[views::kKindLabel + 2] = static_cast<int16_t>(w);
    RebuildColumns();
}

void TMainForm::SwitchView(int mode) {
    if (monitor_.options.ViewMode == mode) return;
    SetChecked(Command::ViewClassic, mode == 0);
    SetChecked(Command::ViewSticker, mode == 1);
    monitor_.options.ViewMode = mode;
    SaveSettings();
    RecreateWindow();
}

void TMainForm::pmiStayOnTopClick() {
    Options& o = monitor_.options;
    o.StayOnTop = !o.StayOnTop;
    SetWindowPos(hwnd_, o.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (ctrlForm_) ctrlForm_->SetTopmost(o.StayOnTop);
    RefreshMainMenu();
}

void TMainForm::RefreshGrabOffset() {
    POINT c;
    GetCursorPos(&c);
    views::Rect r = WindowRect();
    grabOffset_ = {c.x - r.left, c.y - r.top};
}

LRESULT TMainForm::OnMoving(RECT* r) {
    POINT c;
    GetCursorPos(&c);
    views::Rect snapped =
        views::SnapToWorkArea(ToRect(*r), {c.x, c.y}, {grabOffset_.x, grabOffset_.y},
                              ToRect(WorkArea()), ClickThroughInset(), {dpi_});
    *r = {snapped.left, snapped.top, snapped.right, snapped.bottom};
    return 0;
}

void TMainForm::StickerMouse(UINT msg, POINT client) {
    POINT c;
    GetCursorPos(&c);
    views::Rect r = WindowRect();
    switch (msg) {
        case WM_LBUTTONDOWN:
            dragging_ = true;
            dragMoved_ = false;
            dragOffset_ = {c.x - r.left, c.y - r.top};
            grabOffset_ = dragOffset_;
            SetCapture(hwnd_);
            break;
        case WM_MOUSEMOVE: {
            if (!dragging_) {
                HoverFadeStart();
                break;
            }
            views::Rect proposed =
                views::RectOfSize(c.x - dragOffset_.x, c.y - dragOffset_.y, r.Width(), r.Height());
            if (proposed.left == r.left && proposed.top == r.top) break;
            dragMoved_ = true;
            views::Rect s =
                views::SnapToWorkArea(proposed, {c.x, c.y}, {grabOffset_.x, grabOffset_.y},
                                      ToRect(WorkArea()), ClickThroughInset(), {dpi_});
            SetWindowPos(hwnd_, nullptr, s.left, s.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case WM_LBUTTONUP: {
            if (!dragging_) break;
            dragging_ = false;
            ReleaseCapture();
            RefreshGrabOffset();
            Options& o = monitor_.options;
            if (!dragMoved_ && Sticker() &&
                views::StickerPercentClick(sticker_, {client.x, client.y}, r.Width(),
                                           stickerPercentWidth_, o.ShowPercents)) {
                o.ShowUsedPercents = !o.ShowUsedPercents;
                RebuildColumns();
                RelayoutSticker();
            }
            break;
        }
        case WM_LBUTTONDBLCLK:
            DriveAtCursor(client);
            break;
    }
}

// The drive information dialog opens here once it exists; for now the
// double-click only finds the drive.
int TMainForm::DriveAtCursor(POINT client) {
    int row = Sticker() ? views::StickerRowAt(sticker_, client.y) : lvDisks_->RowAt(client);
    return row >= 0 && row < static_cast<int>(monitor_.Rows().size()) ? row : -1;
}

void TMainForm::RowsRebuilt() {
    if (!lvDisks_->Handle()) return;
    const auto& rows = monitor_.Rows();
    std::vector<int> icons;
    for (const ListRow& r : rows) icons.push_back(SmallIconOf(monitor_.DriveCatalogue[r.entry]));
    lvDisks_->SetRows(rows, icons);
    if (Sticker()) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TMainForm::CellChanged(int row, int column) {
    if (!lvDisks_->Handle() || row >= lvDisks_->RowCount()) return;
    int i = lvDisks_->ListIndexOf(column - 2);
    if (i <= 0) return;
    std::wstring w = Wide(monitor_.Rows()[row].cells[column]);
    ListView_SetItemText(lvDisks_->Handle(), row, i, w.data());
}

void TMainForm::RowChanged(int row) {
    if (!hwnd_) return;
    if (Sticker())
        InvalidateRect(hwnd_, nullptr, FALSE);
    else
        ListView_RedrawItems(lvDisks_->Handle(), row, row);
}

void TMainForm::CatalogueRebuilt() {
    if (!firstShowDone_) return;
    RebuildColumns();
    SetViewSize();
}

}  // namespace app::win32
