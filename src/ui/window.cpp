#include "ui/window.h"

namespace ui {

Window::~Window() {
    DestroyHandle();
}

void Window::DestroyHandle() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    DestroyWindow(h);
}

bool Window::CreateHandle(const ClassArgs& cls, const CreateArgs& a) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(inst, cls.name, &existing)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = Route;
        wc.hInstance = inst;
        wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        if (!RegisterClassExW(&wc)) return false;
    }
    CreateWindowExW(a.exStyle, cls.name, a.title, a.style, a.x, a.y, a.width, a.height, a.owner,
                    nullptr, inst, this);
    return hwnd_ != nullptr;
}

LRESULT Window::WndProc(UINT msg, WPARAM w, LPARAM l) {
    return Default(msg, w, l);
}

LRESULT CALLBACK Window::Route(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, m, w, l);
    LRESULT r = self->WndProc(m, w, l);
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return r;
}

}  // namespace ui
