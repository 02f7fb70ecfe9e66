#include "notify/mime.h"

namespace notify {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char c) {
    out += '=';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

// One line (without its break) as quoted-printable, soft-broken at 76.
void AppendQuotedLine(std::string& out, std::string_view line) {
    constexpr size_t kMax = 76;
    size_t column = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool last = i + 1 == line.size();
        bool plain = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        size_t width = plain ? 1 : 3;
        // Room for the soft break's "=" unless this is the line's last piece.
        if (column + width > (last ? kMax : kMax - 1)) {
            out += "=\r\n";
            column = 0;
        }
        if (plain)
            out += static_cast<char>(c);
        else
            AppendEscaped(out, c);
        column += width;
    }
}

}  // namespace

std::string Base64(std::string_view bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t n = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    size_t left = bytes.size() - i;
    if (left) {
        uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += left == 2 ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string QuotedPrintable(std::string_view text) {
    std::string out;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        AppendQuotedLine(out,
                         text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        out += "\r\n";
        start = end + 2;
    }
    return out;
}

std::string DataBlock(std::string_view message) {
    std::string lines = ToCrLf(message);
    std::string out;
    out.reserve(lines.size() + 8);
    bool lineStart = true;
    for (char c : lines) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    if (!lineStart) out += "\r\n";
    out += ".\r\n";
    return out;
}

}  // namespace notify
