// The SMTP client against a real SMTP server (aiosmtpd on loopback, started
// here), and against one that never answers.
#include <doctest.h>

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/settings.h"
#include "notify/mail.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The Python server in its own process; it ends when asked or after a minute.
class SmtpServerProcess {
  public:
    explicit SmtpServerProcess(std::vector<std::string> extra = {}) {
        char pattern[] = "/tmp/zm-smtp-XXXXXX";
        REQUIRE(mkdtemp(pattern));
        dir = pattern;
        std::vector<std::string> args = {"/usr/bin/python3",
                                         ZM_TEST_SOURCE_DIR "/tests/support/notify_smtp_server.py",
                                         "--dir",
                                         dir.string(),
                                         "--lifetime",
                                         "60"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        REQUIRE(posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) == 0);
        auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!fs::exists(dir / "port") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        REQUIRE(fs::exists(dir / "port"));
        port = std::stoi(ReadFile(dir / "port"));
    }
    ~SmtpServerProcess() {
        std::ofstream(dir / "stop").put('\n');
        auto deadline = std::chrono::steady_clock::now() + 5s;
        int status;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(20ms);
        }
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string Server() const { return "127.0.0.1:" + std::to_string(port); }
    bool Received(int n) const { return fs::exists(dir / ("msg-" + std::to_string(n) + ".done")); }
    std::string Part(int n, const char* part) const {
        return ReadFile(dir / ("msg-" + std::to_string(n) + "." + part));
    }

    fs::path dir;
    int port = 0;

  private:
    pid_t pid_ = 0;
};

struct Notices : notify::MailNotices {
    std::vector<std::string> shown;
    void ShowException(const std::string& text) override { shown.push_back("Exception: " + text); }
    void ShowNotSent(const std::string& text) override { shown.push_back("Zelmora: " + text); }
};

struct MailFixture {
    MailFixture() {
        env.connector = &os::SystemTcpConnector();
        env.notices = &notices;
        env.notSetProperly = "settings are wrong";
        env.howToAdjust = "open the options";
        env.timeouts.connect = 5s;
        env.timeouts.reply = 10s;
    }
    bool Send(const std::string& server, const std::string& to, const std::string& body,
              bool authenticate = false, const std::string& user = "",
              const std::string& password = "") {
        return notify::SendNotificationMail(server, user, app::EncodePassword(password), to, body,
                                            authenticate, env);
    }
    Notices notices;
    notify::MailEnvironment env;
};

const std::string kBody =
    "(12/1/2024 09:03:04 AM) Zelmora: 'Free space' on disk C: is 95.23 Mb which is less than "
    "100.00 Mb\r\n.a line that starts with a dot\r\n..and two";

}  // namespace

TEST_CASE_FIXTURE(MailFixture, "a notification reaches both recipients whole") {
    SmtpServerProcess server;
    CHECK(Send(server.Server(), "first@example.org, second@example.org", kBody));
    CHECK(notices.shown.empty());
    REQUIRE(server.Received(1));
    CHECK(server.Part(1, "from") == "first@example.org");
    CHECK(server.Part(1, "rcpt") == "first@example.org\nsecond@example.org\n");
    CHECK(server.Part(1, "headers") ==
          "From: \"Zelmora\" <first@example.org,second@example.org>\n"
          "To: first@example.org, second@example.org\n"
          "Subject: Disk space notification\n");
    CHECK(server.Part(1, "body") == kBody + "\r\n\r\n");
    CHECK(server.Part(1, "auth") == "");
    CHECK_FALSE(server.Received(2));  // one message for both
}

