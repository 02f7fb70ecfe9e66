#include <doctest.h>

#include <set>

#include "views/forms/form_model.h"
#include "views/menu_model.h"

using forms::Component;
using forms::Form;
using forms::Kind;

namespace {

// A component that counts what a window would have to show.
struct Shown : Component {
    Shown(std::string n, Kind k) : Component(std::move(n), k) {}
    int captions = 0, items = 0;
    forms::FontSpec font;
    void SetFont(const forms::FontSpec& f) override { font = f; }

  protected:
    void CaptionChanged() override { ++captions; }
    void ItemsChanged() override { ++items; }
};

}  // namespace

TEST_CASE("forms keep their components in creation order and find them by name") {
    forms::Application app;
    {
        Form dialog("dlgAdvanced", &app);
        Form other("dlgOptions", &app);
        auto& label = dialog.Add<Shown>("lblSMTP", Kind::Label);
        auto& list = dialog.Add<Shown>("lvConditions", Kind::ListView);
        auto& own = dialog.Add<Shown>("edtPath", Kind::Edit);
        own.SetTag(forms::kTagOwnFont);
        REQUIRE(app.Forms().size() == 2);
        CHECK(app.Forms()[0] == &dialog);
        CHECK(app.Find("DLGOPTIONS") == &other);
        CHECK(app.Find("dlgMissing") == nullptr);
        CHECK(dialog.Find("LBLsmtp") == &label);
        CHECK(other.Find("lblSMTP") == nullptr);  // each form owns its own
        std::vector<std::string> names;
        for (const auto& c : dialog.Components()) names.push_back(c->Name());
        CHECK(names == std::vector<std::string>{"lblSMTP", "lvConditions", "edtPath"});

        label.SetCaption("&SMTP server address:");
        CHECK(label.Caption() == "&SMTP server address:");
        CHECK(label.captions == 1);
        // Items: entries past the end are not created.
        list.SetItems({"Condition"});
        CHECK(list.SetItem(0, "Bedingung"));
        CHECK_FALSE(list.SetItem(1, "extra"));
        CHECK_FALSE(list.SetItem(-1, "extra"));
        CHECK(list.Items() == std::vector<std::string>{"Bedingung"});
        CHECK(list.items == 2);

        // The form's font reaches every control but those that keep their own.
        dialog.SetFont({1, "Arial", 9});
        CHECK(label.font.name == "Arial");
        CHECK(own.font.name.empty());

        dialog.Remove(list);
        CHECK(dialog.Find("lvConditions") == nullptr);
        CHECK(dialog.Components().size() == 2);
    }
    CHECK(app.Forms().empty());  // a freed form leaves the application
}

TEST_CASE("the main menus: named items in order, twins with one command") {
    Form main("MainForm");
    views::MainMenus m = views::BuildMainMenus(main, "Ctrl+F12", "Ctrl+F11");
    std::vector<std::string> top;
    for (views::MenuItem* i : m.pmMain->Children()) top.push_back(i->Name());
    CHECK(top == std::vector<std::string>{"pmiView",
                                          "pmiTools",
                                          "pmiReports",
                                          "pmiNotifications",
                                          "pmiVisualDisk",
                                          "N2",
                                          "pmiClickthrough",
                                          "pmiStayOnTop",
                                          "pmiHidetotray",
                                          "pmiShowAs",
                                          "pmiTransparency",
                                          "N3",
                                          "pmiHelp",
                                          "pmiShowTips",
                                          "pmiShowTutorial",
                                          "N4",
                                          "pmiAbout",
                                          "pmiOptions",
                                          "N5",
                                          "pmiExit"});
    std::vector<std::string> headings;
    for (views::MenuItem* i : m.MainMenu->Children()) headings.push_back(i->Caption());
    CHECK(headings ==
          std::vector<std::string>{"&File", "&View", "&Notifications", "&Tools", "&Help"});

    // Every component name is unique on the form, so a language file can
    // address each one.
    std::set<std::string> names;
    for (const auto& c : main.Components()) CHECK(names.insert(c->Name()).second);

    // Each command sits in both menus (the hidden Visual Disk item only in the
    // pop-up), so a click on either twin does the same.
    auto under = [](views::MenuItem* item, views::MenuItem* root) {
        for (; item; item = item->Parent())
            if (item == root) return true;
        return false;
    };
    for (int c = 1; c <= static_cast<int>(views::Command::Exit); ++c) {
        auto command = static_cast<views::Command>(c);
        CAPTURE(c);
        int inPopup = 0, inBar = 0;
        for (views::MenuItem* i : m.ItemsOf(command)) (under(i, m.pmMain) ? inPopup : inBar) += 1;
        CHECK(inPopup == (command == views::Command::Transparency ? 11 : 1));
        CHECK(inBar == (command == views::Command::VisualDisk ? 0 : inPopup));
    }

    auto item = [&](const char* name) { return dynamic_cast<views::MenuItem*>(main.Find(name)); };
    CHECK(item("pmiStayOnTop")->ShortCut() == "Ctrl+F12");
    CHECK(item("miHidetotray")->ShortCut() == "Ctrl+F11");
    CHECK(item("pmiExit")->ShortCut() == "Alt+X");
    CHECK(item("miContents")->ShortCut() == "F1");
    CHECK(item("miOptions")->ShortCut() == "F10");
    CHECK(item("pmiList")->RadioGroup() == 1);
    CHECK_FALSE(item("pmiPies")->Visible());
    CHECK_FALSE(item("miPies")->Visible());
    CHECK_FALSE(item("pmiVisualDisk")->Visible());
    CHECK(item("pmiTools")->IsSubmenu());
    // Transparency: "None" gives full opacity, the hidden "100%" none at all.
    CHECK(item("pmit100")->Caption() == "None");
    CHECK(item("pmit100")->Tag() == 0);
    CHECK(item("mit10")->Caption() == "90%");
    CHECK(item("mit0")->Tag() == 10);
    CHECK_FALSE(item("mit0")->Visible());
    CHECK(item("mit50")->RadioGroup() == 11);
    CHECK(item("miShowReports")->Parent() == item("pmiReports"));
    CHECK(item("pmiMoreSpaceReport")->Parent() == item("miShowReports"));
}

TEST_CASE("transparency levels and the latest-results captions") {
    CHECK(views::OpacityOfLevel(0) == 100);
    CHECK(views::OpacityOfLevel(2) == 80);
    CHECK(views::LevelOfOpacity(80) == 2);
    CHECK(views::LevelOfOpacity(85) == 2);  // 1.5 rounds to the even 2
    CHECK(views::LevelOfOpacity(75) == 2);  // 2.5 as well
    CHECK(views::LevelOfOpacity(100) == 0);
    CHECK(views::LatestResultsCaption("&Free disk space", "") == "&Free disk space");
    CHECK(views::LatestResultsCaption("&Free disk space", "3/4/2026 09:05:07") ==
          "&Free disk space (3/4/2026 09:05:07)");
}
