// Volumes on POSIX systems: only the space query has a meaning there.
#include <sys/statvfs.h>

#include "os/posix/files_posix.h"

namespace os {

namespace {

class PosixVolumes : public Volumes {
public:
    uint32_t LogicalDrives() override { return 0; }
    int DriveType(const std::string&) override { return kDriveFixed; }
    SpaceAnswer FreeSpace(const std::string& path) override {
        SpaceAnswer a;
        struct statvfs s;
        if (statvfs(path.empty() ? "/" : path.c_str(), &s) != 0) return a;
        a.outcome = SpaceAnswer::Outcome::Ok;
        a.total = static_cast<int64_t>(s.f_blocks) * static_cast<int64_t>(s.f_frsize);
        a.free = static_cast<int64_t>(s.f_bfree) * static_cast<int64_t>(s.f_frsize);
        a.available = static_cast<int64_t>(s.f_bavail) * static_cast<int64_t>(s.f_frsize);
        return a;
    }
    bool VolumeInfo(const std::string&, VolumeDetails&) override { return false; }
    std::string ShellDisplayName(const std::string&) override { return {}; }
};

}  // namespace

std::unique_ptr<Volumes> MakePosixVolumes() {
    return std::make_unique<PosixVolumes>();
}

}  // namespace os
