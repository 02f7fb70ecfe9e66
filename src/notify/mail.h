// Sending a notification by e-mail with the user's SMTP settings, and the two
// boxes that tell about a failure.
#pragma once
#include <string>
#include <vector>

#include "notify/smtp_client.h"
#include "os/sockets.h"

namespace notify {

constexpr const char* kMailSubject = "Disk space notification";

// How failures reach the user (message boxes on Windows).
class MailNotices {
  public:
    virtual ~MailNotices() = default;
    // The error's own text, under the caption "Exception".
    virtual void ShowException(const std::string& text) = 0;
    // The explanation that the settings need a look, with the error icon.
    virtual void ShowNotSent(const std::string& text) = 0;
};

struct MailEnvironment {
    os::TcpConnector* connector = nullptr;
    MailNotices* notices = nullptr;
    SmtpTimeouts timeouts;
    std::string date;  // the Date header's value; none when empty
    // Messages 151 and 152, taken on the main thread.
    std::string notSetProperly;
    std::string howToAdjust;
};

// The addresses of a "," separated list, trimmed, empty ones left out.
std::vector<std::string> RecipientList(const std::string& recipients);

// The whole message: headers, a blank line and the body (quoted-printable).
std::string NotificationMessage(const std::vector<std::string>& recipients, const std::string& body,
                                const std::string& date);

// The text of the box shown when the message was not sent.
std::string NotSentText(const std::string& body, const MailEnvironment& env);

// True when the server took the message. An empty server text sends nothing
// and shows nothing; every other failure shows the error (when there is one)
// and then the explanation. Blocks the calling thread for the exchange.
bool SendNotificationMail(const std::string& server, const std::string& userName,
                          const std::string& storedPassword, const std::string& recipients,
                          const std::string& body, bool authenticate, const MailEnvironment& env);

}  // namespace notify
