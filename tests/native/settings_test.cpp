#include <doctest.h>

#include <cstring>

#include "app/settings.h"
#include "fakes/fake_registry.h"
#include "intl/messages.h"
#include "support/saved_values.h"

using app::Options;
using fakes::FakeRegistry;
using os::RegRoot;
using os::RegType;

namespace {

const std::string kKey = "Software\\Test\\Zelmora";
constexpr RegRoot kUser = RegRoot::CurrentUser;

app::ToolsEnvironment NoTools() {
    app::ToolsEnvironment env;
    env.majorVersion = 10;
    return env;
}

Options Load(FakeRegistry& reg, app::LoadReport* report = nullptr) {
    Options o;
    app::LoadReport r = app::LoadOptions(reg, kKey, o, 1280, NoTools());
    if (report) *report = r;
    return o;
}

}  // namespace

TEST_CASE("with no key every setting keeps its default") {
    FakeRegistry reg;
    app::LoadReport report;
    Options o = Load(reg, &report);
    CHECK_FALSE(report.keyFound);
    CHECK(o.ShowIn == 3);
    CHECK(o.UpdateInterval == 10);
    CHECK(o.CurrentLanguage == "zm_en.int");
    CHECK(o.Left == 1280 - 370);
    CHECK(o.Top == 0);
    CHECK(o.TipOfDayDate == -1.0);
    CHECK(o.StickerColor == 0xD2FFFF);
    CHECK(o.BarColor1 == 0x35EEFB);
    CHECK(o.Visible);
    CHECK(o.Column[6] == -1);
    CHECK(o.StickerFontName == "TAHOMA");
}

TEST_CASE("saving writes every value with its type, and loading reads them back") {
    FakeRegistry reg;
    Options o;
    app::SetDefaultOptions(o, 1280);
    o.ShowLabels = true;
    o.ShowIn = 2;
    o.BarLimit1 = 30;
    o.BarUnits2 = 1;
    o.ToolsString = "Cleaner|C:\\c.exe| |TRUE||";
    o.EnabledDisks = "C:\r\nD:\r\n";
    o.ViewMode = 1;
    o.StickerFontSize = 7;
    o.TipOfDayDate = 46000.0;
    o.SMTPPassword = app::EncodePassword("secret");
    o.PieLabelFont.Size = 12;
    o.NtfConditions = "anything";
    o.Column = {100, -1, 60, -1, -1, -1, 90};
    o.Transparency = 80;
    o.Visible = false;
    REQUIRE(app::SaveOptions(reg, kKey, o, "D:\\Data\r\n\\\\srv\\share"));

    for (auto& [name, type] : testdata::kSavedValues) {
        CAPTURE(name);
        CHECK(reg.TypeOf(kUser, kKey, name) == type);
    }
    CHECK(reg.ValueCount(kUser, kKey) == std::size(testdata::kSavedValues));
    CHECK(reg.ReadDword(kUser, kKey, "Column_1") == 0xFFFFFFFFu);
    CHECK(reg.ReadString(kUser, kKey, "FoldersList") == "D:\\Data\r\n\\\\srv\\share");
    CHECK(reg.ReadDword(kUser, kKey, "Transparency") == 80u);

    Options back = Load(reg);
    CHECK(back.ShowLabels);
    CHECK(back.ShowIn == 2);
    CHECK(back.BarLimit1 == 30);
    CHECK(back.BarUnits2 == 1);
    CHECK(back.ToolsString == o.ToolsString);
    CHECK(back.EnabledDisks == o.EnabledDisks);
    CHECK(back.ViewMode == 1);
    CHECK(back.StickerFontName == "SMALL FONTS");
    CHECK(back.TipOfDayDate == 46000.0);
    CHECK(app::DecodePassword(back.SMTPPassword) == "secret");
    CHECK(back.PieLabelFont.Size == 12);
    CHECK(back.NtfConditions == "anything");
    CHECK(back.Column == o.Column);
    CHECK_FALSE(back.Visible);
}

TEST_CASE("narrow fields keep their low bits") {
    FakeRegistry reg;
    reg.WriteDword(kUser, kKey, "UpdateInterval", 65536 + 7);
    reg.WriteDword(kUser, kKey, "BarUnits1", 0x101);
    reg.WriteDword(kUser, kKey, "StickerFontSize", 0x10008);
    reg.WriteDword(kUser, kKey, "Column_3", 0xFFFFFFFF);
    Options o = Load(reg);
    CHECK(o.UpdateInterval == 7);
    CHECK(o.BarUnits1 == 1);
    CHECK(o.StickerFontSize == 8);
    CHECK(o.Column[3] == -1);
}

