// The ways of delivery on the system: jobs that start programs and send
// e-mail, the WinPopup record, the sound command, the event-log writer, and
// the whole road of an event-log notification through the main window.
#include <doctest.h>

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/main_messages.h"
#include "app/settings.h"
#include "app/win32/main_form.h"
#include "app/win32/program.h"
#include "common/text.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_volumes.h"
#include "intl/messages.h"
#include "notify/delivery_rules.h"
#include "notify/win32/delivery_ways.h"
#include "notify/win32/event_log.h"
#include "notify/win32/exec_ntf.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"

using namespace std::chrono_literals;
using os::win32::Utf8;
using os::win32::Wide;
namespace fs = std::filesystem;

namespace {

// Started as "--zm-leave-file <path>", this program only leaves that file:
// it is the program that the "Execute application" job runs.
const bool kRunAsHelper = [] {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc == 3 && std::wstring(argv[1]) == L"--zm-leave-file") {
        fs::path mark(argv[2]);
        std::ofstream(mark.string() + ".tmp", std::ios::binary) << "ran\n";
        fs::rename(mark.string() + ".tmp", mark);
        ExitProcess(0);
    }
    return false;
}();

std::string ThisProgram() {
    wchar_t buf[MAX_PATH];
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return Utf8(buf);
}

