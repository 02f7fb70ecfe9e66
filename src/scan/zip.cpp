#include "scan/zip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "scan/crc32.h"

namespace scan {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50, kCentralSig = 0x02014b50, kEndSig = 0x06054b50;

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
uint32_t Get16(std::string_view s, size_t at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
uint32_t Get32(std::string_view s, size_t at) {
    return Get16(s, at) | Get16(s, at + 2) << 16;
}

uint32_t ZipCrc(std::string_view s) {
    return Crc32(s.data(), s.size());
}

bool Deflate(std::string_view in, std::string& out, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    out.resize(deflateBound(&z, static_cast<uLong>(in.size())) + 16);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    int r = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return r == Z_STREAM_END;
}

bool Inflate(std::string_view in, size_t expected, std::string& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    out.resize(expected);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(expected);
    int r = inflate(&z, Z_FINISH);
    bool ok = (r == Z_STREAM_END) && z.total_out == expected;
    // An empty member may have been written as an empty stream.
    if (!ok && expected == 0 && in.empty()) ok = true;
    inflateEnd(&z);
    return ok;
}

}  // namespace

DosStamp DosStampOf(int year, int month, int day, int hour, int minute, int second) {
    DosStamp d;
    if (year < 1980 || year > 2107) return d;
    d.date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    d.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
    return d;
}

bool ZipSingleMember(std::string_view name, std::string_view content, DosStamp stamp,
                     std::string& archive, int level) {
    archive.clear();
    if (content.size() >= 0xFFFFFFFFu || name.size() > 0xFFFF || content.size() > UINT_MAX / 2)
        return false;
    std::string packed;
    if (!Deflate(content, packed, level) || packed.size() >= 0xFFFFFFFFu) return false;
    uint32_t crc = ZipCrc(content);
    auto header = [&](bool central) {
        Put32(archive, central ? kCentralSig : kLocalSig);
        if (central) Put16(archive, 20);  // made by
        Put16(archive, 20);               // needed: deflate
        Put16(archive, 0x0800);           // names are UTF-8
        Put16(archive, 8);
        Put16(archive, stamp.time);
        Put16(archive, stamp.date);
        Put32(archive, crc);
        Put32(archive, static_cast<uint32_t>(packed.size()));
        Put32(archive, static_cast<uint32_t>(content.size()));
        Put16(archive, static_cast<uint32_t>(name.size()));
        Put16(archive, 0);  // extra
        if (central) {
            Put16(archive, 0);  // comment
            Put16(archive, 0);  // disk
            Put16(archive, 0);  // internal attributes
            Put32(archive, 0);  // external attributes
            Put32(archive, 0);  // offset of the local header
        }
        archive.append(name);
    };
    archive.reserve(packed.size() + 2 * name.size() + 128);
    header(false);
    archive += packed;
    size_t centralAt = archive.size();
    header(true);
    size_t centralSize = archive.size() - centralAt;
    Put32(archive, kEndSig);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, 1);
    Put16(archive, 1);
    Put32(archive, static_cast<uint32_t>(centralSize));
    Put32(archive, static_cast<uint32_t>(centralAt));
    Put16(archive, 0);
    return true;
}

bool ZipExtract(std::string_view a, std::string_view name, std::string& content, size_t limit) {
    content.clear();
    if (a.size() < 22) return false;
    // The end record: last signature within the largest possible comment.
    size_t end = std::string_view::npos;
    size_t lowest = a.size() > 22 + 0xFFFF ? a.size() - 22 - 0xFFFF : 0;
    for (size_t at = a.size() - 22 + 1; at-- > lowest;)
        if (Get32(a, at) == kEndSig) {
            end = at;
            break;
        }
    if (end == std::string_view::npos) return false;
    uint32_t count = Get16(a, end + 10);
    uint64_t cdSize = Get32(a, end + 12), cdAt = Get32(a, end + 16);
    if (cdAt > end || cdSize > end - cdAt) return false;
    size_t at = static_cast<size_t>(cdAt), cdEnd = static_cast<size_t>(cdAt + cdSize);
    for (uint32_t k = 0; k < count; ++k) {
        if (at + 46 > cdEnd || Get32(a, at) != kCentralSig) return false;
        uint32_t flags = Get16(a, at + 8), method = Get16(a, at + 10);
        uint32_t crc = Get32(a, at + 16);
        uint64_t packed = Get32(a, at + 20), size = Get32(a, at + 24);
        size_t nameLen = Get16(a, at + 28), extra = Get16(a, at + 30), comment = Get16(a, at + 32);
        uint64_t local = Get32(a, at + 42);
        if (at + 46 + nameLen > cdEnd) return false;
        std::string_view entryName = a.substr(at + 46, nameLen);
        at += 46 + nameLen + extra + comment;
        if (entryName != name) continue;
        if ((flags & 1) || (method != 0 && method != 8)) return false;
        if (size > limit || packed == 0xFFFFFFFFu || size == 0xFFFFFFFFu) return false;
        // Deflate cannot expand data more than about 1032 to 1: a larger claim
        // is a broken archive, and must not make us allocate.
        if (method == 8 && size > packed * 1032 + 64) return false;
        if (method == 0 && size != packed) return false;
        if (local + 30 > a.size() || Get32(a, static_cast<size_t>(local)) != kLocalSig)
            return false;
        uint64_t dataAt = local + 30 + Get16(a, static_cast<size_t>(local) + 26) +
                          Get16(a, static_cast<size_t>(local) + 28);
        if (dataAt > a.size() || packed > a.size() - dataAt) return false;
        std::string_view data = a.substr(static_cast<size_t>(dataAt), static_cast<size_t>(packed));
        if (method == 0) {
            content.assign(data);
        } else if (!Inflate(data, static_cast<size_t>(size), content)) {
            content.clear();
            return false;
        }
        if (ZipCrc(content) != crc) {
            content.clear();
            return false;
        }
        return true;
    }
    return false;
}

}  // namespace scan
