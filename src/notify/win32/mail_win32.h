// E-mail on Windows: the failure boxes, the Date header and Winsock under
// the portable SMTP client.
#pragma once
#include <string>

#include "notify/mail.h"

namespace notify::win32 {

// The two failure boxes of a notification e-mail, without owner.
class BoxMailNotices : public MailNotices {
  public:
    void ShowException(const std::string& text) override;
    void ShowNotSent(const std::string& text) override;
};

// The current local time for a Date header: "Tue, 04 Mar 2025 14:05:09 +0100".
std::string MailDateNow();

// Winsock, the boxes, the date and the failure texts from the message table
// (call on the main thread: it reads the table).
MailEnvironment MailEnvironmentHere(MailNotices& notices);

}  // namespace notify::win32
