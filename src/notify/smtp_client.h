// Our SMTP client: one message to one server over a TcpStream, with a bounded
// wait for the connection and for every reply, so that a silent or slow
// server ends the exchange instead of holding it forever.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "os/sockets.h"

namespace notify {

struct SmtpServer {
    std::string host;
    uint16_t port = 25;
};

// "host" or "host:port"; the port is 25 when it is not a number from 1 to
// 65535. "[address]:port" keeps an IPv6 address whole.
SmtpServer ParseSmtpServer(std::string_view text);

struct SmtpTimeouts {
    std::chrono::milliseconds connect{30000};
    std::chrono::milliseconds reply{60000};
    std::chrono::milliseconds quit{5000};  // the goodbye is not waited for long
};

struct SmtpLogin {
    bool authenticate = false;
    std::string user;
    std::string password;
};

struct SmtpEnvelope {
    std::string from;
    std::vector<std::string> recipients;
    std::string content;  // headers, a blank line and the body
};

struct SmtpOutcome {
    bool sent = false;  // the server took the message
    std::string error;  // what went wrong; empty when sent
};

// The text shown when the server refuses the user name or password.
constexpr const char* kAuthRefused = "Operation aborted";

SmtpOutcome SendSmtp(os::TcpConnector& connector, const SmtpServer& server, const SmtpLogin& login,
                     const SmtpEnvelope& envelope, const SmtpTimeouts& timeouts);

}  // namespace notify
