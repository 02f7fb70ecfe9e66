#include "common/text.h"

#include <charconv>

namespace text {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string LowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = LowerAscii(c);
    return r;
}

std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::vector<std::string> SplitLines(std::string_view s) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\r' && s[i] != '\n') continue;
        lines.emplace_back(s.substr(start, i - start));
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < s.size()) lines.emplace_back(s.substr(start));
    return lines;
}

std::vector<std::string> Split(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    if (sep.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    size_t start = 0;
    for (;;) {
        size_t at = s.find(sep, start);
        if (at == std::string_view::npos) break;
        parts.emplace_back(s.substr(start, at - start));
        start = at + sep.size();
    }
    parts.emplace_back(s.substr(start));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
    std::string r;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) r += sep;
        r += parts[i];
    }
    return r;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    if (from.empty()) return s;
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

bool ParseInt64(std::string_view s, int64_t& out) {
    if (s.empty()) return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, e, out);
    return ec == std::errc() && p == e;
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

namespace {
// Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
const uint16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

std::string AnsiToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        uint32_t cp = c;
        if (c >= 0x80 && c < 0xA0) cp = kCp1252High[c - 0x80];
        AppendUtf8(out, cp);
    }
    return out;
}

std::string DecodeTextFile(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return AnsiToUtf8(bytes);
}

}  // namespace text
