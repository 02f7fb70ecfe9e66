#include "ui/controls.h"

#include "os/win32/wide.h"

namespace ui {

Control::~Control() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool Control::CreateIn(HWND parent, const wchar_t* cls, DWORD style, RECT b, int id, HFONT font) {
    std::wstring text = os::win32::Wide(Caption());
    hwnd_ = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, b.left, b.top,
                            b.right - b.left, b.bottom - b.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ && font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd_ != nullptr;
}

void Control::CaptionChanged() {
    if (hwnd_) SetWindowTextW(hwnd_, os::win32::Wide(Caption()).c_str());
}

bool CheckBox::Checked() const {
    return hwnd_ && SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool on) {
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace ui