TEST_CASE("a value of the wrong type ends the load there") {
    FakeRegistry reg;
    reg.WriteDword(kUser, kKey, "ShowIn", 1);
    reg.WriteString(kUser, kKey, "UseColors", "yes");  // should be a number
    reg.WriteDword(kUser, kKey, "BarColor", 0x123456);
    reg.WriteDword(kUser, kKey, "UpdateInterval", 5);
    app::LoadReport report;
    Options o = Load(reg, &report);
    CHECK(report.stoppedAt == "UseColors");
    CHECK(o.ShowIn == 1);           // read before the bad value
    CHECK(o.BarColor == 0x43E63A);  // after it: defaults
    CHECK(o.UpdateInterval == 10);
    CHECK(o.ToolsString.empty());  // no default tools on this version

    FakeRegistry other;
    other.SetOther(kUser, kKey, "CloseZM");  // a type the store never writes
    other.WriteDword(kUser, kKey, "ShowFree", 0);
    Options p = Load(other, &report);
    CHECK(report.stoppedAt == "CloseZM");
    CHECK(p.ShowFree);

    FakeRegistry shortDate;  // a date that is not eight bytes
    shortDate.WriteBinary(kUser, kKey, "TipOfDayDate", {1, 2, 3});
    shortDate.WriteDword(kUser, kKey, "DisplaySplash", 0);
    Options q = Load(shortDate, &report);
    CHECK(report.stoppedAt == "TipOfDayDate");
    CHECK(q.DisplaySplash);
}

TEST_CASE("ViewMode wins over StickerView, which counts only when ViewMode is missing") {
    struct {
        int viewMode;  // -1: missing
        int stickerView;
        int expected;
    } cases[] = {{-1, 1, 1}, {-1, 0, 0}, {-1, 5, 1}, {0, 1, 0}, {2, 0, 2}, {-1, -1, 0}};
    for (auto& c : cases) {
        FakeRegistry reg;
        reg.CreateKey(kUser, kKey);
        if (c.viewMode >= 0) reg.WriteDword(kUser, kKey, "ViewMode", c.viewMode);
        if (c.stickerView >= 0) reg.WriteDword(kUser, kKey, "StickerView", c.stickerView);
        CAPTURE(c.viewMode);
        CAPTURE(c.stickerView);
        CHECK(Load(reg).ViewMode == c.expected);
    }
}

TEST_CASE("the pies font is read only as a whole") {
    FakeRegistry reg;
    reg.WriteString(kUser, kKey, "PieLabelFont.FontName", "Arial");
    reg.WriteDword(kUser, kKey, "PieLabelFont.Color", 7);
    reg.WriteDword(kUser, kKey, "PieLabelFont.CharSet", 0);
    reg.WriteDword(kUser, kKey, "PieLabelFont.Style", 2);  // Size is missing
    reg.WriteString(kUser, kKey, "NtfConditions", "stored");
    reg.WriteDword(kUser, kKey, "Column_0", 50);
    app::LoadReport report;
    Options o = Load(reg, &report);
    CHECK(report.stoppedAt == "PieLabelFont.Size");
    CHECK(o.PieLabelFont.FontName == "Arial");
    CHECK(o.PieLabelFont.Color == 7);
    CHECK(o.NtfConditions.empty());
    CHECK(o.Column[0] == -1);

    FakeRegistry none;  // without the name the other four are not looked at
    none.WriteDword(kUser, kKey, "PieLabelFont.Size", 30);
    none.WriteDword(kUser, kKey, "Column_0", 50);
    Options p = Load(none, &report);
    CHECK(report.stoppedAt.empty());
    CHECK(p.PieLabelFont.Size == 10);
    CHECK(p.Column[0] == 50);
}

TEST_CASE("an empty tools list is replaced by the default tools of the system") {
    FakeRegistry reg;
    reg.WriteString(kUser, kKey, "ToolsString", "");
    app::ToolsEnvironment xp;
    xp.platformNT = true;
    xp.majorVersion = 5;
    xp.systemFolder = "C:\\WINDOWS\\system32\\";
    xp.fileExists = [](const std::string& p) { return p.find("dfrg.msc") == std::string::npos; };
    Options o;
    app::LoadOptions(reg, kKey, o, 800, xp);
    intl::InstallBuiltInMessages();
    // Tested in the order defragmenter, cleaner, management; each found one goes
    // in front, so the last found comes first.
    CHECK(o.ToolsString ==
          "Disk Management|C:\\WINDOWS\\system32\\diskmgmt.msc|C:\\WINDOWS\\system32\\dmdskres.dll|"
          "FALSE||Clean Manager|C:\\WINDOWS\\system32\\Cleanmgr.exe| |TRUE||");

    app::ToolsEnvironment me;
    me.platformNT = false;
    me.windowsFolder = "C:\\WINDOWS\\";
    me.fileExists = [](const std::string&) { return true; };
    CHECK(app::GetToolsList(me) ==
          "Clean Manager|C:\\WINDOWS\\Cleanmgr.exe| |TRUE||Disk Defragmenter|C:\\WINDOWS\\"
          "Defrag.exe| |TRUE||Scan Disk|C:\\WINDOWS\\Scandskw.exe| |TRUE||");
    app::ToolsEnvironment ten = me;
    ten.platformNT = true;
    ten.majorVersion = 10;
    ten.systemFolder = "C:\\Windows\\System32\\";
    CHECK(app::GetToolsList(ten).empty());
}

