// Reading SMTP replies: "250-first line", ..., "250 last line". The parser
// takes bytes as they arrive in any pieces and is total: every input gives a
// reply, a request for more, or a named problem, within fixed bounds.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace notify {

struct SmtpReply {
    int code = 0;
    std::vector<std::string> lines;  // the texts after the code and its separator
    // The code and the lines, as a message shows them.
    std::string Text() const;
};

class SmtpReplyParser {
  public:
    static constexpr size_t kMaxLineLength = 4096;
    static constexpr size_t kMaxLines = 256;

    enum class Status { NeedMore, Complete, Invalid };

    // Consumes bytes up to the end of the reply; used tells how many. After
    // Complete or Invalid it consumes nothing until Reset.
    Status Feed(std::string_view bytes, size_t& used);

    Status State() const { return status_; }
    const SmtpReply& Reply() const { return reply_; }
    const std::string& Problem() const { return problem_; }
    void Reset();

  private:
    void EndLine();
    void Fail(std::string problem);

    Status status_ = Status::NeedMore;
    std::string line_;
    SmtpReply reply_;
    std::string problem_;
};

// What the server offers in its EHLO reply.
struct SmtpCapabilities {
    bool authPlain = false;
    bool authLogin = false;
    bool startTls = false;
};
SmtpCapabilities ParseEhloReply(const SmtpReply& reply);

}  // namespace notify
