#include "os/file_append.h"

#include <cstdio>

namespace os {

// Standard C streams open files shared for reading and writing on every
// platform we build for, which is all the debug log needs; its path is ASCII.
bool AppendToFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace os