TEST_CASE("letter encoding of the password") {
    CHECK(app::NibbleEncode("ab") == "BGCG");
    CHECK(app::NibbleDecode("BGCG") == "ab");
    // Characters up to '@' are skipped, an odd last letter is ignored.
    CHECK(app::NibbleDecode("BG CG@B") == "ab");
    CHECK(app::NibbleDecode("") == "");
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    CHECK(app::NibbleDecode(app::NibbleEncode(all)) == all);
    CHECK(app::EncodePassword("ab") == app::NibbleEncode("ba"));
    CHECK(app::DecodePassword(app::EncodePassword("pa55 word")) == "pa55 word");
}

TEST_CASE("single values and key deletion") {
    FakeRegistry reg;
    CHECK(app::ReadRegInteger(reg, kUser, kKey, "Missing") == -1);
    CHECK(app::ReadRegString(reg, kUser, kKey, "Missing") == "");
    CHECK(app::WriteRegInteger(reg, kUser, kKey, "OnceStarted", 1));
    CHECK(app::ReadRegInteger(reg, kUser, kKey, "OnceStarted") == 1);
    CHECK(app::WriteRegString(reg, RegRoot::LocalMachine, "App\\Paths", "", "C:\\ZM.exe"));
    CHECK(app::ReadRegString(reg, RegRoot::LocalMachine, "App\\Paths", "") == "C:\\ZM.exe");

    reg.WriteDword(kUser, kKey + "\\Sub\\Deeper", "x", 1);
    reg.WriteDword(kUser, kKey + "\\Other", "y", 1);
    // Asked to keep subkeys, a key that has some is left alone.
    CHECK_FALSE(app::DeleteRegKey(reg, kUser, kKey, false));
    CHECK(reg.KeyExists(kUser, kKey + "\\Sub\\Deeper"));
    CHECK(app::DeleteRegKey(reg, kUser, kKey + "\\Other", false));
    CHECK(app::ResetOptions(reg, kKey));
    CHECK_FALSE(reg.KeyExists(kUser, kKey));
    CHECK_FALSE(reg.KeyExists(kUser, kKey + "\\Sub"));
    CHECK_FALSE(app::DeleteRegKey(reg, kUser, kKey, true));  // already gone

    // A subkey that cannot go is skipped; its siblings still go, the key stays.
    reg.WriteDword(kUser, kKey + "\\A", "x", 1);
    reg.WriteDword(kUser, kKey + "\\B", "x", 1);
    reg.WriteDword(kUser, kKey + "\\C", "x", 1);
    reg.undeletable.insert("hkcu\\" + std::string("software\\test\\zelmora\\b"));
    CHECK_FALSE(app::DeleteRegKey(reg, kUser, kKey, true));
    CHECK_FALSE(reg.KeyExists(kUser, kKey + "\\A"));
    CHECK(reg.KeyExists(kUser, kKey + "\\B"));
    CHECK_FALSE(reg.KeyExists(kUser, kKey + "\\C"));
}

TEST_CASE("a key that cannot be written gets nothing") {
    FakeRegistry reg;
    reg.failWrites = true;
    Options o;
    CHECK_FALSE(app::SaveOptions(reg, kKey, o, ""));
    CHECK_FALSE(reg.KeyExists(kUser, kKey));
}

TEST_CASE("after a load that stopped early, saving keeps what the load never read") {
    FakeRegistry reg;
    reg.WriteString(kUser, kKey, "ShowFree", "broken");  // wrong type, early in the order
    reg.WriteDword(kUser, kKey, "UpdateInterval", 2);
    reg.WriteString(kUser, kKey, "NtfConditions", "the user's conditions");
    reg.WriteDword(kUser, kKey, "Column_2", 70);
    reg.WriteDword(kUser, kKey, "BarLimit1", 40);
    app::LoadReport report;
    Options o = Load(reg, &report);
    REQUIRE(report.stoppedAt == "ShowFree");
    REQUIRE(report.unread);
    CHECK(o.UpdateInterval == 10);  // the running program uses the defaults
    CHECK(o.NtfConditions.empty());

    o.BarLimit1 = 33;  // the user changes one of them on purpose
    REQUIRE(app::SaveOptions(reg, kKey, o, "", &*report.unread));
    CHECK(reg.TypeOf(kUser, kKey, "ShowFree") == RegType::Dword);  // mended
    CHECK(reg.ReadDword(kUser, kKey, "UpdateInterval") == 2u);
    CHECK(reg.ReadString(kUser, kKey, "NtfConditions") == "the user's conditions");
    CHECK(reg.ReadDword(kUser, kKey, "Column_2") == 70u);
    CHECK(reg.ReadDword(kUser, kKey, "BarLimit1") == 33u);
    CHECK(reg.TypeOf(kUser, kKey, "Column_3") == RegType::Missing);
    CHECK(reg.ReadDword(kUser, kKey, "CloseZM") == 1u);  // read before the stop: written

    // The next start reads everything again.
    Options next = Load(reg, &report);
    CHECK(report.stoppedAt.empty());
    CHECK(next.UpdateInterval == 2);
    CHECK(next.NtfConditions == "the user's conditions");
    CHECK(next.Column[2] == 70);
    CHECK(next.BarLimit1 == 33);
}
