// TFound: one file found by a scan.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "scan/md5.h"

namespace scan {

struct TFound {
    std::string path;        // root, separator, relative path
    int64_t lastAccess = 0;  // FILETIMEs
    int64_t creation = 0;
    int64_t lastWrite = 0;
    int64_t size = 0;
    int64_t change = 0;  // changes scan: new size minus stored size
    std::optional<Digest> digest;
    uint32_t checksum = 0;

    uint32_t SizeHigh() const { return static_cast<uint32_t>(static_cast<uint64_t>(size) >> 32); }
    uint32_t SizeLow() const { return static_cast<uint32_t>(static_cast<uint64_t>(size)); }
};

}  // namespace scan
