// Any bytes from a server give a reply, a request for more, or a problem,
// the same however they are cut into pieces, and within the parser's bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "notify/smtp_reply.h"

using notify::SmtpReplyParser;

namespace {

SmtpReplyParser::Status FeedInPieces(SmtpReplyParser& parser, std::string_view bytes, size_t piece,
                                     size_t& consumed) {
    consumed = 0;
    SmtpReplyParser::Status s = SmtpReplyParser::Status::NeedMore;
    while (s == SmtpReplyParser::Status::NeedMore && consumed < bytes.size()) {
        size_t used = 0;
        s = parser.Feed(bytes.substr(consumed, piece), used);
        if (used > piece) __builtin_trap();
        consumed += used;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t piece = data[0] % 16 + 1;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    SmtpReplyParser whole, pieces;
    size_t usedWhole = 0, usedPieces = 0;
    SmtpReplyParser::Status a = FeedInPieces(whole, bytes, bytes.size() + 1, usedWhole);
    SmtpReplyParser::Status b = FeedInPieces(pieces, bytes, piece, usedPieces);
    if (a != b || usedWhole != usedPieces) __builtin_trap();
    if (a == SmtpReplyParser::Status::Complete) {
        const notify::SmtpReply& r = whole.Reply();
        if (r.code < 100 || r.code > 599 || r.lines.empty() ||
            r.lines.size() > SmtpReplyParser::kMaxLines || r.lines != pieces.Reply().lines)
            __builtin_trap();
        for (const auto& line : r.lines)
            if (line.size() > SmtpReplyParser::kMaxLineLength) __builtin_trap();
        notify::ParseEhloReply(r);
        r.Text();
    }
    return 0;
}
