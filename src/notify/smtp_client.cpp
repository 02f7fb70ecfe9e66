#include "notify/smtp_client.h"

#include <memory>
#include <optional>

#include "common/text.h"
#include "notify/mime.h"
#include "notify/smtp_reply.h"

namespace notify {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Errors end the exchange; each carries the text the user is shown.
struct Failure {
    std::string text;
    bool ioFailed = false;  // the connection is no longer usable
};

class Session {
  public:
    Session(os::TcpStream& stream, const SmtpTimeouts& timeouts)
        : stream_(stream), timeouts_(timeouts) {}

    std::optional<Failure> Read(SmtpReply& reply, milliseconds timeout) {
        auto deadline = Clock::now() + timeout;
        parser_.Reset();
        for (;;) {
            size_t used = 0;
            SmtpReplyParser::Status s = parser_.Feed(buffer_, used);
            buffer_.erase(0, used);
            if (s == SmtpReplyParser::Status::Complete) {
                reply = parser_.Reply();
                return std::nullopt;
            }
            if (s == SmtpReplyParser::Status::Invalid) return Failure{parser_.Problem(), true};
            auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return Failure{"Read timed out.", true};
            os::NetResult r = stream_.Receive(buffer_, 4096, left);
            if (!r.Ok()) return Failure{r.error, true};
        }
    }

    std::optional<Failure> Write(std::string_view bytes) {
        os::NetResult r = stream_.Send(bytes, timeouts_.reply);
        if (!r.Ok()) return Failure{r.error, true};
        return std::nullopt;
    }

    // Sends a command line and reads the reply.
    std::optional<Failure> Command(const std::string& line, SmtpReply& reply) {
        if (auto f = Write(line + "\r\n")) return f;
        return Read(reply, timeouts_.reply);
    }

    // A command whose reply must have one of the codes; the server's own
    // text otherwise.
    std::optional<Failure> Expect(const std::string& line, std::initializer_list<int> codes,
                                  SmtpReply* out = nullptr) {
        SmtpReply reply;
        if (auto f = Command(line, reply)) return f;
        if (out) *out = reply;
        for (int c : codes)
            if (reply.code == c) return std::nullopt;
        return Failure{reply.Text()};
    }

    void Quit() {
        if (Write("QUIT\r\n")) return;
        SmtpReply ignored;
        Read(ignored, timeouts_.quit);
    }

  private:
    os::TcpStream& stream_;
    const SmtpTimeouts& timeouts_;
    SmtpReplyParser parser_;
    std::string buffer_;
};

bool HasControl(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

// A refused login is reported with one fixed text whatever the server said;
// a broken connection keeps its own.
std::optional<Failure> Refused(std::optional<Failure> f) {
    if (f && !f->ioFailed) f->text = kAuthRefused;
    return f;
}

std::optional<Failure> Authenticate(Session& session, const SmtpCapabilities& caps,
                                    const SmtpLogin& login) {
    if (caps.authPlain || !caps.authLogin) {
        std::string token = Base64(std::string(1, '\0') + login.user + '\0' + login.password);
        SmtpReply reply;
        if (auto f = Refused(session.Expect("AUTH PLAIN " + token, {235, 334}, &reply))) return f;
        // A server that does not take the initial response asks for it.
        if (reply.code == 334) return Refused(session.Expect(token, {235}));
        return std::nullopt;
    }
    if (auto f = Refused(session.Expect("AUTH LOGIN", {334}))) return f;
    if (auto f = Refused(session.Expect(Base64(login.user), {334}))) return f;
    return Refused(session.Expect(Base64(login.password), {235}));
}

std::optional<Failure> Exchange(Session& session, const std::string& domain, const SmtpLogin& login,
                                const SmtpEnvelope& envelope, const SmtpTimeouts& timeouts) {
    SmtpReply reply;
    if (auto f = session.Read(reply, timeouts.reply)) return f;
    if (reply.code != 220) return Failure{reply.Text()};

    SmtpCapabilities caps;
    SmtpReply ehlo;
    if (auto f = session.Command("EHLO " + domain, ehlo)) return f;
    if (ehlo.code == 250) {
        caps = ParseEhloReply(ehlo);
    } else if (auto f = session.Expect("HELO " + domain, {250})) {
        return f;
    }
    if (login.authenticate)
        if (auto f = Authenticate(session, caps, login)) return f;

    if (auto f = session.Expect("MAIL FROM:<" + envelope.from + ">", {250})) return f;
    for (const std::string& to : envelope.recipients)
        if (auto f = session.Expect("RCPT TO:<" + to + ">", {250, 251})) return f;
    if (auto f = session.Expect("DATA", {354})) return f;
    if (auto f = session.Write(DataBlock(envelope.content))) return f;
    if (auto f = session.Read(reply, timeouts.reply)) return f;
    if (reply.code != 250) return Failure{reply.Text()};
    return std::nullopt;
}

}  // namespace

SmtpServer ParseSmtpServer(std::string_view text) {
    SmtpServer server;
    std::string_view host = text, port;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[' && text.find(']') != std::string_view::npos) {
        size_t close = text.find(']');
        host = text.substr(1, close - 1);
        std::string_view after = text.substr(close + 1);
        if (!after.empty() && after.front() == ':') {
            port = after.substr(1);
            hasPort = true;
        }
    } else if (size_t colon = text.find(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        hasPort = true;
    }
    server.host = text::Trim(host);
    int64_t n;
    if (hasPort && text::ParseInt64(text::Trim(port), n) && n >= 1 && n <= 65535)
        server.port = static_cast<uint16_t>(n);
    return server;
}

SmtpOutcome SendSmtp(os::TcpConnector& connector, const SmtpServer& server, const SmtpLogin& login,
                     const SmtpEnvelope& envelope, const SmtpTimeouts& timeouts) {
    SmtpOutcome outcome;
    if (envelope.recipients.empty()) {
        outcome.error = "No recipient address.";
        return outcome;
    }
    // A line break in an address would smuggle commands to the server.
    bool unsafe = HasControl(envelope.from);
    for (const std::string& a : envelope.recipients) unsafe = unsafe || HasControl(a);
    if (unsafe) {
        outcome.error = "Invalid e-mail address.";
        return outcome;
    }
    std::string error;
    std::unique_ptr<os::TcpStream> stream =
        connector.Connect(server.host, server.port, timeouts.connect, error);
    if (!stream) {
        outcome.error = error;
        return outcome;
    }
    Session session(*stream, timeouts);
    std::string domain = stream->LocalAddressLiteral();
    std::optional<Failure> f = Exchange(session, domain, login, envelope, timeouts);
    if (!f) {
        outcome.sent = true;
        session.Quit();
        return outcome;
    }
    outcome.error = f->text;
    if (!f->ioFailed) session.Quit();
    return outcome;
}

}  // namespace notify
