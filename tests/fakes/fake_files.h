// Real files in a temp folder, seen through a file interface that a test can
// bend: drive names ("X:") mapped onto folders, attributes added by name, a
// Windows folder, and a count of the files opened for reading.
#pragma once
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <vector>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "os/files.h"
#include "os/posix/files_posix.h"

namespace fakes {

// A temp folder removed with everything in it at the end of the test.
class TempTree {
public:
    TempTree() {
        char tmpl[] = "/tmp/zmscan-XXXXXX";
        root = mkdtemp(tmpl);
    }
    ~TempTree() {
        nftw(
            root.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); },
            16, FTW_DEPTH | FTW_PHYS);
    }
    std::string Path(const std::string& rel) const { return rel.empty() ? root : root + "/" + rel; }
    void Folder(const std::string& rel) const {
        std::string p = Path(rel);
        for (size_t i = root.size() + 1; i <= p.size(); ++i)
            if (i == p.size() || p[i] == '/') mkdir(p.substr(0, i).c_str(), 0777);
    }
    // A file with content; its last access (and write) time set when atime != 0
    // (seconds since 1970).
    void File(const std::string& rel, const std::string& content, long atime = 0) const {
        size_t slash = rel.rfind('/');
        if (slash != std::string::npos) Folder(rel.substr(0, slash));
        std::FILE* f = std::fopen(Path(rel).c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        if (atime) SetTimes(rel, atime);
    }
    void SetTimes(const std::string& rel, long atime) const {
        timeval tv[2] = {{atime, 0}, {atime, 0}};
        utimes(Path(rel).c_str(), tv);
    }
    long AccessTime(const std::string& rel) const {
        struct stat st;
        return stat(Path(rel).c_str(), &st) == 0 ? st.st_atim.tv_sec : -1;
    }
    std::string root;
};

class FakeFiles : public os::Files {
public:
    FakeFiles() : real_(os::MakePosixFiles()) {}

    std::map<std::string, std::string> drives;  // "X:" -> folder
    std::set<std::string> systemNames;          // names that get the system attribute
    std::string windowsFolder;
    std::atomic<int> opened{0};
    std::set<std::string> unreadable;  // paths (as the scan gives them) that fail to open
    std::mutex lock;
    std::multiset<std::string> openedPaths;

    std::string Real(const std::string& p) const {
        for (const auto& [drive, folder] : drives)
            if (p.compare(0, drive.size(), drive) == 0) return folder + p.substr(drive.size());
        return p;
    }

    char Separator() const override { return '/'; }
    bool List(const std::string& folder,
              const std::function<bool(const os::DirEntry&)>& each) override {
        // Listed in name order, so that tests do not depend on the file system's.
        std::vector<std::pair<std::string, os::DirEntry>> all;
        bool ok = real_->List(Real(folder), [&](const os::DirEntry& e) {
            all.emplace_back(std::string(e.name), e);
            return true;
        });
        std::sort(all.begin(), all.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [name, e] : all) {
            e.name = name;
            if (systemNames.count(name)) e.attributes |= os::kAttrSystem;
            if (!each(e)) break;
        }
        return ok;
    }
    os::FileId IdOf(const std::string& p) override { return real_->IdOf(Real(p)); }
    std::unique_ptr<os::ReadHandle> OpenRead(const std::string& p) override {
        if (unreadable.count(p)) return nullptr;
        ++opened;
        {
            std::lock_guard l(lock);
            openedPaths.insert(p);
        }
        return real_->OpenRead(Real(p));
    }
    std::unique_ptr<os::Mapping> Map(const std::string& p) override { return real_->Map(Real(p)); }
    std::unique_ptr<os::WriteHandle> Create(const std::string& p) override {
        return real_->Create(Real(p));
    }
    std::unique_ptr<os::WriteHandle> Append(const std::string& p) override {
        return real_->Append(Real(p));
    }
    bool TimesOf(const std::string& p, os::FileTimes& out) override {
        return real_->TimesOf(Real(p), out);
    }
    int64_t ToLocalFileTime(int64_t utc) override { return utc; }
    bool Exists(const std::string& p) override { return real_->Exists(Real(p)); }
    bool Delete(const std::string& p) override { return real_->Delete(Real(p)); }
    bool Rename(const std::string& a, const std::string& b) override {
        return real_->Rename(Real(a), Real(b));
    }
    bool CreateFolder(const std::string& p) override { return real_->CreateFolder(Real(p)); }
    std::string WindowsFolder() override { return windowsFolder; }

private:
    std::unique_ptr<os::Files> real_;
};

}  // namespace fakes
