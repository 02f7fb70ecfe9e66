#include "views/win32/click_thru_confirm.h"

#include "intl/messages.h"
#include "os/win32/wide.h"
#include "ui/dpi.h"
#include "views/placement.h"

namespace views::win32 {

namespace {
constexpr int kIdCheck = 10;
constexpr int kIconId = 11;
}  // namespace

TfrmClickThruConfirm::TfrmClickThruConfirm()
    : forms::Form("frmClickThruConfirm", &forms::TheApplication()) {
    SetCaption("Warning");
    imgWarning_ = &Add<ui::Plain>("imgWarning", forms::Kind::Image);
    lblWarning_ = &Add<ui::Label>("lblWarning");
    cbShowAgain_ = &Add<ui::CheckBox>("cbShowAgain");
    cbShowAgain_->SetCaption("Always &show this dialog");
    btnOK_ = &Add<ui::Button>("btnOK");
    btnOK_->SetCaption("OK");
    btnCancel_ = &Add<ui::Button>("btnCancel");
    btnCancel_->SetCaption("Cancel");
}

TfrmClickThruConfirm::~TfrmClickThruConfirm() {
    DestroyHandle();
    if (font_) DeleteObject(font_);
}

void TfrmClickThruConfirm::CaptionChanged() {
    if (hwnd_) SetWindowTextW(hwnd_, os::win32::Wide(Caption()).c_str());
}

void TfrmClickThruConfirm::Layout(HWND owner) {
    Scale s{dpi_};
    const int margin = s(12), iconSize = ui::MetricFor(SM_CXICON, dpi_);
    const int textLeft = margin + iconSize + margin, textWidth = s(300);
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    std::wstring text = os::win32::Wide(lblWarning_->Caption());
    RECT calc = {0, 0, textWidth, 0};
    DrawTextW(dc, text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int y = margin;
    HICON icon = LoadIconW(nullptr, IDI_WARNING);
    HWND img =
        CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, margin, y, iconSize,
                        iconSize, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIconId)),
                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(img, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    lblWarning_->CreateIn(hwnd_, L"STATIC", SS_LEFT,
                          {textLeft, y, textLeft + textWidth, y + calc.bottom}, 0, font_);
    y += std::max<int>(calc.bottom, iconSize) + margin;
    cbShowAgain_->CreateIn(hwnd_, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP,
                           {textLeft, y, textLeft + textWidth, y + s(20)}, kIdCheck, font_);
    cbShowAgain_->SetChecked(true);
    y += s(20) + margin;
    const int bw = s(75), bh = s(25), right = textLeft + textWidth;
    btnCancel_->CreateIn(hwnd_, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP,
                         {right - bw, y, right, y + bh}, IDCANCEL, font_);
    btnOK_->CreateIn(hwnd_, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP,
                     {right - 2 * bw - s(8), y, right - bw - s(8), y + bh}, IDOK, font_);
    y += bh + margin;

    RECT frame = {0, 0, right + margin, y};
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, FALSE, ex);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT main = {};
    if (owner) GetWindowRect(owner, &main);
    Point at = ConfirmDialogPosition(w, h, {screen.left, screen.top, screen.right, screen.bottom},
                                     {main.left, main.top, main.right, main.bottom}, s);
    SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, w, h, SWP_NOACTIVATE);
}

bool TfrmClickThruConfirm::ShowModal(HWND owner) {
    std::string text = intl::Msg(156) + "\r\n\r\n" + intl::Msg(157) + "\r\n\r\n" + intl::Msg(158);
    lblWarning_->SetCaption(text);
    ClassArgs cls;
    cls.name = L"TfrmClickThruConfirm";
    cls.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    CreateArgs a;
    a.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
    a.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    a.owner = owner;
    std::wstring title = os::win32::Wide(Caption());
    a.title = title.c_str();
    if (!CreateHandle(cls, a)) return false;
    dpi_ = ui::DpiOf(hwnd_);
    font_ = ui::CreateMessageFont(dpi_);
    Layout(owner);
    bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(btnOK_->Handle());
    done_ = false;
    if (onShown) onShown(*this);
    MSG msg;
    while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (msg.message == WM_QUIT && !done_) PostQuitMessage(static_cast<int>(msg.wParam));
    if (ownerEnabled) EnableWindow(owner, TRUE);
    DestroyHandle();
    if (owner) SetForegroundWindow(owner);
    return ok_;
}

void TfrmClickThruConfirm::End(bool ok) {
    if (done_) return;
    ok_ = ok;
    alwaysShow_ = cbShowAgain_->Checked();
    done_ = true;
    ShowWindow(hwnd_, SW_HIDE);
}

LRESULT TfrmClickThruConfirm::WndProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(w) == IDOK)
                End(true);
            else if (LOWORD(w) == IDCANCEL)
                End(false);
            return 0;
        case WM_CLOSE:
            End(false);
            return 0;
    }
    return Default(msg, w, l);
}

}  // namespace views::win32
