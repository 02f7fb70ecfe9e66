// The pieces of the SMTP client that need no server: the server text, the
// reply parser and the encodings of the message.
#include <doctest.h>

#include "notify/mail.h"
#include "notify/mime.h"
#include "notify/smtp_client.h"
#include "notify/smtp_reply.h"

using notify::SmtpReplyParser;
using Status = SmtpReplyParser::Status;

TEST_CASE("the server text gives host and port") {
    struct Case {
        const char* text;
        const char* host;
        int port;
    } cases[] = {
        {"mail.example.com", "mail.example.com", 25},
        {"mail.example.com:2525", "mail.example.com", 2525},
        {"mail.example.com:smtp", "mail.example.com", 25},
        {"mail.example.com:", "mail.example.com", 25},
        {"mail.example.com:70000", "mail.example.com", 25},
        {"mail.example.com:0", "mail.example.com", 25},
        {"h:587:1", "h", 25},
        {" h : 587 ", "h", 587},
        {"[::1]:2525", "::1", 2525},
        {"[::1]", "::1", 25},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        notify::SmtpServer s = notify::ParseSmtpServer(c.text);
        CHECK(s.host == c.host);
        CHECK(s.port == c.port);
    }
}

TEST_CASE("replies are read whole in whatever pieces they arrive") {
    const std::string bytes =
        "250-mail.example.com\r\n250-AUTH LOGIN PLAIN\r\n250 HELP\r\n220 next";
    for (size_t piece : {1u, 2u, 7u, 100u}) {
        CAPTURE(piece);
        SmtpReplyParser parser;
        size_t offset = 0;
        Status s = Status::NeedMore;
        while (s == Status::NeedMore && offset < bytes.size()) {
            size_t used = 0;
            s = parser.Feed(std::string_view(bytes).substr(offset, piece), used);
            offset += used;
        }
        REQUIRE(s == Status::Complete);
        CHECK(offset == bytes.size() - 8);  // the next reply stays unread
        CHECK(parser.Reply().code == 250);
        CHECK(parser.Reply().lines ==
              std::vector<std::string>{"mail.example.com", "AUTH LOGIN PLAIN", "HELP"});
        notify::SmtpCapabilities caps = notify::ParseEhloReply(parser.Reply());
        CHECK(caps.authLogin);
        CHECK(caps.authPlain);
        CHECK_FALSE(caps.startTls);
    }
}

TEST_CASE("reply lines") {
    struct Case {
        const char* bytes;
        Status status;
        int code;
        const char* text;
    } cases[] = {
        {"220 ready\r\n", Status::Complete, 220, "220 ready"},
        {"354\n", Status::Complete, 354, "354 "},
        {"535 5.7.8 no\r\n", Status::Complete, 535, "535 5.7.8 no"},
        {"250-a\n250-b", Status::NeedMore, 0, ""},
        {"25 short\r\n", Status::Invalid, 0, ""},
        {"abc\r\n", Status::Invalid, 0, ""},
        {"250x\r\n", Status::Invalid, 0, ""},
        {"650 out of range\r\n", Status::Invalid, 0, ""},
        {"\r\n", Status::Invalid, 0, ""},
    };
    for (const auto& c : cases) {
        CAPTURE(c.bytes);
        SmtpReplyParser parser;
        size_t used;
        CHECK(parser.Feed(c.bytes, used) == c.status);
        if (c.status == Status::Complete) CHECK(parser.Reply().Text() == c.text);
        if (c.status == Status::Invalid) CHECK_FALSE(parser.Problem().empty());
    }
}

TEST_CASE("a reply that never ends is refused within bounds") {
    SmtpReplyParser longLine;
    size_t used;
    CHECK(longLine.Feed(std::string(SmtpReplyParser::kMaxLineLength + 10, '2'), used) ==
          Status::Invalid);
    SmtpReplyParser manyLines;
    std::string lines;
    for (size_t i = 0; i <= SmtpReplyParser::kMaxLines; ++i) lines += "250-more\r\n";
    CHECK(manyLines.Feed(lines, used) == Status::Invalid);
}

TEST_CASE("the DATA block doubles leading dots and ends with a dot line") {
    CHECK(notify::DataBlock("a\r\n.b\r\n..c\nd.\r.") == "a\r\n..b\r\n...c\r\nd.\r\n..\r\n.\r\n");
    CHECK(notify::DataBlock("") == ".\r\n");
    CHECK(notify::DataBlock("x\r\n") == "x\r\n.\r\n");
}

TEST_CASE("quoted-printable keeps lines short and bytes safe") {
    CHECK(notify::QuotedPrintable("plain text\r\n.dot") == "plain text\r\n.dot");
    CHECK(notify::QuotedPrintable("a=b trailing \r\n\xC3\xBC") == "a=3Db trailing=20\r\n=C3=BC");
    std::string line(200, 'x');
    std::string qp = notify::QuotedPrintable(line);
    size_t start = 0, longest = 0;
    std::string joined;
    while (start <= qp.size()) {
        size_t end = qp.find("\r\n", start);
        std::string piece = qp.substr(start, end == std::string::npos ? end : end - start);
        longest = std::max(longest, piece.size());
        joined += piece.size() && piece.back() == '=' ? piece.substr(0, piece.size() - 1) : piece;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    CHECK(longest <= 76);
    CHECK(joined == line);
}

TEST_CASE("base64") {
    CHECK(notify::Base64("") == "");
    CHECK(notify::Base64("f") == "Zg==");
    CHECK(notify::Base64("fo") == "Zm8=");
    CHECK(notify::Base64("foo") == "Zm9v");
    CHECK(notify::Base64(std::string("\0user\0pass", 10)) == "AHVzZXIAcGFzcw==");
}

TEST_CASE("the notification message and its recipients") {
    std::vector<std::string> to = notify::RecipientList(" a@x.org , ,b@y.org,");
    CHECK(to == std::vector<std::string>{"a@x.org", "b@y.org"});
    std::string m =
        notify::NotificationMessage(to, "line 1\nline 2", "Sun, 01 Dec 2024 09:03:04 +0000");
    CHECK(m.find("From: \"Zelmora\" <a@x.org,b@y.org>\r\n") == 0);
    CHECK(m.find("\r\nTo: a@x.org, b@y.org\r\n") != std::string::npos);
    CHECK(m.find("\r\nSubject: Disk space notification\r\n") != std::string::npos);
    CHECK(m.find("\r\nDate: Sun, 01 Dec 2024 09:03:04 +0000\r\n") != std::string::npos);
    CHECK(m.substr(m.find("\r\n\r\n")) == "\r\n\r\nline 1\r\nline 2\r\n\r\n");
}
