#include <doctest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "app/main_messages.h"
#include "app/settings.h"
#include "os/win32/system.h"
#include "support/saved_values.h"
#include "support/zm_process.h"

using os::RegRoot;
using zmtest::Process;

namespace {

struct Clean {
    std::unique_ptr<os::Registry> reg = os::win32::MakeRegistry();
    Clean() {
        zmtest::EndRunningInstances();
        app::DeleteRegKey(*reg, RegRoot::CurrentUser, app::kSettingsKey, true);
    }
    ~Clean() { zmtest::EndRunningInstances(); }
};

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_CASE("ZM.exe starts, shows its window and saves every setting when closed") {
    Clean clean;
    Process zm;
    REQUIRE(zm.started);
    HWND main = zm.Window();
    REQUIRE(main);
    CHECK(zmtest::WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    wchar_t caption[64];
    GetWindowTextW(main, caption, 64);
    CHECK(std::wstring(caption) == L"Zelmora");
    // A first start marks itself at once.
    CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "OnceStarted") ==
          1);
    // The program tells others where it lives.
    std::string exe =
        app::ReadRegString(*clean.reg, RegRoot::LocalMachine,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZM.exe", "");
    CHECK(exe.find("ZM.exe") != std::string::npos);

    REQUIRE(zm.Close());
    CHECK(zm.ExitCode() == 0);
    for (auto& [name, type] : testdata::kSavedValues) {
        CAPTURE(name);
        CHECK(clean.reg->TypeOf(RegRoot::CurrentUser, app::kSettingsKey, name) == type);
    }
    CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey,
                              "UpdateInterval") == 10);
    CHECK(app::ReadRegString(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "EnabledDisks")
              .find("C:\r\n") != std::string::npos);
    CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "Visible") == 1);
}

TEST_CASE("a second start raises the first and ends without a window of its own") {
    Clean clean;
    Process first;
    HWND main = first.Window();
    REQUIRE(main);
    ShowWindow(main, SW_HIDE);
    CHECK(zmtest::WaitFor([&] { return !IsWindowVisible(main); }));

    Process second;
    REQUIRE(second.started);
    CHECK(second.Exited(15000));
    CHECK(second.ExitCode() == 0);
    CHECK(zmtest::WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    CHECK(zmtest::CountMainWindows() == 1);
    CHECK(first.Close());
}

TEST_CASE("/Reset asks first; No keeps the settings, Yes deletes them") {
    Clean clean;
    app::WriteRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "Sentinel", 7);
    app::WriteRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "OnceStarted", 1);
    {
        Process reset(L"/Reset");
        HWND box = zmtest::FindMessageBox();
        REQUIRE(box);
        CHECK(zmtest::MessageBoxText(box) == "Do you want to reset Zelmora settings?");
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        CHECK(reset.Exited(15000));
        CHECK(zmtest::MainWindow() == nullptr);
        CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey,
                                  "Sentinel") == 7);
    }
    // With an instance running, that one is closed first (and saves), then asked.
    Process running;
    REQUIRE(running.Window());
    Process reset(L"/Reset");
    CHECK(running.Exited(15000));
    CHECK(app::ReadRegString(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey,
                             "CurrentLanguage") == "zm_en.int");
    HWND box = zmtest::FindMessageBox();
    REQUIRE(box);
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    // The fresh start runs with defaults.
    REQUIRE(reset.Window());
    CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "Sentinel") ==
          -1);
    CHECK(reset.Close());
}

TEST_CASE("lower-case /reset and /Reset as a second argument are not the reset switch") {
    Clean clean;
    app::WriteRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, "Sentinel", 7);
    for (const wchar_t* args : {L"/reset", L"/x /Reset"}) {
        Process zm(args);
        CHECK(zm.Window());
        CHECK(zmtest::FindMessageBox(300) == nullptr);
        CHECK(zm.Close());
        CHECK(app::ReadRegInteger(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey,
                                  "Sentinel") == 7);
    }
}

TEST_CASE("/L writes the debug log, each line starting with the time") {
    Clean clean;
    const char* log = "C:\\zm.log";
    DeleteFileA(log);
    {
        Process quiet;
        REQUIRE(quiet.Window());
        CHECK(quiet.Close());
    }
    CHECK(GetFileAttributesA(log) == INVALID_FILE_ATTRIBUTES);

    Process zm(L"/L");
    REQUIRE(zm.Window());
    CHECK(zm.Close());
    std::string text = ReadFile(log);
    REQUIRE(!text.empty());
    CHECK(text.size() >= 2);
    CHECK(text.substr(text.size() - 2) == "\r\n");
    std::istringstream lines(text);
    std::string line;
    int n = 0;
    std::regex timed(R"(^\d\d:\d\d:\d\d .*\r$)");
    std::regex driveName(R"(^[A-Z]:\r$)");
    bool inNames = false;  // the catalogue's names follow their heading, one per line
    while (std::getline(lines, line)) {
        CAPTURE(line);
        if (std::regex_match(line, timed)) {
            inNames = line.find(" GetDisksList.Text = ") != std::string::npos;
        } else {
            CHECK(inNames);
            CHECK(std::regex_match(line, driveName));
        }
        ++n;
    }
    CHECK(n > 5);
    for (const char* entry : {" FormCreate\r", " /FormCreate\r", " FormShow\r", " /FormShow\r",
                              " LoadOptions\r", " FillDisks\r", " /AddDisks\r"}) {
        CAPTURE(entry);
        CHECK(text.find(entry) != std::string::npos);
    }
    DeleteFileA(log);
}

TEST_CASE("a restart request starts a new instance and the old one saves nothing") {
    Clean clean;
    Process old;
    HWND oldWindow = old.Window();
    REQUIRE(oldWindow);
    app::DeleteRegKey(*clean.reg, RegRoot::CurrentUser, app::kSettingsKey, true);
    PostMessageW(oldWindow, app::kWmRestart, 0, 0);
    CHECK(old.Exited(15000));
    HWND fresh = nullptr;
    CHECK(zmtest::WaitFor([&] { return (fresh = zmtest::MainWindow()) != nullptr; }));
    CHECK(fresh != oldWindow);
    CHECK(clean.reg->TypeOf(RegRoot::CurrentUser, app::kSettingsKey, "UpdateInterval") ==
          os::RegType::Missing);
    if (fresh) PostMessageW(fresh, WM_CLOSE, 0, 0);
    CHECK(zmtest::WaitFor([] { return zmtest::MainWindow() == nullptr; }));
    CHECK(clean.reg->TypeOf(RegRoot::CurrentUser, app::kSettingsKey, "UpdateInterval") ==
          os::RegType::Dword);
}
