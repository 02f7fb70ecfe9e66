// The temporary-file masks: "*" any run of characters, "?" one character,
// "[...]" one character of the list (ranges such as a-z allowed), compared
// without regard to letter case. A "[" that is never closed stands for itself.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace scan {

// Splits a mask list: commas and blanks separate items, double quotes may
// enclose one (with its blanks); an item without "." becomes "*." + item.
std::vector<std::string> SplitMasks(std::string_view list);

bool MatchMask(std::string_view mask, std::string_view name);

// Masks prepared once for matching many names.
class MaskSet {
public:
    explicit MaskSet(const std::vector<std::string>& masks);
    // Index of the first mask that matches name, or -1.
    int FirstMatch(std::string_view name) const;

private:
    struct Prepared {
        enum Kind { kGeneral, kSuffix, kExact } kind = kGeneral;
        std::string literal;  // lower-cased: the suffix after "*", or the whole name
        std::u32string mask;
    };
    std::vector<Prepared> masks_;
};

}  // namespace scan
