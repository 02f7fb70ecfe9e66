// A top-level window owned by one object: the class is registered once, the
// object is found from the handle, and messages go to its WndProc.
#pragma once
#include <windows.h>

namespace ui {

class Window {
  public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    void DestroyHandle();

  protected:
    struct ClassArgs {
        const wchar_t* name = nullptr;
        UINT style = 0;
        HCURSOR cursor = nullptr;
        HBRUSH background = nullptr;
    };
    struct CreateArgs {
        DWORD exStyle = 0;
        DWORD style = WS_POPUP;
        int x = 0, y = 0, width = 0, height = 0;
        HWND owner = nullptr;
        const wchar_t* title = L"";
    };
    bool CreateHandle(const ClassArgs& cls, const CreateArgs& args);
    virtual LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
    LRESULT Default(UINT msg, WPARAM w, LPARAM l) { return DefWindowProcW(hwnd_, msg, w, l); }

    HWND hwnd_ = nullptr;

  private:
    static LRESULT CALLBACK Route(HWND h, UINT m, WPARAM w, LPARAM l);
};

}  // namespace ui
