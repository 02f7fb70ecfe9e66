// TScan: the worker behind the three disk scans. It walks the roots depth
// first and keeps the largest, oldest and temporary files (kind 0), builds
// and compares disk images (kind 1) or finds duplicate files (kind 2), and
// writes the kind's report into the program folder.
#pragma once
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/clock.h"
#include "os/files.h"
#include "os/locale.h"
#include "os/volumes.h"
#include "scan/folder_prefetch.h"
#include "scan/found.h"
#include "scan/map_strings.h"
#include "scan/masks.h"
#include "scan/scan_listener.h"

namespace scan {

enum ScanKind : int { kFreeSpaceScan = 0, kChangesScan = 1, kDuplicatesScan = 2 };

constexpr const char* kDefaultTempMasks =
    " *.bak, *.tmp, *.temp, *.$$$, *.@@@, *.~*, *.*~, *.---, *.chk, *.dmp, ~$*.*, *.___, "
    "*.ncb, thumbs.db";

// The part of a running scan that its starter keeps: the terminate flag and
// the folder being walked. It outlives the engine, which frees itself.
class ScanControl {
  public:
    void Terminate() { terminate_ = true; }
    bool Terminated() const { return terminate_.load(std::memory_order_relaxed); }
    const std::atomic<bool>& Flag() const { return terminate_; }
    std::string CurrentFolder() const {
        std::lock_guard l(lock_);
        return folder_;
    }
    void SetCurrentFolder(const std::string& folder) {
        std::lock_guard l(lock_);
        folder_ = folder;
    }

  private:
    std::atomic<bool> terminate_{false};
    mutable std::mutex lock_;
    std::string folder_;
};

// The whole-file digest of the hash library, when it is loaded.
using DigestFn = std::function<bool(const std::string& path, Digest& out)>;

struct ScanJob {
    int kind = kFreeSpaceScan;
    std::vector<std::string> roots;  // "C:", folders, without a trailing separator
    int16_t ResQuanity = 100;
    std::string TempFilesExts = kDefaultTempMasks;
    bool SearchForTempFiles = true;
    bool ExcludeSystemFiles = true;
    std::string programFolder;  // reports and images
    int64_t total = 0;
    DigestFn digest;      // null: MD5 computed in the program
    int hashThreads = 4;  // readers and hashers of the duplicates scan: opening and
                          // reading are system calls, so more readers than cores pay
    int walkThreads = 2;  // helpers that list folders ahead of the walk
};

struct ScanServices {
    std::shared_ptr<os::Files> files;
    std::shared_ptr<os::Volumes> volumes;
    std::shared_ptr<ScanListener> listener;
    os::Clock* clock = nullptr;
    os::LocaleFormats locale;
};

const char* ReportFileName(int kind);

class TScan {
  public:
    TScan(ScanJob job, ScanServices services);
    // Reports the end (Finished) as its last act.
    ~TScan();
    TScan(const TScan&) = delete;
    TScan& operator=(const TScan&) = delete;

    // Runs the scan on a thread of its own, which frees the engine at its end.
    static std::shared_ptr<ScanControl> Start(std::unique_ptr<TScan> scan);

    // The thread's body; tests call it directly.
    void Execute();

    const std::shared_ptr<ScanControl>& Control() const { return control_; }
    const std::vector<TFound>& FirstList() const { return first_; }
    const std::vector<TFound>& SecondList() const { return second_; }
    const std::vector<TFound>& ThirdList() const { return third_; }
    uint32_t FileCounter() const { return fileCounter_; }
    uint32_t CandidateCount() const { return candidateCount_; }
    uint32_t DuplicateCount() const { return duplicateCount_; }
    bool ResultFlag() const { return resultFlag_; }
    bool ChangesFound() const { return changesFound_; }
    ScanOutcome Outcome() const { return outcome_; }

  private:
    bool Terminated() const { return control_->Terminated(); }
    std::string ReportPath() const;
    bool BeginRoot(const std::string& root);
    bool SkipsFolder(const std::string& path) const;
    bool WalksInto(const os::DirEntry& e) const;
    void WalkFolder(std::string& path, size_t relStart, int depth, os::FileId id);
    bool EntersLoop(std::string& path, const os::DirEntry& e, os::FileId& id);
    void HandleFile(const std::string& folder, size_t relStart, const os::DirEntry& e);
    void SelectFreeSpace(const std::string& folder, const os::DirEntry& e);
    void CompareImage(const std::string& root);
    void WriteReport();
    TFound FoundOf(const std::string& folder, const os::DirEntry& e) const;

    ScanJob job_;
    ScanServices svc_;
    std::shared_ptr<ScanControl> control_ = std::make_shared<ScanControl>();
    char sep_;

    int64_t processed_ = 0;
    int64_t percentUnit_ = 0;
    int lastPercent_ = 0;
    std::string windowsFolder_;
    uint32_t fileCounter_ = 0;
    bool resultFlag_ = false;
    bool changesFound_ = false;
    uint32_t candidateCount_ = 0, duplicateCount_ = 0;
    ScanOutcome outcome_ = ScanOutcome::Completed;
    std::vector<TFound> first_, second_, third_, candidates_;
    std::vector<std::string> maskList_;
    std::unique_ptr<MaskSet> masks_;
    std::unique_ptr<TMapStrings> currentImage_;
    std::unique_ptr<FolderPrefetch> prefetch_;
    struct StoredImage {
        bool present = false;
        std::unique_ptr<TMapStrings> map;
    };
    std::string imageName_;
    std::future<StoredImage> storedImage_;
    // Folders on the way down, for telling a link back to an ancestor.
    struct Ancestor {
        size_t pathLength;
        os::FileId id;
        bool idKnown;
    };
    std::vector<Ancestor> ancestors_;
};

}  // namespace scan
