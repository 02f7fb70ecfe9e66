#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "os/win32/system.h"
#include "os/win32/wide.h"

namespace os::win32 {

namespace {

// Shell calls want COM on the calling thread, and the network worker is one.
void EnsureComOnThisThread() {
    thread_local bool done = false;
    if (!done) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        done = true;
    }
}

// No "insert a disk" box while a query runs.
class QuietErrors {
  public:
    QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(old_); }

  private:
    UINT old_;
};

class Win32Volumes : public Volumes {
  public:
    uint32_t LogicalDrives() override { return GetLogicalDrives(); }

    int DriveType(const std::string& root) override {
        return static_cast<int>(GetDriveTypeW(Wide(root).c_str()));
    }

    SpaceAnswer FreeSpace(const std::string& path) override {
        SpaceAnswer a;
        if (path.find('\0') != std::string::npos) {
            a.outcome = SpaceAnswer::Outcome::Raised;
            return a;
        }
        QuietErrors quiet;
        ULARGE_INTEGER avail, total, free;
        if (GetDiskFreeSpaceExW(Wide(path).c_str(), &avail, &total, &free)) {
            a.outcome = SpaceAnswer::Outcome::Ok;
            a.available = static_cast<int64_t>(avail.QuadPart);
            a.total = static_cast<int64_t>(total.QuadPart);
            a.free = static_cast<int64_t>(free.QuadPart);
        }
        return a;
    }

    bool VolumeInfo(const std::string& root, VolumeDetails& out) override {
        QuietErrors quiet;
        wchar_t label[MAX_PATH + 1] = {}, fs[MAX_PATH + 1] = {};
        DWORD serial = 0, maxLen = 0, flags = 0;
        if (!GetVolumeInformationW(Wide(root).c_str(), label, MAX_PATH + 1, &serial, &maxLen,
                                   &flags, fs, MAX_PATH + 1))
            return false;
        out.label = Utf8(label);
        out.serial = serial;
        out.maxComponentLength = maxLen;
        out.flags = flags;
        out.fileSystem = Utf8(fs);
        return true;
    }

    std::string ShellDisplayName(const std::string& path) override {
        EnsureComOnThisThread();
        QuietErrors quiet;
        SHFILEINFOW info = {};
        if (!SHGetFileInfoW(Wide(path).c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME))
            return {};
        return Utf8(info.szDisplayName);
    }
};

}  // namespace

std::unique_ptr<Volumes> MakeVolumes() {
    return std::make_unique<Win32Volumes>();
}

}  // namespace os::win32