fs::path TempFolder(const char* name) {
    fs::path p = fs::temp_directory_path() /
                 (std::string(name) + "-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

template <class Pred>
bool WaitFor(Pred done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::shared_ptr<notify::JobLink> StartJob(int way, const std::string& param,
                                          const std::string& text,
                                          notify::win32::MailOrder mail = {}) {
    auto job = std::make_unique<notify::win32::TExecNtf>();
    job->Way = way;
    job->Param = param;
    job->Text = text;
    job->Mail = std::move(mail);
    job->Condition = std::make_shared<notify::JobLink>();
    auto link = job->Condition;
    REQUIRE(notify::win32::TExecNtf::Start(std::move(job)));
    return link;
}

}  // namespace

TEST_CASE("the execute job starts the program, which leaves its file") {
    fs::path folder = TempFolder("zm-exec");
    fs::path mark = folder / "mark.txt";
    // A full path is started as it is, arguments and all.
    std::string command = "\"" + ThisProgram() + "\" --zm-leave-file \"" + mark.string() + "\"";
    REQUIRE(notify::win32::CommandLineFor(command) == command);
    auto link = StartJob(notify::kWayExecute, command, "ignored");
    CHECK(WaitFor([&] { return !link->running; }, 10s));
    CHECK(WaitFor([&] { return fs::exists(mark); }, 20s));
    CHECK(ReadFile(mark) == "ran\n");
    fs::remove_all(folder);
}

TEST_CASE("a bare program name is looked for along the search path with .exe") {
    std::string system = notify::win32::WindowsFolder() + "\\system32\\cmd.exe";
    for (const char* name : {"cmd", "cmd.exe"}) {
        CAPTURE(name);
        std::string found = notify::win32::CommandLineFor(name);
        CHECK(text::EqualsIgnoreCase(found, system));
    }
    for (const char* unchanged : {"zm-no-such-program", "cmd /c exit", "C:\\Tools\\tool.exe", ""})
        CHECK(notify::win32::CommandLineFor(unchanged) == unchanged);
}

TEST_CASE("a sound without a folder plays from MEDIA, a path with blanks by its short name") {
    CHECK(notify::win32::SoundCommandFor("zm-ding.wav") ==
          "play " + notify::win32::WindowsFolder() + "\\MEDIA\\zm-ding.wav");
    fs::path folder = TempFolder("zm-sound") / "my sounds";
    fs::create_directories(folder);
    fs::path file = folder / "low disk space.wav";
    std::ofstream(file) << "RIFF";
    std::string command = notify::win32::SoundCommandFor(file.string());
    REQUIRE(command.rfind("play ", 0) == 0);
    std::string shortPath = command.substr(5);
    CHECK(shortPath.find(' ') == std::string::npos);
    wchar_t longPath[MAX_PATH];
    REQUIRE(GetLongPathNameW(Wide(shortPath).c_str(), longPath, MAX_PATH));
    CHECK(fs::equivalent(fs::path(longPath), file));
    fs::remove_all(folder.parent_path());
}

TEST_CASE("a WinPopup message is one record in the messenger mailslot") {
    HANDLE slot = CreateMailslotW(L"\\\\.\\mailslot\\messngr", 0, 2000, nullptr);
    REQUIRE(slot != INVALID_HANDLE_VALUE);
    CHECK(notify::win32::SendWinPopup(".", "Disk C: is full\r\nnote"));
    char buf[512];
    DWORD read = 0;
    REQUIRE(ReadFile(slot, buf, sizeof buf, &read, nullptr));
    wchar_t user[257];
    DWORD size = 257;
    REQUIRE(GetUserNameW(user, &size));
    CHECK(std::string(buf, read) == Utf8(user) + std::string("\0.\0Disk C: is full\r\nnote", 24));
    CloseHandle(slot);
    // No such computer: the write fails quietly.
    CHECK_FALSE(notify::win32::SendWinPopup("zm-no-such-computer", "x"));
}

TEST_CASE("the event-log writer registers its source once and then writes") {
    fakes::FakeRegistry registry;
    notify::win32::TEventLog log;
    CHECK_FALSE(log.Write("before registration"));
    REQUIRE(log.Register(registry, "C:\\Program Files\\Zelmora\\") ==
            notify::win32::TEventLog::Registration::Ok);
    std::string key = notify::EventSourceKeyPath();
    const fakes::FakeValue* file =
        registry.Find(os::RegRoot::LocalMachine, key, "EventMessageFile");
    REQUIRE(file);
    CHECK(file->type == os::RegType::String);
    CHECK(file->text == "C:\\Program Files\\Zelmora\\zmmsg.dll");
    const fakes::FakeValue* types = registry.Find(os::RegRoot::LocalMachine, key, "TypesSupported");
    REQUIRE(types);
    CHECK(types->type == os::RegType::Dword);
    CHECK(types->dword == 7);
    CHECK(log.Write("a notification"));

    // An existing key is left as it is.
    fakes::FakeRegistry installed;
    installed.WriteString(os::RegRoot::LocalMachine, key, "EventMessageFile", "D:\\zmmsg.dll");
    installed.failWrites = true;
    notify::win32::TEventLog other;
    CHECK(other.Register(installed, "C:\\x\\") == notify::win32::TEventLog::Registration::Ok);
    CHECK(installed.Find(os::RegRoot::LocalMachine, key, "EventMessageFile")->text ==
          "D:\\zmmsg.dll");

    // A key that cannot be created leaves the writer disabled.
    fakes::FakeRegistry locked;
    locked.failWrites = true;
    notify::win32::TEventLog refused;
    CHECK(refused.Register(locked, "C:\\x\\") ==
          notify::win32::TEventLog::Registration::CannotCreateKey);
    CHECK_FALSE(refused.Registered());
    CHECK_FALSE(refused.Write("lost"));
}

namespace {

// Longer than an atom can hold: the text must still arrive whole.
const std::string kLongNote = "note " + std::string(600, 'n');

struct RecordingLog : notify::win32::EventLogSink {
    std::vector<std::string> written;
    DWORD thread = 0;
    bool Write(const std::string& text) override {
        written.push_back(text);
        thread = GetCurrentThreadId();
        return true;
    }
};

}  // namespace

TEST_CASE("an event-log notification goes from the refresh to the writer on the main thread") {
    intl::InstallBuiltInMessages();
    fakes::FakeRegistry registry;
    registry.WriteString(os::RegRoot::CurrentUser, app::kSettingsKey, "NtfConditions",
                         "5|from the log|0|0|C:|104857600|1|2|" + kLongNote + "|");
    registry.WriteDword(os::RegRoot::CurrentUser, app::kSettingsKey, "DisplaySplash", 0);
    fakes::FakeVolumes volumes;
    volumes["C:"].type = os::kDriveFixed;
    volumes.SetSpace("C:", 1000 * 1048576LL, 50 * 1048576LL, 50 * 1048576LL);
    app::MonitorServices services;
    services.registry = &registry;
    services.volumes = &volumes;
    services.makeWorkerVolumes = [] { return std::make_unique<fakes::FakeVolumes>(); };

    RecordingLog log;
    {
        app::win32::TMainForm form(std::move(services));
        form.Notify().SetEventLog(&log);
        REQUIRE(form.Create());
        form.StopTimer();
        CHECK(form.Notify().Core().Conditions().size() == 1);
        // The source was registered at creation, in the system's registry
        // (by this or an earlier start: an existing key is kept).
        std::unique_ptr<os::Registry> system = os::win32::MakeRegistry();
        CHECK(text::EndsWith(app::ReadRegString(*system, os::RegRoot::LocalMachine,
                                                notify::EventSourceKeyPath(), "EventMessageFile"),
                             "\\zmmsg.dll"));
        PostMessageW(form.Handle(), app::kWmSample, 0, 0);
        CHECK(WaitFor([&] { return !log.written.empty(); }, 10s));
        REQUIRE(log.written.size() == 1);
        CHECK(log.thread == GetCurrentThreadId());
        const std::string& text = log.written[0];
        CHECK(text.rfind("(", 0) == 0);
        CHECK(text.find(") Zelmora: 'Free space' on disk C: is 0.05 Gb which is less than 0.10 "
                        "Gb\r\nfrom the log\r\n" +
                        kLongNote) != std::string::npos);
        // Closing saves the list back in its stored form.
        SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    }
    const fakes::FakeValue* saved =
        registry.Find(os::RegRoot::CurrentUser, app::kSettingsKey, "NtfConditions");
    REQUIRE(saved);
    CHECK(saved->text.rfind("5|from the log|0|0|C:|104857600|", 0) == 0);
}

namespace {

// The aiosmtpd server, a Linux program started from inside Wine; it ends
// when the stop file appears or after a minute.
class SmtpServerProcess {
  public:
    SmtpServerProcess(const std::string& user, const std::string& password) {
        unixDir_ = "/tmp/zm-w64-smtp-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(GetTickCount64());
        dir_ = fs::path("Z:" + text::ReplaceAll(unixDir_, "/", "\\"));
        fs::create_directories(dir_);
        std::wstring command =
            Wide("Z:\\usr\\bin\\python3 " ZM_TEST_SOURCE_DIR
                 "/tests/support/notify_smtp_server.py --dir " +
                 unixDir_ + " --lifetime 60 --user " + user + " --password " + password);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
        if (pi.hProcess) CloseHandle(pi.hProcess);
        if (pi.hThread) CloseHandle(pi.hThread);
        REQUIRE(WaitFor([&] { return fs::exists(dir_ / "port"); }, 20s));
        port = std::stoi(ReadFile(dir_ / "port"));
    }
    ~SmtpServerProcess() {
        std::ofstream(dir_ / "stop") << "\n";
        std::this_thread::sleep_for(200ms);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path Message(const char* part) const { return dir_ / (std::string("msg-1.") + part); }

    int port = 0;

  private:
    std::string unixDir_;
    fs::path dir_;
};

}  // namespace

TEST_CASE("the e-mail job reaches the SMTP server on loopback") {
    SmtpServerProcess server("zm", "pw");
    notify::win32::MailOrder mail;
    mail.server = "127.0.0.1:" + std::to_string(server.port);
    mail.userName = "zm";
    mail.storedPassword = app::EncodePassword("pw");
    mail.authenticate = true;
    mail.notSetProperly = "not set";
    mail.howToAdjust = "adjust";
    std::string text = "(date) Zelmora: 'Free space' on disk C: is low\r\n.dot line";
    auto link = StartJob(notify::kWayEmail, "one@example.org,two@example.org", text, mail);
    // A failure would leave the job in its message box.
    REQUIRE(WaitFor([&] { return !link->running; }, 30s));
    REQUIRE(fs::exists(server.Message("done")));
    CHECK(ReadFile(server.Message("rcpt")) == "one@example.org\ntwo@example.org\n");
    CHECK(ReadFile(server.Message("auth")) == "PLAIN zm");
    CHECK(ReadFile(server.Message("body")) == text + "\r\n\r\n");
    CHECK(ReadFile(server.Message("headers")).find("Subject: Disk space notification\n") !=
          std::string::npos);
}
