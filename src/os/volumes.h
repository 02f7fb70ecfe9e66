// What the drive catalogue and the sampling need to know about volumes.
#pragma once
#include <cstdint>
#include <string>

namespace os {

// The system's drive-type codes (0 unknown, 1 no root directory).
enum DriveTypeCode : int {
    kDriveUnknown = 0,
    kDriveNoRoot = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6,
};

struct SpaceAnswer {
    enum class Outcome { Ok, Failed, Raised };
    Outcome outcome = Outcome::Failed;
    int64_t available = 0;  // free bytes available to the caller
    int64_t total = 0;
    int64_t free = 0;
};

struct VolumeDetails {
    std::string label;
    uint32_t serial = 0;
    uint32_t maxComponentLength = 0;
    uint32_t flags = 0;
    std::string fileSystem;
};

class Volumes {
  public:
    virtual ~Volumes() = default;
    // Bit n set: drive letter 'A' + n is present.
    virtual uint32_t LogicalDrives() = 0;
    // Type of a root such as "C:\".
    virtual int DriveType(const std::string& root) = 0;
    // Free-space query of a drive name ("C:") or a folder path; shows no
    // critical-error box while it runs.
    virtual SpaceAnswer FreeSpace(const std::string& path) = 0;
    // Label, serial and file system of a root such as "C:\"; false on failure.
    virtual bool VolumeInfo(const std::string& root, VolumeDetails& out) = 0;
    // The shell's display name of a path ("Local Disk (C:)"); empty when none.
    virtual std::string ShellDisplayName(const std::string& path) = 0;
};

}  // namespace os
