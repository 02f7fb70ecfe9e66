#include "notify/smtp_reply.h"

#include "common/text.h"

namespace notify {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string SmtpReply::Text() const {
    std::string out = std::to_string(code);
    for (size_t i = 0; i < lines.size(); ++i) {
        out += i ? "\r\n" : " ";
        out += lines[i];
    }
    return out;
}

void SmtpReplyParser::Reset() {
    status_ = Status::NeedMore;
    line_.clear();
    reply_ = {};
    problem_.clear();
}

void SmtpReplyParser::Fail(std::string problem) {
    status_ = Status::Invalid;
    problem_ = std::move(problem);
}

void SmtpReplyParser::EndLine() {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    if (line_.size() < 3 || !IsDigit(line_[0]) || !IsDigit(line_[1]) || !IsDigit(line_[2]) ||
        line_[0] < '1' || line_[0] > '5' ||
        (line_.size() > 3 && line_[3] != ' ' && line_[3] != '-')) {
        Fail("Invalid reply from the SMTP server.");
        return;
    }
    if (reply_.lines.size() >= kMaxLines) {
        Fail("The SMTP server's reply is too long.");
        return;
    }
    reply_.code = (line_[0] - '0') * 100 + (line_[1] - '0') * 10 + (line_[2] - '0');
    reply_.lines.push_back(line_.size() > 4 ? line_.substr(4) : std::string());
    bool more = line_.size() > 3 && line_[3] == '-';
    line_.clear();
    if (!more) status_ = Status::Complete;
}

SmtpReplyParser::Status SmtpReplyParser::Feed(std::string_view bytes, size_t& used) {
    used = 0;
    while (status_ == Status::NeedMore && used < bytes.size()) {
        char c = bytes[used++];
        if (c == '\n') {
            EndLine();
        } else if (line_.size() >= kMaxLineLength) {
            Fail("The SMTP server's reply is too long.");
        } else {
            line_ += c;
        }
    }
    return status_;
}

SmtpCapabilities ParseEhloReply(const SmtpReply& reply) {
    SmtpCapabilities caps;
    // The first line names the server; each later line is one extension.
    for (size_t i = 1; i < reply.lines.size(); ++i) {
        std::string line = text::UpperAscii(text::Trim(reply.lines[i]));
        if (line == "STARTTLS") caps.startTls = true;
        // "AUTH=" is the form some older servers use.
        if (!text::StartsWith(line, "AUTH ") && !text::StartsWith(line, "AUTH=")) continue;
        for (const std::string& m : text::Split(line.substr(5), " ")) {
            if (m == "PLAIN") caps.authPlain = true;
            if (m == "LOGIN") caps.authLogin = true;
        }
    }
    return caps;
}

}  // namespace notify