TEST_CASE_FIXTURE(MailFixture, "authenticated sending with either mechanism") {
    struct Case {
        std::vector<std::string> serverArgs;
        const char* mechanism;
    } cases[] = {
        {{"--user", "zm user", "--password", "s3cr\xC3\xA9t"}, "PLAIN zm user"},
        {{"--user", "zm user", "--password", "s3cr\xC3\xA9t", "--exclude", "PLAIN"},
         "LOGIN zm user"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.mechanism);
        SmtpServerProcess server(c.serverArgs);
        CHECK(Send(server.Server(), "me@example.org", "hello", true, "zm user", "s3cr\xC3\xA9t"));
        CHECK(notices.shown.empty());
        REQUIRE(server.Received(1));
        CHECK(server.Part(1, "auth") == c.mechanism);
        CHECK(server.Part(1, "body") == "hello\r\n\r\n");
    }
}

TEST_CASE_FIXTURE(MailFixture, "a refused login shows both boxes and sends nothing") {
    SmtpServerProcess server({"--user", "zm", "--password", "right"});
    CHECK_FALSE(Send(server.Server(), "me@example.org", "the body", true, "zm", "wrong"));
    CHECK(notices.shown ==
          std::vector<std::string>{"Exception: Operation aborted",
                                   "Zelmora: the body\r\n\r\n* settings are wrong\r\n* open the "
                                   "options"});
    CHECK_FALSE(server.Received(1));
}

TEST_CASE_FIXTURE(MailFixture, "a server that never answers ends the exchange in time") {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    REQUIRE(listener >= 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    REQUIRE(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
    socklen_t len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    REQUIRE(listen(listener, 4) == 0);  // connections complete; nobody ever answers
    env.timeouts.reply = 1500ms;
    auto start = std::chrono::steady_clock::now();
    CHECK_FALSE(Send("127.0.0.1:" + std::to_string(ntohs(addr.sin_port)), "me@example.org", "x"));
    auto took = std::chrono::steady_clock::now() - start;
    close(listener);
    CHECK(took >= 1400ms);
    CHECK(took < 5s);
    REQUIRE(notices.shown.size() == 2);
    CHECK(notices.shown[0] == "Exception: Read timed out.");
}

TEST_CASE_FIXTURE(MailFixture, "a server that cannot be reached, and no server at all") {
    // A port that was free a moment ago: the connection is refused.
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    close(s);
    CHECK_FALSE(Send("127.0.0.1:" + std::to_string(ntohs(addr.sin_port)), "me@example.org", "x"));
    REQUIRE(notices.shown.size() == 2);
    CHECK(notices.shown[0].rfind("Exception: ", 0) == 0);
    CHECK(notices.shown[0].size() > 11);
    CHECK(notices.shown[1].rfind("Zelmora: x\r\n\r\n* ", 0) == 0);

    notices.shown.clear();
    CHECK_FALSE(Send("", "me@example.org", "x"));
    CHECK_FALSE(Send("  ", "me@example.org", "x"));
    CHECK(notices.shown.empty());
}

TEST_CASE_FIXTURE(MailFixture, "an address with a line break is refused before connecting") {
    SmtpServerProcess server;
    CHECK_FALSE(Send(server.Server(), "me@example.org\r\nRCPT TO:<other@example.org>", "x"));
    REQUIRE(notices.shown.size() == 2);
    CHECK(notices.shown[0] == "Exception: Invalid e-mail address.");
    CHECK_FALSE(server.Received(1));
}

TEST_CASE_FIXTURE(MailFixture, "a server that requires STARTTLS first refuses with its reason") {
    SmtpServerProcess server({"--require-starttls", "--user", "zm", "--password", "pw"});
    CHECK_FALSE(Send(server.Server(), "me@example.org", "x"));
    REQUIRE(notices.shown.size() == 2);
    CHECK(notices.shown[0] == "Exception: 530 Must issue a STARTTLS command first");
    notices.shown.clear();
    CHECK_FALSE(Send(server.Server(), "me@example.org", "x", true, "zm", "pw"));
    REQUIRE(notices.shown.size() == 2);
    CHECK(notices.shown[0] == "Exception: Operation aborted");
    CHECK_FALSE(server.Received(1));
}
