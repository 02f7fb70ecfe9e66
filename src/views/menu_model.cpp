#include "views/menu_model.h"

#include <cmath>

namespace views {

MenuItem::MenuItem(std::string name, std::string caption, Command command, forms::Kind kind)
    : forms::Component(std::move(name), kind), command_(command) {
    SetCaption(std::move(caption));
}

void MenuItem::SetShortCut(std::string s) {
    if (s == shortcut_) return;
    shortcut_ = std::move(s);
    Notify();
}

void MenuItem::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    Notify();
}

void MenuItem::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Notify();
}

void MenuItem::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Notify();
}

void MenuItem::AddChild(MenuItem& child) {
    child.parent_ = this;
    children_.push_back(&child);
}

void MenuItem::RemoveChildren() {
    for (MenuItem* c : children_) c->parent_ = nullptr;
    children_.clear();
}

std::vector<MenuItem*> MainMenus::ItemsOf(Command c) const {
    std::vector<MenuItem*> out;
    for (MenuItem* m : all)
        if (m->GetCommand() == c) out.push_back(m);
    return out;
}

namespace {

// Adds items under a parent, naming separators N1, N2, ... as a form designer would.
class Builder {
  public:
    Builder(forms::Form& form, MainMenus& menus) : form_(form), menus_(menus) {}

    MenuItem& Root(const std::string& name, forms::Kind kind) {
        MenuItem& m = form_.Add<MenuItem>(name, "", Command::None, kind);
        menus_.all.push_back(&m);
        return m;
    }
    MenuItem& Item(MenuItem& parent, const std::string& name, const std::string& caption,
                   Command c = Command::None, const std::string& shortcut = "") {
        MenuItem& m = form_.Add<MenuItem>(name, caption, c);
        m.SetShortCut(shortcut);
        parent.AddChild(m);
        menus_.all.push_back(&m);
        return m;
    }
    void Separator(MenuItem& parent) {
        std::string name = std::to_string(++separators_);
        name.insert(name.begin(), 'N');
        Item(parent, name, "-");
    }

  private:
    forms::Form& form_;
    MainMenus& menus_;
    int separators_ = 0;
};

struct ItemDef {
    const char* suffix;
    const char* caption;
    Command command;
};

const ItemDef kColumns[] = {
    {"Label", "Disk &label", Command::ColumnLabel},
    {"Total", "&Capacity", Command::ColumnTotal},
    {"Occuped", "&Used", Command::ColumnOccuped},
    {"Free", "&Free", Command::ColumnFree},
    {"Available", "&Available", Command::ColumnAvailable},
    {"Percents", "&Percents", Command::ColumnPercents},
};

const ItemDef kScans[] = {
    {"Changes", "Disk &changes", Command::ScanChanges},
    {"FileDuplicates", "&Duplicate files", Command::ScanDuplicates},
    {"Search", "&Free disk space", Command::ScanFreeSpace},
};

const ItemDef kLatest[] = {
    {"ChangesReport", "File system changes", Command::ReportChanges},
    {"DuplicatesReport", "File duplicates", Command::ReportDuplicates},
    {"MoreSpaceReport", "More space search", Command::ReportFreeSpace},
};

void AddColumns(Builder& b, MenuItem& parent, const std::string& prefix) {
    for (const ItemDef& d : kColumns) b.Item(parent, prefix + d.suffix, d.caption, d.command);
}

void AddReports(Builder& b, MenuItem& parent, const std::string& prefix,
                const std::string& latestName) {
    for (const ItemDef& d : kScans) b.Item(parent, prefix + d.suffix, d.caption, d.command);
    b.Separator(parent);
    MenuItem& latest = b.Item(parent, latestName, "View latest results");
    for (const ItemDef& d : kLatest) b.Item(latest, prefix + d.suffix, d.caption, d.command);
}

void AddShowAs(Builder& b, MenuItem& parent, const std::string& prefix) {
    MenuItem& showAs = b.Item(parent, prefix + "ShowAs", "Show as");
    b.Item(showAs, prefix + "List", "Classic", Command::ViewClassic).SetRadioGroup(1);
    b.Item(showAs, prefix + "Sticker", "Sticker", Command::ViewSticker).SetRadioGroup(1);
    MenuItem& pies = b.Item(showAs, prefix + "Pies", "Pies", Command::ViewPies);
    pies.SetRadioGroup(1);
    pies.SetVisible(false);
}

// Items named after the opacity they give: "None" is full opacity.
void AddTransparency(Builder& b, MenuItem& parent, const std::string& name,
                     const std::string& itemPrefix) {
    MenuItem& t = b.Item(parent, name, "Transparency");
    for (int tag = 0; tag <= 10; ++tag) {
        std::string caption = tag == 0 ? "None" : std::to_string(tag * 10) + "%";
        MenuItem& m = b.Item(t, itemPrefix + std::to_string(OpacityOfLevel(tag)), caption,
                             Command::Transparency);
        m.SetTag(tag);
        m.SetRadioGroup(11);
        if (tag == 10) m.SetVisible(false);
    }
}

}  // namespace

