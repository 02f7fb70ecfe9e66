// Opacity, the hover fade and click-through mode with its move handle and
// warning dialog.
#include "app/settings.h"
#include "app/win32/main_form.h"

#include "app/main_messages.h"
#include "views/placement.h"

namespace app::win32 {

using os::RegRoot;
using views::Command;

namespace {

void SetExStyle(HWND h, LONG_PTR add, LONG_PTR remove) {
    LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    SetWindowLongPtrW(h, GWL_EXSTYLE, (ex | add) & ~remove);
}

}  // namespace

void TMainForm::ApplyOpacity(int opacity) {
    monitor_.options.Transparency = opacity;
    SetExStyle(hwnd_, WS_EX_LAYERED, 0);
    SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(views::AlphaOf(opacity)), LWA_ALPHA);
}

void TMainForm::mit100Click(int tag) {
    for (views::MenuItem* m : menus_.ItemsOf(Command::Transparency)) m->SetChecked(m->Tag() == tag);
    ApplyOpacity(views::OpacityOfLevel(tag));
}

void TMainForm::HoverFadeStart() {
    if (fade_.Start(monitor_.options.Transparency))
        SetTimer(hwnd_, kTransparencyTimer, 10, nullptr);
}

void TMainForm::TransparencyTick() {
    POINT c;
    GetCursorPos(&c);
    views::HoverFade::Step s =
        fade_.Tick(WindowRect().Contains({c.x, c.y}), monitor_.options.Transparency);
    SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(views::AlphaOf(s.level)), LWA_ALPHA);
    if (s.stop) KillTimer(hwnd_, kTransparencyTimer);
}

int TMainForm::ClickThroughInset() const {
    RECT list = {};
    if (lvDisks_->Handle()) GetWindowRect(lvDisks_->Handle(), &list);
    return views::ClickThroughInset(monitor_.options.ClickThrough, !Sticker(), WindowRect().Width(),
                                    list.right - list.left, {dpi_});
}

void TMainForm::GrabFromHandle() {
    // Relative to the main window as the handle moves it: inset included.
    RefreshGrabOffset();
    int inset = ClickThroughInset();
    grabOffset_.x += inset;
    grabOffset_.y += inset;
}

void TMainForm::CreateCtrlForm() {
    views::win32::TCtrlForm::Host host;
    host.main = hwnd_;
    host.inset = [this] { return ClickThroughInset(); };
    host.grab = [this] { GrabFromHandle(); };
    host.popupMenu = [this](POINT p) { PopupAt(p); };
    host.dialogOpen = [this] { return confirm_ != nullptr; };
    host.stickerColor = [this] { return monitor_.options.StickerColor; };
    host.dpi = dpi_;
    ctrlForm_ = std::make_unique<views::win32::TCtrlForm>(host);
    views::Rect at = views::HandleRect(WindowRect(), ClickThroughInset(), {dpi_});
    if (!ctrlForm_->Create(at, monitor_.options.StayOnTop, IsWindowVisible(hwnd_) != FALSE))
        ctrlForm_.reset();
}

void TMainForm::SetClickThrough(bool on) {
    Options& o = monitor_.options;
    o.ClickThrough = on;
    SetViewSize();
    InvalidateRect(hwnd_, nullptr, FALSE);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    views::Rect w = {work.left, work.top, work.right, work.bottom};
    views::Rect r = WindowRect();
    if (on) {
        views::Point p = views::ClickThroughOnPosition(r, w);
        SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetExStyle(hwnd_, WS_EX_LAYERED | WS_EX_TRANSPARENT, 0);
        ApplyOpacity(o.Transparency);
        if (!ctrlForm_) CreateCtrlForm();
    } else {
        views::Point p = views::ClickThroughOffPosition(r, w, {dpi_});
        SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ctrlForm_.reset();
        SetExStyle(hwnd_, 0, WS_EX_TRANSPARENT | (o.Transparency == 0 ? WS_EX_LAYERED : 0));
    }
    SetChecked(Command::ClickThrough, on);
}

bool TMainForm::ConfirmClickThrough() {
    const std::string& key = monitor_.Services().keyPath;
    if (ReadRegInteger(Registry(), RegRoot::CurrentUser, key, "ClickThroughWarn") == 0) return true;
    views::win32::TfrmClickThruConfirm dialog;
    dialog.onShown = onConfirmShown;
    confirm_ = &dialog;
    bool ok = dialog.ShowModal(hwnd_);
    confirm_ = nullptr;
    if (ok)
        WriteRegInteger(Registry(), RegRoot::CurrentUser, key, "ClickThroughWarn",
                        dialog.AlwaysShow() ? 1 : 0);
    return ok;
}

void TMainForm::pmiClickthroughClick() {
    if (monitor_.options.ClickThrough) {
        SetClickThrough(false);
        return;
    }
    // On at once, so the handle flashes beside the warning.
    SetClickThrough(true);
    bool confirmed = ConfirmClickThrough();
    SetClickThrough(confirmed);
}

}  // namespace app::win32
