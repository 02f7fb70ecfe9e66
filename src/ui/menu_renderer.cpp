#include "ui/menu_renderer.h"

#include "os/win32/wide.h"

namespace ui {

using views::MenuItem;

MenuRenderer::MenuRenderer(MenuItem& root, bool menuBar, const std::vector<MenuItem*>& items,
                           UINT firstId)
    : root_(root), menuBar_(menuBar), items_(items), firstId_(firstId) {
    Build();
}

MenuRenderer::~MenuRenderer() {
    for (const Placed& p : placed_) p.item->SetObserver(nullptr);
    // A menu bar still attached to a window is freed with the window.
    if (menu_ && !(window_ && IsWindow(window_) && GetMenu(window_) == menu_)) DestroyMenu(menu_);
}

std::wstring MenuRenderer::TextOf(const MenuItem& item) {
    std::string t = item.Caption();
    if (!item.ShortCut().empty()) t += "\t" + item.ShortCut();
    return os::win32::Wide(t);
}

UINT MenuRenderer::IdOf(const MenuItem& item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == &item) return firstId_ + static_cast<UINT>(i);
    return 0;
}

MenuItem* MenuRenderer::ItemOfId(UINT id) const {
    if (id < firstId_ || id - firstId_ >= items_.size()) return nullptr;
    MenuItem* m = items_[id - firstId_];
    return Find(*m) ? m : nullptr;
}

const MenuRenderer::Placed* MenuRenderer::Find(const MenuItem& item) const {
    for (const Placed& p : placed_)
        if (p.item == &item) return &p;
    return nullptr;
}

void MenuRenderer::Build() {
    HMENU old = menu_;
    for (const Placed& p : placed_) p.item->SetObserver(nullptr);
    placed_.clear();
    menu_ = menuBar_ ? CreateMenu() : CreatePopupMenu();
    Fill(menu_, root_);
    if (window_ && GetMenu(window_) == old) {
        SetMenu(window_, menu_);
        DrawMenuBar(window_);
    }
    if (old) DestroyMenu(old);
}

void MenuRenderer::Fill(HMENU menu, MenuItem& parent) {
    for (MenuItem* child : parent.Children()) {
        placed_.push_back({child, menu});
        child->SetObserver(this);
        if (!child->Visible()) continue;
        MENUITEMINFOW mi = {};
        mi.cbSize = sizeof mi;
        std::wstring text = TextOf(*child);
        if (child->IsSeparator()) {
            mi.fMask = MIIM_FTYPE | MIIM_ID;
            mi.fType = MFT_SEPARATOR;
        } else {
            mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
            mi.fType = child->RadioGroup() ? MFT_RADIOCHECK : 0;
            mi.dwTypeData = text.data();
            mi.fState = (child->Checked() ? MFS_CHECKED : 0) |
                        (child->Enabled() ? MFS_ENABLED : MFS_DISABLED);
            if (child->IsSubmenu()) {
                HMENU sub = CreatePopupMenu();
                Fill(sub, *child);
                mi.fMask |= MIIM_SUBMENU;
                mi.hSubMenu = sub;
            }
        }
        mi.wID = IdOf(*child);
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
    }
}

void MenuRenderer::Update(MenuItem& item) {
    const Placed* p = Find(item);
    if (!p) return;
    MENUITEMINFOW mi = {};
    mi.cbSize = sizeof mi;
    std::wstring text = TextOf(item);
    mi.fMask = MIIM_STRING | MIIM_STATE;
    mi.dwTypeData = text.data();
    mi.fState = (item.Checked() ? MFS_CHECKED : 0) | (item.Enabled() ? MFS_ENABLED : MFS_DISABLED);
    SetMenuItemInfoW(p->parent, IdOf(item), FALSE, &mi);
    if (window_ && menuBar_) DrawMenuBar(window_);
}

void MenuRenderer::MenuItemChanged(MenuItem& item) {
    const Placed* p = Find(item);
    if (!p) return;
    // Showing or hiding an item changes the menu's shape; anything else is
    // changed in place.
    UINT id = IdOf(item);
    MENUITEMINFOW probe = {};
    probe.cbSize = sizeof probe;
    probe.fMask = MIIM_ID;
    bool present = GetMenuItemInfoW(p->parent, id, FALSE, &probe) != FALSE;
    if (present != item.Visible())
        Build();
    else if (present)
        Update(item);
}

}  // namespace ui
