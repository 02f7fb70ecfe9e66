// The main window's two menus as named components: the pop-up menu pmMain and
// the menu bar MainMenu. Every command exists in both with one handler, so
// items carry a command and the twins are found by it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "views/forms/form_model.h"

namespace views {

enum class Command {
    None,  // a submenu heading or a separator
    ColumnLabel,
    ColumnTotal,
    ColumnOccuped,
    ColumnFree,
    ColumnAvailable,
    ColumnPercents,
    ScanChanges,
    ScanDuplicates,
    ScanFreeSpace,
    ReportChanges,
    ReportDuplicates,
    ReportFreeSpace,
    NotificationAdd,
    NotificationEdit,
    VisualDisk,
    ClickThrough,
    StayOnTop,
    HideToTray,
    ViewClassic,
    ViewSticker,
    ViewPies,
    Transparency,  // the level is the item's tag
    Help,
    ShowTips,
    ShowTutorial,
    About,
    Options,
    Exit,
};

class MenuItem;

// Told when an item's state changes, so that a rendered menu can follow.
class MenuObserver {
  public:
    virtual ~MenuObserver() = default;
    virtual void MenuItemChanged(MenuItem& item) = 0;
};

class MenuItem : public forms::Component {
  public:
    MenuItem(std::string name, std::string caption, Command command = Command::None,
             forms::Kind kind = forms::Kind::MenuItem);

    Command GetCommand() const { return command_; }
    bool IsSeparator() const { return Caption() == "-"; }
    const std::string& ShortCut() const { return shortcut_; }
    void SetShortCut(std::string s);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    // Items of one radio group (non-zero) show a round mark.
    int RadioGroup() const { return radioGroup_; }
    void SetRadioGroup(int g) { radioGroup_ = g; }

    // A submenu heading, also while it has no items (the tools menu).
    bool IsSubmenu() const { return submenu_ || !children_.empty(); }
    void SetSubmenu(bool on) { submenu_ = on; }

    MenuItem* Parent() const { return parent_; }
    const std::vector<MenuItem*>& Children() const { return children_; }
    void AddChild(MenuItem& child);
    void RemoveChildren();

    void SetObserver(MenuObserver* o) { observer_ = o; }

  protected:
    void CaptionChanged() override { Notify(); }

  private:
    void Notify() {
        if (observer_) observer_->MenuItemChanged(*this);
    }
    Command command_;
    std::string shortcut_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int radioGroup_ = 0;
    bool submenu_ = false;
    MenuItem* parent_ = nullptr;
    std::vector<MenuItem*> children_;
    MenuObserver* observer_ = nullptr;
};

struct MainMenus {
    MenuItem* pmMain = nullptr;    // root of the pop-up menu
    MenuItem* MainMenu = nullptr;  // root of the menu bar
    MenuItem* pmiTools = nullptr;  // the user's tools go here
    // Every item with this command, in both menus.
    std::vector<MenuItem*> ItemsOf(Command c) const;
    std::vector<MenuItem*> all;
    // The five headings of the menu bar, for the minimum window width.
    std::vector<MenuItem*> headings;
};

// Creates both menus as components of the form, item by item.
MainMenus BuildMainMenus(forms::Form& form, const std::string& stayOnTopShortCut,
                         const std::string& hideToTrayShortCut);

// Transparency levels: tag t gives opacity 100 - 10 t; the item whose tag is
// the stored opacity's level is checked.
int OpacityOfLevel(int tag);
int LevelOfOpacity(int opacity);

// Caption of a "View latest results" item: the scan's caption alone, or with
// the report file's date and time in parentheses.
std::string LatestResultsCaption(const std::string& scanCaption, const std::string& dateTime);

}  // namespace views
