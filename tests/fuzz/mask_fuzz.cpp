// The mask list and matcher over any bytes: a mask list, a NUL, a file name.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/masks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    size_t nul = in.find('\0');
    std::string_view list = in.substr(0, nul);
    std::string_view name = nul == std::string_view::npos ? in : in.substr(nul + 1);
    // File names and mask lists are short; the matcher is at worst the
    // product of the two lengths.
    if (list.size() > 4096 || name.size() > 4096) return 0;
    scan::MaskSet set(scan::SplitMasks(list));
    int first = set.FirstMatch(name);
    if (first >= 0 && !scan::MatchMask(scan::SplitMasks(list)[static_cast<size_t>(first)], name))
        __builtin_trap();
    scan::MatchMask(list, name);
    return 0;
}
