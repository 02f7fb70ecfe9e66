// The duplicates phase: files that share size and first-kilobyte CRC-32 are
// hashed whole with MD5; equal digests make the groups, ordered by digest.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "os/files.h"
#include "scan/found.h"
#include "scan/scan.h"
#include "scan/scan_listener.h"

namespace scan {

struct DuplicatesContext {
    os::Files& files;
    ScanListener& listener;
    const std::atomic<bool>& stop;
    DigestFn digest;  // null: MD5 in the program
    int threads = 2;
};

// Bytes of a file that its checksum covers.
constexpr int64_t kChecksumBytes = 1024;

// files: every non-empty file of the walk, in the order found; consumed.
// groups receives the files of the duplicate groups, group after group.
// The same file reached by two paths counts once (the first path found).
void FindDuplicates(DuplicatesContext& ctx, std::vector<TFound>& files, std::vector<TFound>& groups,
                    uint32_t& candidateCount, uint32_t& duplicateCount);

}  // namespace scan
