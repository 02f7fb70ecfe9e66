// The hub: creating, showing and closing the main window, and the one place
// where its messages are dispatched.
#include "app/win32/main_form.h"

#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/main_messages.h"
#include "app/settings.h"
#include "app/win32/program.h"
#include "disks/debug_log.h"
#include "intl/messages.h"
#include "os/win32/wide.h"
#include "ui/dpi.h"
#include "views/placement.h"

namespace app::win32 {

using disks::LogScope;
using os::RegRoot;
using os::win32::Wide;

bool RegisterMainFormClass() {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(inst, kMainWindowClass, &existing)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | CS_DROPSHADOW;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
            SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        return TMainForm::Dispatch(h, m, w, l);
    };
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // the window never erases its background
    wc.lpszClassName = kMainWindowClass;
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    return RegisterClassExW(&wc) != 0;
}

TMainForm::TMainForm(MonitorServices services)
    : forms::Form("MainForm", &forms::TheApplication()), monitor_(*this, std::move(services)) {
    SetCaption("Zelmora");
    lvDisks_ = &Add<views::win32::TDiskList>();
    lvDisks_->SetHint("Right-click to access menu, double-click to display drive info");
    Add<forms::Component>("tmUpdate", forms::Kind::Timer);
    Add<forms::Component>("tmTransparency", forms::Kind::Timer);
    Add<forms::Component>("ilMain", forms::Kind::ImageList);
    notify_ = std::make_unique<notify::win32::NotifyHub>(monitor_, os::SystemClock());
    monitor_.conditions = &notify_->Watch();
}

TMainForm::~TMainForm() {
    monitor_.StopWorker();
    ctrlForm_.reset();
    popup_.reset();
    menuBar_.reset();
    target_->store(nullptr);
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    if (listFont_) DeleteObject(listFont_);
}

LRESULT TMainForm::Dispatch(HWND h, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TMainForm*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, msg, w, l);
    if (!self->hwnd_) self->hwnd_ = h;
    return self->WndProc(msg, w, l);
}

bool TMainForm::Create() {
    if (!RegisterMainFormClass()) return false;
    FormCreate();
    return hwnd_ != nullptr;
}

// The view is fixed for the life of a handle: its styles (topmost, frame or
// none) are chosen at creation.
bool TMainForm::CreateHandle() {
    const Options& o = monitor_.options;
    DWORD ex = WS_EX_LAYERED | (o.StayOnTop ? WS_EX_TOPMOST : 0);
    DWORD style = WS_CLIPCHILDREN;
    if (Sticker())
        style |= WS_POPUP;
    else {
        style |= WS_OVERLAPPEDWINDOW;
        ex |= WS_EX_DLGMODALFRAME;
    }
    hwnd_ = nullptr;
    CreateWindowExW(ex, kMainWindowClass, kProductName, style, o.Left, o.Top, 420, 200, nullptr,
                    nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    target_->store(hwnd_);
    dpi_ = ui::DpiOf(hwnd_);
    SetLayeredWindowAttributes(hwnd_, 0, views::AlphaOf(o.Transparency), LWA_ALPHA);
    CreateMenus();
    CreateList();
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
    notify_->LoadConditions(monitor_.options.NtfConditions);

    if (ReadRegInteger(Registry(), RegRoot::CurrentUser, key, "OnceStarted") == -1)
        WriteRegInteger(Registry(), RegRoot::CurrentUser, key, "OnceStarted", 1);
    int transparency = ReadRegInteger(Registry(), RegRoot::CurrentUser, key, "Transparency");
    monitor_.options.Transparency = transparency < 0 || transparency > 100 ? 100 : transparency;

    if (!CreateHandle()) return;
    notify_->Attach(hwnd_);
    notify_->RegisterEventSource(ProgramFolderSlash());
    SetChecked(views::Command::ViewClassic, !Sticker());
    SetChecked(views::Command::ViewSticker, Sticker());

    monitor_.SetSeconds(1);
    firstShowDone_ = false;
    monitor_.FillDisks();

    if (!monitor_.options.StayOnTop)
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PostToSelf(kWmRepaint, 0);
    SetTimer(hwnd_, kUpdateTimer, 1000, nullptr);
    ApplyOpacity(monitor_.options.Transparency);
    restart_ = false;
}

void TMainForm::Show() {
    // The window counts as visible while it is being shown.
    showing_ = true;
    FormShow();
    showing_ = false;
    // The process's first ShowWindow may be overruled by how it was started:
    // the main window takes it, the handle follows.
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    if (ctrlForm_) ShowWindow(ctrlForm_->Handle(), SW_SHOWNOACTIVATE);
}

void TMainForm::FormShow() {
    LogScope scope("FormShow");
    const Options& o = monitor_.options;
    RebuildColumns();
    ApplyViewMode();
    views::Rect r = WindowRect();
    views::Point at{r.left, r.top};
    if (at.x == -1 && at.y == -1)
        at = views::FirstPlacement(r.Width(), r.Height(), GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN));
    // A place saved on a screen that is gone would hide the window for good.
    RECT placed = {at.x, at.y, at.x + r.Width(), at.y + r.Height()};
    if (!MonitorFromRect(&placed, MONITOR_DEFAULTTONULL)) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        at = {std::max<int>(work.left, work.right - r.Width()), work.top};
    }
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    firstShowDone_ = true;
    SetHint(lvDisks_->Hint());
    PostToSelf(kWmRepaint, 0);
    SetClickThrough(o.ClickThrough);
    RefreshMainMenu();
    PrepareMainPopup();
    PostToSelf(kWmApplyStayOnTop, 0);
}