MainMenus BuildMainMenus(forms::Form& form, const std::string& stayOnTopShortCut,
                         const std::string& hideToTrayShortCut) {
    MainMenus menus;
    Builder b(form, menus);

    MenuItem& pm = b.Root("pmMain", forms::Kind::PopupMenu);
    menus.pmMain = &pm;
    AddColumns(b, b.Item(pm, "pmiView", "&Columns"), "pmi");
    menus.pmiTools = &b.Item(pm, "pmiTools", "&Tools");
    menus.pmiTools->SetSubmenu(true);
    AddReports(b, b.Item(pm, "pmiReports", "&Reports"), "pmi", "miShowReports");
    MenuItem& ntf = b.Item(pm, "pmiNotifications", "&Notifications");
    b.Item(ntf, "pmiNTFAdd", "&Add...", Command::NotificationAdd);
    b.Item(ntf, "pmiNTFEdit", "&Edit...", Command::NotificationEdit);
    b.Item(pm, "pmiVisualDisk", "&Visual Disk", Command::VisualDisk).SetVisible(false);
    b.Separator(pm);
    b.Item(pm, "pmiClickthrough", "Click-through mode", Command::ClickThrough);
    b.Item(pm, "pmiStayOnTop", "&Stay on top", Command::StayOnTop, stayOnTopShortCut);
    b.Item(pm, "pmiHidetotray", "Hide to tray", Command::HideToTray, hideToTrayShortCut);
    AddShowAs(b, pm, "pmi");
    AddTransparency(b, pm, "pmiTransparency", "pmit");
    b.Separator(pm);
    b.Item(pm, "pmiHelp", "&Help", Command::Help, "F1");
    b.Item(pm, "pmiShowTips", "Sho&w tips...", Command::ShowTips);
    b.Item(pm, "pmiShowTutorial", "Show t&utorial", Command::ShowTutorial);
    b.Separator(pm);
    b.Item(pm, "pmiAbout", "&About program...", Command::About);
    b.Item(pm, "pmiOptions", "&Options...", Command::Options, "F10");
    b.Separator(pm);
    b.Item(pm, "pmiExit", "E&xit", Command::Exit, "Alt+X");

    MenuItem& mm = b.Root("MainMenu", forms::Kind::MainMenu);
    menus.MainMenu = &mm;
    MenuItem& file = b.Item(mm, "miFile", "&File");
    b.Item(file, "miExit", "E&xit", Command::Exit, "Alt+X");
    MenuItem& view = b.Item(mm, "miView", "&View");
    AddShowAs(b, view, "mi");
    AddTransparency(b, view, "miTransparency", "mit");
    AddColumns(b, b.Item(view, "miColumns", "&Columns"), "mi");
    b.Separator(view);
    b.Item(view, "miClickthrough", "Click-through mode", Command::ClickThrough);
    b.Item(view, "miStayOnTop", "&Stay on top", Command::StayOnTop, stayOnTopShortCut);
    b.Item(view, "miHidetotray", "Hide to tray", Command::HideToTray, hideToTrayShortCut);
    MenuItem& mntf = b.Item(mm, "miNotifications", "&Notifications");
    b.Item(mntf, "miNTFAdd", "&Add...", Command::NotificationAdd);
    b.Item(mntf, "miNTFEdit", "&Edit...", Command::NotificationEdit);
    MenuItem& tools = b.Item(mm, "miTools", "&Tools");
    AddReports(b, b.Item(tools, "miReports", "&Reports"), "mi", "miViewResults");
    b.Separator(tools);
    b.Item(tools, "miOptions", "&Options...", Command::Options, "F10");
    MenuItem& help = b.Item(mm, "miHelp", "&Help");
    b.Item(help, "miContents", "&Contents", Command::Help, "F1");
    b.Item(help, "miShowTips", "Sho&w tips...", Command::ShowTips);
    b.Item(help, "miShowTutorial", "Show t&utorial", Command::ShowTutorial);
    b.Separator(help);
    b.Item(help, "miAbout", "&About program...", Command::About);
    menus.headings = {&file, &view, &mntf, &tools, &help};
    return menus;
}

int OpacityOfLevel(int tag) {
    return 100 - 10 * tag;
}

int LevelOfOpacity(int opacity) {
    return static_cast<int>(std::nearbyint((100 - opacity) / 10.0));
}

std::string LatestResultsCaption(const std::string& scanCaption, const std::string& dateTime) {
    return dateTime.empty() ? scanCaption : scanCaption + " (" + dateTime + ")";
}

}  // namespace views
