#include "scan/scan.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <thread>

#include "common/text.h"
#include "disks/debug_log.h"
#include "disks/sampling.h"
#include "scan/duplicates.h"
#include "scan/images.h"
#include "scan/report.h"

namespace scan {

namespace {

// Deeper folders are not walked: the walk recurses, and its thread's stack
// must hold every level.
constexpr int kMaxDepth = 256;

bool EarlierAccess(const TFound& a, const TFound& b) {
    return static_cast<uint64_t>(a.lastAccess) < static_cast<uint64_t>(b.lastAccess);
}
bool Larger(const TFound& a, const TFound& b) {
    return static_cast<uint64_t>(a.size) > static_cast<uint64_t>(b.size);
}

// Keeps list at most n long, ordered by before once full. Inserting after the
// entries that are not after it is the stable re-sort of the list with the
// file appended; the file that falls off the end is the N+1st.
template <class Before>
void KeepBest(std::vector<TFound>& list, size_t n, const TFound& probe,
              const std::function<TFound()>& make, Before before) {
    if (n == 0) return;
    if (list.size() < n) {
        list.push_back(make());
        if (list.size() == n) std::stable_sort(list.begin(), list.end(), before);
        return;
    }
    if (!before(probe, list.back())) return;
    auto at = std::upper_bound(list.begin(), list.end(), probe, before);
    list.insert(at, make());
    list.pop_back();
}

int64_t RoundHalfEven(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

}  // namespace

const char* ReportFileName(int kind) {
    switch (kind) {
        case kChangesScan:
            return "Changes.txt";
        case kDuplicatesScan:
            return "Duplicates.txt";
        default:
            return "Search.txt";
    }
}

TScan::TScan(ScanJob job, ScanServices services)
    : job_(std::move(job)), svc_(std::move(services)), sep_(svc_.files->Separator()) {}

TScan::~TScan() {
    first_.clear();
    second_.clear();
    third_.clear();
    candidates_.clear();
    currentImage_.reset();
    if (svc_.listener) svc_.listener->Finished(resultFlag_, outcome_);
}

std::shared_ptr<ScanControl> TScan::Start(std::unique_ptr<TScan> scan) {
    std::shared_ptr<ScanControl> control = scan->control_;
    std::thread([s = std::move(scan)]() mutable {
        s->Execute();
        s.reset();
    }).detach();
    return control;
}

std::string TScan::ReportPath() const {
    const std::string& f = job_.programFolder;
    return f.empty() ? ReportFileName(job_.kind) : f + sep_ + ReportFileName(job_.kind);
}

void TScan::Execute() {
    try {
        disks::LogScope scope("TScan.Execute");
        if (job_.kind == kChangesScan) currentImage_ = std::make_unique<TMapStrings>(sep_);
        if (!os::WriteWholeFile(*svc_.files, ReportPath(), {})) {
            outcome_ = ScanOutcome::Failed;
            return;
        }
        if (job_.kind == kFreeSpaceScan) {
            windowsFolder_ = text::LowerAscii(svc_.files->WindowsFolder());
            if (!windowsFolder_.empty() && windowsFolder_.back() == sep_) windowsFolder_.pop_back();
            maskList_ = SplitMasks(job_.TempFilesExts);
            masks_ = std::make_unique<MaskSet>(maskList_);
        }
        processed_ = 0;
        changesFound_ = false;
        for (const std::string& root : job_.roots) {
            if (Terminated()) break;
            BeginRoot(root);
            svc_.listener->RootBegins();
            std::string path = root;
            ancestors_.clear();
            prefetch_ = std::make_unique<FolderPrefetch>(*svc_.files, job_.walkThreads);
            WalkFolder(path, root.size() + 1, 0, {});
            prefetch_.reset();
            svc_.listener->RootEnds();
            if (Terminated()) {
                if (storedImage_.valid()) storedImage_.wait();
                break;
            }
            if (job_.kind == kChangesScan) CompareImage(root);
        }
        svc_.listener->Status(fileCounter_, kStatusFileCount);
        if (job_.kind == kFreeSpaceScan) {
            WriteReport();
        } else if (job_.kind == kChangesScan) {
            resultFlag_ = true;
            if (changesFound_) WriteReport();
        } else {
            DuplicatesContext ctx{*svc_.files, *svc_.listener, control_->Flag(), job_.digest,
                                  job_.hashThreads};
            FindDuplicates(ctx, candidates_, first_, candidateCount_, duplicateCount_);
            if (!first_.empty() && !Terminated()) {
                WriteReport();
                resultFlag_ = true;
            }
        }
        if (Terminated()) outcome_ = ScanOutcome::Cancelled;
    } catch (...) {
        // Out of memory and the like: the scan fails, the thread does not.
        outcome_ = ScanOutcome::Failed;
        resultFlag_ = false;
    }
}

bool TScan::BeginRoot(const std::string& root) {
    if (job_.kind != kChangesScan) return true;
    svc_.listener->Status(0, kStatusDriveBegins);
    svc_.listener->Progress(0);
    currentImage_ = std::make_unique<TMapStrings>(sep_);
    processed_ = 0;
    lastPercent_ = 0;
    disks::DriveEntry drive;
    drive.Name = root.empty() ? std::string(1, sep_) : root;
    disks::DriveEntry sample = disks::SampleDriveSpace(*svc_.volumes, drive);
    job_.total = sample.Capacity > 0 ? sample.Capacity - sample.Free : 0;
    percentUnit_ = job_.total / 100;
    // The stored image is read on another thread while this one walks.
    imageName_ = ImageNameOf(*svc_.volumes, root);
    auto files = svc_.files;
    std::string folder = job_.programFolder, name = imageName_;
    char sep = sep_;
    auto control = control_;
    storedImage_ = std::async(std::launch::async, [files, folder, name, sep, control] {
        StoredImage s;
        s.map = std::make_unique<TMapStrings>(sep);
        s.present = LoadStoredImage(*files, folder, name, *s.map, control->Flag());
        return s;
    });
    return true;
}

bool TScan::SkipsFolder(const std::string& path) const {
    if (job_.kind != kFreeSpaceScan || !job_.ExcludeSystemFiles || windowsFolder_.empty())
        return false;
    std::string lower = text::LowerAscii(path);
    return lower == windowsFolder_ ||
           (text::StartsWith(lower, windowsFolder_) && lower[windowsFolder_.size()] == sep_);
}

bool TScan::WalksInto(const os::DirEntry& e) const {
    if (!e.IsFolder()) return false;
    if (!e.name.empty() && e.name[0] == '.') return false;
    return !(job_.ExcludeSystemFiles && (e.attributes & os::kAttrSystem));
}

void TScan::WalkFolder(std::string& path, size_t relStart, int depth, os::FileId id) {
    control_->SetCurrentFolder(path);
    if (SkipsFolder(path) || depth >= kMaxDepth) return;
    Listing listing = prefetch_->Take(path);
    if (!listing.ok) return;
    // The subfolders go to the helpers first one on top, as the walk wants them.
    size_t old = path.size();
    if (depth + 1 < kMaxDepth)
        for (size_t i = listing.items.size(); i-- > 0;) {
            os::DirEntry e = listing.EntryAt(i);
            if (!WalksInto(e)) continue;
            path += sep_;
            path += e.name;
            if (!SkipsFolder(path)) prefetch_->Prefetch(path);
            path.resize(old);
        }
    ancestors_.push_back({path.size(), id, id.valid});
    for (size_t i = 0; i < listing.items.size(); ++i) {
        if (Terminated()) break;
        os::DirEntry e = listing.EntryAt(i);
        if (e.IsFolder()) {
            if (!WalksInto(e)) continue;
            path += sep_;
            path += e.name;
            os::FileId childId;
            if (!EntersLoop(path, e, childId)) WalkFolder(path, relStart, depth + 1, childId);
            path.resize(old);
        } else {
            HandleFile(path, relStart, e);
        }
    }
    ancestors_.pop_back();
}

bool TScan::EntersLoop(std::string& path, const os::DirEntry& e, os::FileId& id) {
    id = e.id;
    if (!id.valid && (e.attributes & os::kAttrReparsePoint)) id = svc_.files->IdOf(path);
    if (!id.valid) return false;
    for (Ancestor& a : ancestors_) {
        if (!a.idKnown) {
            a.id = svc_.files->IdOf(path.substr(0, a.pathLength));
            a.idKnown = true;
        }
        if (a.id == id) return true;
    }
    return false;
}

TFound TScan::FoundOf(const std::string& folder, const os::DirEntry& e) const {
    TFound f;
    f.path.reserve(folder.size() + 1 + e.name.size());
    f.path = folder;
    f.path += sep_;
    f.path += e.name;
    f.lastAccess = e.lastAccess;
    f.creation = e.creation;
    f.lastWrite = e.lastWrite;
    f.size = e.size;
    return f;
}

void TScan::HandleFile(const std::string& folder, size_t relStart, const os::DirEntry& e) {
    processed_ += e.size;
    if (!(job_.ExcludeSystemFiles && (e.attributes & os::kAttrSystem))) {
        switch (job_.kind) {
            case kFreeSpaceScan:
                SelectFreeSpace(folder, e);
                break;
            case kChangesScan: {
                std::string entry;
                if (folder.size() >= relStart) {
                    entry.assign(folder, relStart);
                    entry += sep_;
                }
                entry += e.name;
                entry += '\t';
                entry += std::to_string(e.size);
                currentImage_->Add(entry);
                break;
            }
            default:
                // Empty files are never duplicates; the checksum of the rest is
                // taken after the walk, only where another file has the same size.
                if (e.size > 0) candidates_.push_back(FoundOf(folder, e));
        }
    }
    if (percentUnit_ != 0) {
        int percent = static_cast<int>(processed_ / percentUnit_);
        if (percent != lastPercent_) {
            svc_.listener->Progress(percent);
            lastPercent_ = percent;
        }
    }
    ++fileCounter_;
    if (fileCounter_ % 10 == 0) svc_.listener->Status(fileCounter_, kStatusFileCount);
}

void TScan::SelectFreeSpace(const std::string& folder, const os::DirEntry& e) {
    size_t n = job_.ResQuanity > 0 ? static_cast<size_t>(job_.ResQuanity) : 0;
    TFound probe;
    probe.size = e.size;
    probe.lastAccess = e.lastAccess;
    auto make = [&] { return FoundOf(folder, e); };
    KeepBest(first_, n, probe, make, Larger);
    KeepBest(second_, n, probe, make, EarlierAccess);
    if (job_.SearchForTempFiles && masks_->FirstMatch(e.name) >= 0) third_.push_back(make());
}

void TScan::CompareImage(const std::string& root) {
    if (Terminated()) return;
    os::Files& files = *svc_.files;
    const std::string& imageName = imageName_;
    svc_.listener->Status(0, kStatusLoadingImage);
    StoredImage loaded = storedImage_.get();
    TMapStrings& stored = *loaded.map;
    if (!loaded.present || Terminated()) {
        svc_.listener->Status(0, kStatusSavingImage);
        SavePendingImage(files, *svc_.clock, job_.programFolder, imageName, *currentImage_);
        return;
    }
    TMapStrings& current = *currentImage_;
    if (current.Count() == 0) return;
    svc_.listener->Status(0, kStatusSavingImage);
    // Compressed and written on another thread while this one compares.
    auto lines = std::make_shared<std::string>();
    current.SaveToStream(*lines);
    auto filesPtr = svc_.files;
    os::Clock* clock = svc_.clock;
    std::string folder = job_.programFolder;
    std::future<bool> saved = std::async(std::launch::async, [=] {
        return WritePendingImage(*filesPtr, *clock, folder, imageName, *lines);
    });

    svc_.listener->Status(0, kStatusComparing);
    processed_ = 0;
    percentUnit_ = std::max<int64_t>(1, RoundHalfEven(static_cast<double>(current.Count()) / 100));
    lastPercent_ = 0;
    size_t before = first_.size() + second_.size() + third_.size();
    auto sizeOf = [](const std::string& entry, size_t tab) {
        int64_t v = 0;
        if (tab == std::string::npos ||
            !text::ParseInt64(std::string_view(entry).substr(tab + 1), v))
            v = 0;
        return v;
    };
    while (current.Count() > 0) {
        std::string e = current.First();
        if (!stored.Remove(e)) {
            size_t tab = e.find('\t');
            std::string p = e.substr(0, tab);
            TFound f;
            f.path = root + sep_ + p;
            os::FileTimes t;
            if (files.TimesOf(f.path, t)) {
                f.creation = files.ToLocalFileTime(t.creation);
                f.lastAccess = files.ToLocalFileTime(t.lastAccess);
                f.lastWrite = files.ToLocalFileTime(t.lastWrite);
            }
            f.size = sizeOf(e, tab);
            std::string old = stored.FindName(p);
            if (old.empty()) {
                second_.push_back(std::move(f));
            } else {
                stored.Remove(old);
                f.change = f.size - sizeOf(old, old.find('\t'));
                first_.push_back(std::move(f));
            }
        }
        current.DeleteFirst();
        if (Terminated()) break;
        ++processed_;
        int percent = static_cast<int>(processed_ / percentUnit_);
        if (percent != lastPercent_) {
            svc_.listener->Progress(percent);
            lastPercent_ = percent;
        }
    }
    while (!Terminated() && stored.Count() > 0) {
        std::string e = stored.First();
        stored.DeleteFirst();
        size_t tab = e.find('\t');
        TFound f;
        f.path = root + sep_ + e.substr(0, tab);
        f.size = sizeOf(e, tab);
        third_.push_back(std::move(f));
    }
    if (first_.size() + second_.size() + third_.size() > before) changesFound_ = true;
    saved.wait();
}

void TScan::WriteReport() {
    ReportInput in;
    in.kind = job_.kind;
    in.lists[0] = &first_;
    in.lists[1] = &second_;
    in.lists[2] = &third_;
    in.fileCounter = fileCounter_;
    in.candidateCount = candidateCount_;
    in.duplicateCount = duplicateCount_;
    scan::WriteReport(*svc_.files, ReportPath(), in, svc_.clock->Now(), svc_.locale,
                      control_->Flag());
}

}  // namespace scan
