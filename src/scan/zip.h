// The ZIP container of disk images: one member, deflated, no encryption.
// The reader is total: any bytes give an answer, never a crash or an
// allocation beyond the limit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scan {

struct DosStamp {
    uint16_t time = 0, date = (1 << 5) | 1;  // 1980-01-01 00:00
};
DosStamp DosStampOf(int year, int month, int day, int hour, int minute, int second);

// An archive holding content as its only member; false when the content is
// too large for a plain (non-ZIP64) archive or compression fails.
bool ZipSingleMember(std::string_view memberName, std::string_view content, DosStamp stamp,
                     std::string& archive, int level = 1);

// The member's content; false when the archive is broken, the member is
// missing, stored with another method, encrypted, longer than limit, or
// its CRC does not match.
bool ZipExtract(std::string_view archive, std::string_view memberName, std::string& content,
                size_t limit = size_t(1) << 31);

}  // namespace scan
