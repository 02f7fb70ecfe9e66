#include "views/win32/ctrl_form.h"

#include "app/main_messages.h"
#include "views/placement.h"
#include "views/win32/gdi_canvas.h"

namespace views::win32 {

namespace {
constexpr UINT_PTR kFlashTimer = 1;
}

TCtrlForm::TCtrlForm(Host host) : forms::Form("CtrlForm", &forms::TheApplication()), host_(host) {
    Add<forms::Component>("imgHandle", forms::Kind::Image);
    Add<forms::Component>("tmFlash", forms::Kind::Timer);
}

bool TCtrlForm::Create(const Rect& at, bool topmost, bool visible) {
    ClassArgs cls;
    cls.name = L"TCtrlForm";
    cls.style = CS_DBLCLKS;
    cls.cursor = LoadCursorW(nullptr, IDC_SIZEALL);
    CreateArgs a;
    a.exStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED | (topmost ? WS_EX_TOPMOST : 0);
    a.style = WS_POPUP;
    a.x = at.left;
    a.y = at.top;
    a.width = at.Width();
    a.height = at.Height();
    a.owner = host_.main;
    if (!CreateHandle(cls, a)) return false;
    SetLayeredWindowAttributes(hwnd_, 0, kHandleAlpha, LWA_ALPHA);
    SetTimer(hwnd_, kFlashTimer, 300, nullptr);
    if (visible) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    return true;
}

Rect TCtrlForm::Bounds() const {
    RECT r = {};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void TCtrlForm::SetTopmost(bool on) {
    SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCtrlForm::Repaint() {
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TCtrlForm::FlashTick() {
    HandleFlash::Step s = flash_.Tick(host_.dialogOpen && host_.dialogOpen());
    SetLayeredWindowAttributes(hwnd_, 0, s.alphaOn ? kHandleAlpha : 255, LWA_ALPHA);
    if (s.stop) KillTimer(hwnd_, kFlashTimer);
}

void TCtrlForm::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    {
        FontCache fonts;
        GdiCanvas canvas(mem, host_.dpi, fonts, 9);
        DrawHandleImage(canvas, host_.stickerColor ? host_.stickerColor() : 0xD2FFFF,
                        Scale{host_.dpi});
    }
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(hwnd_, &ps);
}

LRESULT TCtrlForm::Moving(RECT* p) {
    RECT main = {};
    GetWindowRect(host_.main, &main);
    int w = main.right - main.left, h = main.bottom - main.top;
    Rect m = MainRectForHandle({p->left, p->top, p->right, p->bottom}, w, h);
    RECT snap = {m.left, m.top, m.right, m.bottom};
    SendMessageW(host_.main, WM_MOVING, 0, reinterpret_cast<LPARAM>(&snap));
    int inset = host_.inset ? host_.inset() : 0;
    SetWindowPos(host_.main, nullptr, snap.left + inset, snap.top + inset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    int size = Scale{host_.dpi}(kHandleSize);
    *p = {snap.right - size, snap.bottom - size, snap.right, snap.bottom};
    return TRUE;
}

LRESULT TCtrlForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_NCHITTEST:
            return HTCAPTION;
        case WM_NCLBUTTONDOWN:
            if (host_.grab) host_.grab();
            return Default(msg, w, l);
        case WM_NCLBUTTONDBLCLK:
            PostMessageW(host_.main, WM_NCLBUTTONDBLCLK, 0, 0);
            return 0;
        case WM_NCRBUTTONDOWN:
            return 0;
        case WM_NCRBUTTONUP:
        case WM_CONTEXTMENU: {
            POINT pt;
            GetCursorPos(&pt);
            if (host_.popupMenu) host_.popupMenu(pt);
            return 0;
        }
        case WM_MOVING:
            return Moving(reinterpret_cast<RECT*>(l));
        case WM_MOVE:
            PostMessageW(host_.main, WM_MOVE, 0, 0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_TIMER:
            if (w == kFlashTimer) FlashTick();
            return 0;
        case app::kWmRepaintHandle:
            Repaint();
            return 0;
    }
    return Default(msg, w, l);
}

}  // namespace views::win32
