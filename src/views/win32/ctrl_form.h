// TCtrlForm: the move handle of click-through mode. A small square at the
// main window's bottom-right corner that can be dragged (the main window
// follows, snapped) and right-clicked for the menu.
#pragma once
#include <windows.h>

#include <functional>

#include "ui/window.h"
#include "views/forms/form_model.h"
#include "views/geometry.h"
#include "views/transparency.h"

namespace views::win32 {

class TCtrlForm : public ui::Window, public forms::Form {
  public:
    struct Host {
        HWND main = nullptr;
        std::function<int()> inset;            // ClickThroughInset
        std::function<void()> grab;            // record GrabOffset at a button press
        std::function<void(POINT)> popupMenu;  // at a screen point
        std::function<bool()> dialogOpen;      // the warning dialog exists
        std::function<unsigned()> stickerColor;
        int dpi = 96;
    };
    explicit TCtrlForm(Host host);

    bool Create(const Rect& at, bool topmost, bool visible);
    Rect Bounds() const;
    void SetTopmost(bool on);
    void Repaint();
    const HandleFlash& Flash() const { return flash_; }
    // The flash timer's tick, also for tests.
    void FlashTick();

  protected:
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

  private:
    void Paint();
    LRESULT Moving(RECT* proposed);

    Host host_;
    HandleFlash flash_;
};

}  // namespace views::win32
