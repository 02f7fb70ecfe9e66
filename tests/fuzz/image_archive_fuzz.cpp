// The disk-image archive reader over any bytes, and the path map over what
// it extracts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/map_strings.h"
#include "scan/zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view archive(reinterpret_cast<const char*>(data), size);
    std::string content;
    if (!scan::ZipExtract(archive, "C-C.tmp", content, size_t(64) << 20)) {
        // Not an archive: take the bytes as image lines instead.
        content.assign(archive);
    }
    scan::TMapStrings map;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos) end = content.size();
        map.Add(std::string_view(content).substr(at, end - at));
        at = end + 1;
    }
    std::string saved;
    map.SaveToStream(saved);
    for (int64_t i = 0; i < map.Count() && i < 64; ++i) {
        std::string s = map.Get(i);
        if (map.IndexOf(s) != i) __builtin_trap();
        (void)map.IndexOfName(s);
    }
    while (map.Count() > 0) map.DeleteFirst();
    return 0;
}
