// CRC-32 (reflected polynomial 0xEDB88320), as ZIP archives and the duplicate
// finder's first-kilobyte checksum use it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace scan {

// Continues crc over the bytes; start with 0.
uint32_t Crc32(const void* data, size_t n, uint32_t crc = 0);

}  // namespace scan
