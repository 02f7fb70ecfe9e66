#include "notify/mail.h"

#include "app/settings.h"
#include "common/text.h"
#include "notify/mime.h"

namespace notify {

std::vector<std::string> RecipientList(const std::string& recipients) {
    std::vector<std::string> out;
    for (const std::string& a : text::Split(recipients, ",")) {
        std::string t = text::Trim(a);
        if (!t.empty()) out.push_back(t);
    }
    return out;
}

std::string NotificationMessage(const std::vector<std::string>& recipients, const std::string& body,
                                const std::string& date) {
    // The notification comes from its own recipients.
    std::string m = "From: \"Zelmora\" <" + text::Join(recipients, ",") + ">\r\n";
    m += "To: " + text::Join(recipients, ", ") + "\r\n";
    m += std::string("Subject: ") + kMailSubject + "\r\n";
    if (!date.empty()) m += "Date: " + date + "\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=utf-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += QuotedPrintable(ToCrLf(body + "\r\n\r\n"));
    return m;
}

std::string NotSentText(const std::string& body, const MailEnvironment& env) {
    return body + "\r\n\r\n* " + env.notSetProperly + "\r\n* " + env.howToAdjust;
}

bool SendNotificationMail(const std::string& server, const std::string& userName,
                          const std::string& storedPassword, const std::string& recipients,
                          const std::string& body, bool authenticate, const MailEnvironment& env) {
    if (text::Trim(server).empty()) return false;
    SmtpLogin login;
    login.authenticate = authenticate;
    if (authenticate) {
        login.user = userName;
        login.password = app::DecodePassword(storedPassword);
    }
    SmtpEnvelope envelope;
    envelope.recipients = RecipientList(recipients);
    // The envelope needs one address; the header keeps the whole list.
    if (!envelope.recipients.empty()) envelope.from = envelope.recipients.front();
    envelope.content = NotificationMessage(envelope.recipients, body, env.date);

    SmtpOutcome outcome =
        SendSmtp(*env.connector, ParseSmtpServer(server), login, envelope, env.timeouts);
    if (!outcome.sent && env.notices) {
        if (!outcome.error.empty()) env.notices->ShowException(outcome.error);
        env.notices->ShowNotSent(NotSentText(body, env));
    }
    return outcome.sent;
}

}  // namespace notify