void TMainForm::StopTimer() {
    KillTimer(hwnd_, kUpdateTimer);
}

void TMainForm::PostToSelf(int message, intptr_t lParam) {
    if (hwnd_) PostMessageW(hwnd_, static_cast<UINT>(message), 0, static_cast<LPARAM>(lParam));
}

disks::TGetRemote::Deliver TMainForm::RemoteDeliver() {
    // Sent, not posted: the worker waits until the main thread has read the
    // result. The target follows the handle across a view switch; a window
    // that is gone answers at once.
    auto target = target_;
    return [target](const disks::RemoteResult& r) {
        HWND h = target->load();
        DWORD_PTR ignored;
        if (h)
            SendMessageTimeoutW(h, kWmRemoteResult, 0, reinterpret_cast<LPARAM>(&r), SMTO_NORMAL,
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
    if (ctrlForm_) ShowWindow(ctrlForm_->Handle(), SW_SHOWNOACTIVATE);
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

// Hide, give the window a new handle with the styles of the current view,
// show it again. The monitor, its rows and the settings stay as they are.
void TMainForm::RecreateWindow() {
    ShowWindow(hwnd_, SW_HIDE);
    RECT r;
    GetWindowRect(hwnd_, &r);
    monitor_.options.Left = r.left;
    monitor_.options.Top = r.top;
    ctrlForm_.reset();
    popup_.reset();
    menuBar_.reset();
    recreating_ = true;
    HWND old = hwnd_;
    KillTimer(old, kUpdateTimer);
    KillTimer(old, kTransparencyTimer);
    fade_ = {};  // its timer went with the old handle
    lvDisks_->Destroy();
    target_->store(nullptr);
    SetWindowLongPtrW(old, GWLP_USERDATA, 0);
    DestroyWindow(old);
    recreating_ = false;
    if (!CreateHandle()) return;
    notify_->Attach(hwnd_);  // jobs and their messages go to the new handle
    RowsRebuilt();
    SetTimer(hwnd_, kUpdateTimer, 1000, nullptr);
    Show();
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_TIMER:
            if (w == kUpdateTimer)
                monitor_.Tick();
            else if (w == kTransparencyTimer)
                TransparencyTick();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (lvDisks_->OnNotify(reinterpret_cast<NMHDR*>(l), result)) return result;
            break;
        }
        case WM_COMMAND:
            if (HIWORD(w) == 0) OnCommand(LOWORD(w));
            return 0;
        case WM_INITMENU:
            if (reinterpret_cast<HMENU>(w) == GetMenu(hwnd_)) RefreshMainMenu();
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (HandleShortcut(static_cast<UINT>(w), msg == WM_SYSKEYDOWN)) return 0;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
            StickerMouse(msg, {GET_X_LPARAM(l), GET_Y_LPARAM(l)});
            return 0;
        case WM_RBUTTONUP: {
            POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ClientToScreen(hwnd_, &p);
            PopupAt(p);
            return 0;
        }
        case WM_MOVING:
            return OnMoving(reinterpret_cast<RECT*>(l));
        case WM_ENTERSIZEMOVE:
        case WM_EXITSIZEMOVE:
            RefreshGrabOffset();
            break;
        case WM_MOVE:
        case WM_SIZE:
            // The handle forwards its own moves here: only a real change moves
            // it, or the two would trade moves for ever.
            if (ctrlForm_) {
                views::Rect h = views::HandleRect(WindowRect(), ClickThroughInset(), {dpi_});
                if (!(ctrlForm_->Bounds() == h))
                    SetWindowPos(ctrlForm_->Handle(), nullptr, h.left, h.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (msg == WM_SIZE && lvDisks_->Handle())
                MoveWindow(lvDisks_->Handle(), 0, 0, LOWORD(l), HIWORD(l), TRUE);
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(w);
            CreateList();
            RowsRebuilt();
            auto* r = reinterpret_cast<RECT*>(l);
            SetWindowPos(hwnd_, nullptr, r->left, r->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RebuildColumns();
            SetViewSize();
            return 0;
        }
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
            if (recreating_) return 0;
            KillTimer(hwnd_, kUpdateTimer);
            KillTimer(hwnd_, kTransparencyTimer);
            ctrlForm_.reset();
            if (restart_) {
                // The window is gone, so the new process does not find it
                // and takes over instead of raising us.
                std::wstring exe = Wide(ProgramFolderSlash() + kExecutableName);
                ShellExecuteW(nullptr, L"open", exe.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
            PostQuitMessage(0);
            target_->store(nullptr);
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
        case kWmEndDrag:
            dragging_ = false;
            return 0;
        case kWmRepaint:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case kWmCheckConditions:
        case kWmConditionFired:
        case kWmWriteEventLog:
            notify_->HandleMessage(msg, w, l);
            return 0;
        case kWmCloseProgram:
            OnClose();
            return 0;
        case kWmColumnResized:
            OnColumnResized();
            return 0;
        case kWmRecreateWindow:
            RecreateWindow();
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
