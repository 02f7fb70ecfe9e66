#include "scan/crc32.h"

#include <zlib.h>

namespace scan {

// zlib's crc32 is this very function (reflected 0xEDB88320, complemented),
// and much faster than a table loop.
uint32_t Crc32(const void* data, size_t n, uint32_t crc) {
    const auto* p = static_cast<const Bytef*>(data);
    uLong c = crc;
    while (n > 0) {
        uInt chunk = n > (1u << 30) ? (1u << 30) : static_cast<uInt>(n);
        c = crc32(c, p, chunk);
        p += chunk;
        n -= chunk;
    }
    return static_cast<uint32_t>(c);
}

}  // namespace scan
