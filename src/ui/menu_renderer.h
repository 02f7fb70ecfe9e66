// Shows a menu model as a system menu: a pop-up menu or a window's menu bar.
// Items keep their state in the model; the rendered menu follows every change.
#pragma once
#include <windows.h>

#include <vector>

#include "views/menu_model.h"

namespace ui {

class MenuRenderer : public views::MenuObserver {
  public:
    // Command ids are firstId + the item's position in items.
    MenuRenderer(views::MenuItem& root, bool menuBar, const std::vector<views::MenuItem*>& items,
                 UINT firstId);
    ~MenuRenderer() override;
    MenuRenderer(const MenuRenderer&) = delete;
    MenuRenderer& operator=(const MenuRenderer&) = delete;

    HMENU Handle() const { return menu_; }
    views::MenuItem* ItemOfId(UINT id) const;
    // A menu bar is redrawn in this window after changes; null when detached.
    void AttachTo(HWND window) { window_ = window; }

    void MenuItemChanged(views::MenuItem& item) override;

    // The text the system shows: caption, a tab and the shortcut.
    static std::wstring TextOf(const views::MenuItem& item);

  private:
    void Build();
    void Fill(HMENU menu, views::MenuItem& parent);
    void Update(views::MenuItem& item);
    UINT IdOf(const views::MenuItem& item) const;
    struct Placed {
        views::MenuItem* item;
        HMENU parent;
    };
    const Placed* Find(const views::MenuItem& item) const;

    views::MenuItem& root_;
    bool menuBar_;
    std::vector<views::MenuItem*> items_;
    UINT firstId_;
    HMENU menu_ = nullptr;
    HWND window_ = nullptr;
    std::vector<Placed> placed_;
};

}  // namespace ui
