#include "app/win32/main_form.h"

#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>

#include "app/main_messages.h"
#include "app/settings.h"
#include "app/win32/program.h"
#include "disks/debug_log.h"
#include "disks/format.h"
#include "disks/sampling.h"
#include "intl/messages.h"
#include "os/win32/wide.h"

namespace app::win32 {

using disks::LogScope;
using os::RegRoot;
using os::win32::Utf8;
using os::win32::Wide;

namespace {

constexpr UINT_PTR kUpdateTimer = 1;  // tmUpdate

// Monitor columns shown by the plain list, in list order, with their headings.
struct ShownColumn {
    int column;
    int message;
    bool unit;
};
constexpr ShownColumn kShownColumns[] = {
    {kColName, 41, false}, {kColCapacity, 36, true},  {kColUsed, 37, true},
    {kColFree, 38, true},  {kColAvailable, 39, true},
};

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

HFONT MessageFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW m = {};
        m.cbSize = sizeof m;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        return CreateFontIndirectW(&m.lfMessageFont);
    }();
    return font;
}

}  // namespace

bool RegisterMainFormClass() {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(inst, kMainWindowClass, &existing)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
            SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        return TMainForm::Dispatch(h, m, w, l);
    };
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    return RegisterClassExW(&wc) != 0;
}

TMainForm::TMainForm(MonitorServices services) : monitor_(*this, std::move(services)) {
    notify_ = std::make_unique<notify::win32::NotifyHub>(monitor_, os::SystemClock());
    monitor_.conditions = &notify_->Watch();
}

TMainForm::~TMainForm() {
    monitor_.StopWorker();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

LRESULT TMainForm::Dispatch(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TMainForm*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, w, l);
    if (!self->hwnd_) self->hwnd_ = h;
    return self->WndProc(msg, w, l);
}

bool TMainForm::Create() {
    if (!RegisterMainFormClass()) return false;
    CreateWindowExW(0, kMainWindowClass, kProductName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    CW_USEDEFAULT, CW_USEDEFAULT, 420, 200, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    FormCreate();
    return true;
}

os::Registry& TMainForm::Registry() {
    return *monitor_.Services().registry;
}

void TMainForm::FormCreate() {
    LogScope scope("FormCreate");
    const std::string& key = monitor_.Services().keyPath;
    // Other programs find us by this path; without administrator rights the
    // write fails, which is fine.
    WriteRegString(Registry(), RegRoot::LocalMachine, kAppPathsKey, "", ExecutablePath());
    WriteRegString(Registry(), RegRoot::LocalMachine, kAppPathsKey, "Path", ProgramFolderSlash());
    SetErrorMode(SEM_FAILCRITICALERRORS);
    monitor_.SetSeconds(-1);
    intl::InstallBuiltInMessages();
    monitor_.LoadOptions();
    notify_->Attach(hwnd_);
    notify_->LoadConditions(monitor_.options.NtfConditions);
    notify_->RegisterEventSource(ProgramFolderSlash());

    if (ReadRegInteger(Registry(), RegRoot::CurrentUser, key, "OnceStarted") == -1)
        WriteRegInteger(Registry(), RegRoot::CurrentUser, key, "OnceStarted", 1);

    lvDisks_ = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER | LVS_SINGLESEL,
        0, 0, 100, 100, hwnd_, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(lvDisks_, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), TRUE);
    ListView_SetExtendedListViewStyle(lvDisks_, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT);
    SHFILEINFOW info = {};
    ilMain_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (ilMain_) ListView_SetImageList(lvDisks_, ilMain_, LVSIL_SMALL);
    BuildColumns();

    monitor_.SetSeconds(1);
    firstShowDone_ = false;
    monitor_.FillDisks();

    if (!monitor_.options.StayOnTop)
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PostToSelf(kWmRepaint, 0);
    SetTimer(hwnd_, kUpdateTimer, 1000, nullptr);

    int transparency = ReadRegInteger(Registry(), RegRoot::CurrentUser, key, "Transparency");
    monitor_.options.Transparency = transparency < 0 || transparency > 100 ? 100 : transparency;
    restart_ = false;
}

