#include "scan/masks.h"

#include <cstdint>

namespace scan {

namespace {

// Code points, so that "?" takes one character of a UTF-8 name; bytes that
// are not UTF-8 stand for themselves.
void DecodeInto(std::string_view s, std::u32string& out) {
    out.clear();
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            auto n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok) {
            out += char32_t(0xDC00 + b);
            ++i;
        } else {
            out += c;
            i += len;
        }
    }
}

std::u32string Decode(std::string_view s) {
    std::u32string out;
    DecodeInto(s, out);
    return out;
}

char32_t Fold(char32_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// A bracket list at mask[p] ("[" included). Sets end to the index after "]"
// and returns whether c is in the list; false with end = npos when unclosed.
bool InList(const std::u32string& mask, size_t p, char32_t c, size_t& end) {
    size_t q = p + 1;
    size_t close = mask.find(U']', q + (q < mask.size() && mask[q] == U']' ? 1 : 0));
    if (close == std::u32string::npos) {
        end = std::u32string::npos;
        return false;
    }
    end = close + 1;
    c = Fold(c);
    for (size_t i = q; i < close; ++i) {
        if (i + 2 < close && mask[i + 1] == U'-') {
            if (c >= Fold(mask[i]) && c <= Fold(mask[i + 2])) return true;
            i += 2;
        } else if (Fold(mask[i]) == c) {
            return true;
        }
    }
    return false;
}

// One step of the mask against one character: the mask index after it, or
// npos when it does not match.
size_t Step(const std::u32string& mask, size_t p, char32_t c) {
    if (p >= mask.size()) return std::u32string::npos;
    char32_t m = mask[p];
    if (m == U'?') return p + 1;
    if (m == U'[') {
        size_t end;
        bool in = InList(mask, p, c, end);
        if (end != std::u32string::npos) return in ? end : std::u32string::npos;
        // Unclosed: a plain "[".
    }
    return Fold(m) == Fold(c) ? p + 1 : std::u32string::npos;
}

}  // namespace

std::vector<std::string> SplitMasks(std::string_view list) {
    std::vector<std::string> items;
    std::string cur;
    bool quoted = false, any = false;
    auto flush = [&] {
        if (any && !cur.empty())
            items.push_back(cur.find('.') == std::string::npos ? "*." + cur : cur);
        cur.clear();
        any = false;
    };
    for (char c : list) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            flush();
        } else {
            cur += c;
            any = true;
        }
    }
    flush();
    return items;
}

// Greedy match with one remembered star: linear in practice, never worse
// than length of mask times length of name, so no mask can make it hang.
static bool Match(const std::u32string& mask, const std::u32string& name) {
    size_t p = 0, n = 0;
    size_t starP = std::u32string::npos, starN = 0;
    while (n < name.size()) {
        if (p < mask.size() && mask[p] == U'*') {
            starP = ++p;
            starN = n;
            continue;
        }
        size_t next = Step(mask, p, name[n]);
        if (next != std::u32string::npos) {
            p = next;
            ++n;
        } else if (starP != std::u32string::npos) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < mask.size() && mask[p] == U'*') ++p;
    return p == mask.size();
}

bool MatchMask(std::string_view mask, std::string_view name) {
    return Match(Decode(mask), Decode(name));
}

namespace {
bool HasWildcard(std::string_view s) {
    return s.find_first_of("*?[") != std::string_view::npos;
}
std::string FoldBytes(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}
bool EndsWithFolded(std::string_view name, std::string_view folded) {
    if (name.size() < folded.size()) return false;
    name.remove_prefix(name.size() - folded.size());
    for (size_t i = 0; i < folded.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != folded[i]) return false;
    }
    return true;
}
}  // namespace

// Most masks are "*.ext" or a plain name: those are compared as bytes, and
// the name is decoded only for the others.
MaskSet::MaskSet(const std::vector<std::string>& masks) {
    for (const auto& m : masks) {
        Prepared p;
        std::string_view v = m;
        if (!HasWildcard(v)) {
            p.kind = Prepared::kExact;
            p.literal = FoldBytes(v);
        } else if (v[0] == '*' && !HasWildcard(v.substr(1))) {
            p.kind = Prepared::kSuffix;
            p.literal = FoldBytes(v.substr(1));
        } else {
            p.mask = Decode(v);
        }
        masks_.push_back(std::move(p));
    }
}

int MaskSet::FirstMatch(std::string_view name) const {
    thread_local std::u32string n;
    bool decoded = false;
    for (size_t i = 0; i < masks_.size(); ++i) {
        const Prepared& p = masks_[i];
        bool hit;
        if (p.kind == Prepared::kExact) {
            hit = name.size() == p.literal.size() && EndsWithFolded(name, p.literal);
        } else if (p.kind == Prepared::kSuffix) {
            hit = EndsWithFolded(name, p.literal);
        } else {
            if (!decoded) DecodeInto(name, n), decoded = true;
            hit = Match(p.mask, n);
        }
        if (hit) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace scan
