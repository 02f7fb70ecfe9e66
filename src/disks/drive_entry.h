// One monitored drive or folder and the space values of its last sample.
#pragma once
#include <cstdint>
#include <string>

namespace disks {

enum DriveKind : uint8_t {
    kRemovable = 2,
    kFixed = 3,
    kNetworkDrive = 4,
    kCdRom = 5,
    kRamDisk = 6,
    kLocalFolder = 7,
    kNetworkFolder = 8,
};

constexpr size_t kMaxDriveNameLength = 255;

struct DriveEntry {
    uint8_t Kind = 0;
    int64_t Used = 0;
    int64_t Available = 0;
    int64_t Capacity = 0;  // -1 after a query that raised
    int64_t Free = 0;
    int64_t FreeChange = 0;
    std::string Name;  // "X:" or a folder path

    bool IsFolder() const { return Kind == kLocalFolder || Kind == kNetworkFolder; }
};

}  // namespace disks