void TMainForm::Show() {
    FormShow();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    shown_ = true;
}

void TMainForm::FormShow() {
    LogScope scope("FormShow");
    Options& o = monitor_.options;
    RECT r;
    GetWindowRect(hwnd_, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (o.Left == -1 && o.Top == -1) {
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        o.Left = (sw - width) / 2;
        o.Top = (sh - height) / 4;
    }
    // A place saved on a screen that is gone would hide the window for good.
    RECT placed = {o.Left, o.Top, o.Left + width, o.Top + height};
    if (!MonitorFromRect(&placed, MONITOR_DEFAULTTONULL)) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        o.Left = std::max<int>(work.left, work.right - width);
        o.Top = work.top;
    }
    SetWindowPos(hwnd_, nullptr, o.Left, o.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    firstShowDone_ = true;
    PostToSelf(kWmRepaint, 0);
    PostToSelf(kWmApplyStayOnTop, 0);
}

void TMainForm::StopTimer() {
    KillTimer(hwnd_, kUpdateTimer);
}

void TMainForm::BuildColumns() {
    while (ListView_DeleteColumn(lvDisks_, 0)) {
    }
    int i = 0;
    for (const ShownColumn& c : kShownColumns) {
        std::string caption = intl::Msg(c.message);
        if (c.unit) caption += disks::UnitSuffix(monitor_.options.ShowIn, true);
        std::wstring w = Wide(caption);
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = c.column == kColName ? LVCFMT_LEFT : LVCFMT_RIGHT;
        col.cx = 80;
        col.pszText = w.data();
        ListView_InsertColumn(lvDisks_, i++, &col);
    }
}

int TMainForm::ListColumnOf(int column) const {
    for (int i = 0; i < static_cast<int>(std::size(kShownColumns)); ++i)
        if (kShownColumns[i].column == column) return i;
    return -1;
}

void TMainForm::PostToSelf(int message, intptr_t lParam) {
    if (hwnd_) PostMessageW(hwnd_, static_cast<UINT>(message), 0, static_cast<LPARAM>(lParam));
}

void TMainForm::RowsRebuilt() {
    if (!lvDisks_) return;
    ListView_DeleteAllItems(lvDisks_);
    const auto& rows = monitor_.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        std::wstring caption = Wide(rows[r].cells[kColName]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = r;
        item.pszText = caption.data();
        item.iImage = SmallIconOf(monitor_.DriveCatalogue[rows[r].entry]);
        item.lParam = rows[r].entry;
        ListView_InsertItem(lvDisks_, &item);
        for (int c = kColLabel; c < kColumnCount; ++c) CellChanged(r, c);
    }
}

void TMainForm::CellChanged(int row, int column) {
    int listColumn = ListColumnOf(column);
    if (listColumn < 0 || !lvDisks_) return;
    std::wstring w = Wide(monitor_.Rows()[row].cells[column]);
    ListView_SetItemText(lvDisks_, row, listColumn, w.data());
}

void TMainForm::RowChanged(int) {}

void TMainForm::CatalogueRebuilt() {
    FitWindowToList();
}

void TMainForm::FitWindowToList() {
    if (!lvDisks_) return;
    int columns = static_cast<int>(std::size(kShownColumns));
    int width = 0;
    for (int i = 0; i < columns; ++i) {
        ListView_SetColumnWidth(lvDisks_, i, LVSCW_AUTOSIZE);
        wchar_t caption[128] = {};
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT;
        col.pszText = caption;
        col.cchTextMax = 128;
        ListView_GetColumn(lvDisks_, i, &col);
        int cx = std::max(ListView_GetColumnWidth(lvDisks_, i),
                          ListView_GetStringWidth(lvDisks_, caption) + 16);
        ListView_SetColumnWidth(lvDisks_, i, cx);
        width += cx;
    }
    RECT header = {};
    Header_GetItemRect(ListView_GetHeader(lvDisks_), 0, &header);
    int rows = ListView_GetItemCount(lvDisks_);
    RECT item = {};
    int rowHeight = rows > 0 && ListView_GetItemRect(lvDisks_, 0, &item, LVIR_BOUNDS)
                        ? item.bottom - item.top
                        : 18;
    RECT r = {0, 0, width + 4, header.bottom + std::max(1, rows) * rowHeight + 4};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

disks::TGetRemote::Deliver TMainForm::RemoteDeliver() {
    HWND target = hwnd_;
    // Sent, not posted: the worker waits until the main thread has read the
    // result. A window that is gone answers at once.
    return [target](const disks::RemoteResult& r) {
        DWORD_PTR ignored;
        SendMessageTimeoutW(target, kWmRemoteResult, 0, reinterpret_cast<LPARAM>(&r), SMTO_NORMAL,
                            INFINITE, &ignored);
    };
}

void TMainForm::SaveSettings() {
    Options& o = monitor_.options;
    RECT r;
    if (GetWindowRect(hwnd_, &r)) {
        o.Left = r.left;
        o.Top = r.top;
    }
    o.Visible = IsWindowVisible(hwnd_) != FALSE;
    o.NtfConditions = notify_->StoredConditions();
    monitor_.SaveOptions();
}

void TMainForm::OnClose() {
    if (!restart_) SaveSettings();
    monitor_.StopWorker();
    DestroyWindow(hwnd_);
}

void TMainForm::ShowAndRaise() {
    if (IsWindowVisible(hwnd_)) return;
    ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    if (!monitor_.options.StayOnTop) {
        // Topmost and back again brings the window to the front.
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

void TMainForm::ApplyStayOnTop() {
    SetWindowPos(hwnd_, monitor_.options.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_TIMER:
            if (w == kUpdateTimer) monitor_.Tick();
            return 0;
        case WM_SIZE:
            if (lvDisks_) MoveWindow(lvDisks_, 0, 0, LOWORD(l), HIWORD(l), TRUE);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_ENDSESSION:
            if (w) {
                SaveSettings();
                monitor_.StopWorker();
            }
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd_, kUpdateTimer);
            if (restart_) {
                // The window is gone, so the new process does not find it
                // and takes over instead of raising us.
                std::wstring exe = Wide(ProgramFolderSlash() + kExecutableName);
                ShellExecuteW(nullptr, L"open", exe.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
            PostQuitMessage(0);
            hwnd_ = nullptr;
            return 0;
        case WM_DEVICECHANGE:
            if ((w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE) && l &&
                reinterpret_cast<DEV_BROADCAST_HDR*>(l)->dbch_devicetype == DBT_DEVTYP_VOLUME)
                monitor_.OnVolumeChange();
            return TRUE;
        case kWmSample:
            monitor_.SamplingPass();
            return 0;
        case kWmRemoteResult:
            if (l) monitor_.OnRemoteResult(*reinterpret_cast<const disks::RemoteResult*>(l));
            return 0;
        case kWmRefreshRow:
            monitor_.RefreshRow(static_cast<int>(l));
            return 0;
        case kWmRepaint:
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case kWmCheckConditions:
        case kWmConditionFired:
        case kWmWriteEventLog:
            notify_->HandleMessage(msg, w, l);
            return 0;
        case kWmCloseProgram:
            OnClose();
            return 0;
        case kWmShowAndRaise:
            ShowAndRaise();
            return 0;
        case kWmRestart:
            restart_ = true;
            OnClose();
            return 0;
        case kWmApplyStayOnTop:
            ApplyStayOnTop();
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, w, l);
}

}  // namespace app::win32
