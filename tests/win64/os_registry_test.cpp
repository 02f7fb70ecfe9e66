#include <doctest.h>
#include <windows.h>

#include "app/settings.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"
#include "support/saved_values.h"

using os::RegRoot;
using os::RegType;

namespace {
const std::string kScratch =
    "Software\\ZelmoraTests\\Registry" + std::to_string(GetCurrentProcessId());
}

TEST_CASE("values keep their real registry types") {
    auto reg = os::win32::MakeRegistry();
    app::DeleteRegKey(*reg, RegRoot::CurrentUser, kScratch, true);
    CHECK_FALSE(reg->KeyExists(RegRoot::CurrentUser, kScratch));
    CHECK(reg->WriteDword(RegRoot::CurrentUser, kScratch, "n", 0xFFFFFFFF));
    CHECK(reg->WriteString(RegRoot::CurrentUser, kScratch, "s", "Grüße \\\\srv"));
    CHECK(reg->WriteBinary(RegRoot::CurrentUser, kScratch, "b", {1, 2, 3, 4, 5, 6, 7, 8}));
    CHECK(reg->WriteString(RegRoot::CurrentUser, kScratch, "", "default"));

    HKEY k;
    REQUIRE(RegOpenKeyExW(HKEY_CURRENT_USER, os::win32::Wide(kScratch).c_str(), 0,
                          KEY_READ | KEY_WRITE, &k) == ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExW(k, L"n", nullptr, &type, nullptr, &size);
    CHECK(type == REG_DWORD);
    CHECK(size == 4);
    RegQueryValueExW(k, L"s", nullptr, &type, nullptr, &size);
    CHECK(type == REG_SZ);
    CHECK(size == (std::wstring(L"Grüße \\\\srv").size() + 1) * 2);  // with its terminator
    RegQueryValueExW(k, L"b", nullptr, &type, nullptr, &size);
    CHECK(type == REG_BINARY);
    RegSetValueExW(k, L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(L"a\0b\0"), 10);
    RegCloseKey(k);

    CHECK(reg->TypeOf(RegRoot::CurrentUser, kScratch, "n") == RegType::Dword);
    CHECK(reg->TypeOf(RegRoot::CurrentUser, kScratch, "s") == RegType::String);
    CHECK(reg->TypeOf(RegRoot::CurrentUser, kScratch, "b") == RegType::Binary);
    CHECK(reg->TypeOf(RegRoot::CurrentUser, kScratch, "multi") == RegType::Other);
    CHECK(reg->TypeOf(RegRoot::CurrentUser, kScratch, "none") == RegType::Missing);
    CHECK(app::ReadRegInteger(*reg, RegRoot::CurrentUser, kScratch, "n") == -1);
    CHECK(app::ReadRegInteger(*reg, RegRoot::CurrentUser, kScratch, "none") == -1);
    CHECK(app::ReadRegString(*reg, RegRoot::CurrentUser, kScratch, "s") == "Grüße \\\\srv");
    CHECK(app::ReadRegString(*reg, RegRoot::CurrentUser, kScratch, "") == "default");
    CHECK_FALSE(reg->ReadString(RegRoot::CurrentUser, kScratch, "n").has_value());
    CHECK(reg->ReadBinary(RegRoot::CurrentUser, kScratch, "b")->size() == 8);
    CHECK(app::DeleteRegKey(*reg, RegRoot::CurrentUser, kScratch, true));
}

TEST_CASE("settings survive a save and load through the real registry") {
    auto reg = os::win32::MakeRegistry();
    std::string key = kScratch + "\\Settings";
    app::Options o;
    app::SetDefaultOptions(o, 1000);
    o.UpdateInterval = 3;
    o.Column[2] = -1;
    o.Column[4] = 77;
    o.TipOfDayDate = 46367.0;
    o.EnabledDisks = "C:\r\n";
    REQUIRE(app::SaveOptions(*reg, key, o, "C:\\users"));
    for (auto& [name, type] : testdata::kSavedValues) {
        CAPTURE(name);
        CHECK(reg->TypeOf(RegRoot::CurrentUser, key, name) == type);
    }
    app::Options back;
    app::LoadReport report = app::LoadOptions(*reg, key, back, 1000, app::ToolsEnvironment{});
    CHECK(report.stoppedAt.empty());
    CHECK(back.UpdateInterval == 3);
    CHECK(back.Column[2] == -1);
    CHECK(back.Column[4] == 77);
    CHECK(back.TipOfDayDate == 46367.0);
    CHECK(back.EnabledDisks == "C:\r\n");

    // Subkeys: kept when asked, removed with the key otherwise.
    reg->WriteDword(RegRoot::CurrentUser, key + "\\Child\\Grandchild", "v", 1);
    CHECK_FALSE(app::DeleteRegKey(*reg, RegRoot::CurrentUser, key, false));
    CHECK(reg->KeyExists(RegRoot::CurrentUser, key + "\\Child\\Grandchild"));
    CHECK(app::DeleteRegKey(*reg, RegRoot::CurrentUser, kScratch, true));
    CHECK_FALSE(reg->KeyExists(RegRoot::CurrentUser, kScratch));
}
