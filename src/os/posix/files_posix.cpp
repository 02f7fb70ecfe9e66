// The file interface over POSIX calls, for the native build (tests, zmscan,
// benchmarks).
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "os/posix/files_posix.h"

namespace os {

namespace {

constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;

int64_t FileTimeOf(const timespec& t) {
    return kUnixEpochIn100ns + static_cast<int64_t>(t.tv_sec) * 10000000 + t.tv_nsec / 100;
}

void FillFromStat(const struct stat& st, DirEntry& e) {
    e.attributes = 0;
    if (S_ISDIR(st.st_mode)) e.attributes |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR)) e.attributes |= kAttrReadOnly;
    e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
    e.lastAccess = FileTimeOf(st.st_atim);
    e.lastWrite = FileTimeOf(st.st_mtim);
    // No cheap birth time in a stat: the last write stands in for it.
    e.creation = e.lastWrite;
    e.id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), true};
}

class PosixRead : public ReadHandle {
  public:
    PosixRead(int fd, bool restoreAtime, const struct stat& st)
        : fd_(fd), restoreAtime_(restoreAtime), st_(st) {}
    ~PosixRead() override {
        // Without O_NOATIME (files of other users) put the access time back.
        if (restoreAtime_ && statOk_) {
            timespec times[2] = {st_.st_atim, {0, UTIME_OMIT}};
            futimens(fd_, times);
        }
        close(fd_);
    }
    int64_t Size() override { return statOk_ ? static_cast<int64_t>(st_.st_size) : -1; }
    int64_t Read(void* buffer, size_t n) override {
        for (;;) {
            ssize_t r = read(fd_, buffer, n);
            if (r >= 0) return r;
            if (errno != EINTR) return -1;
        }
    }
    FileId Id() override {
        if (!statOk_) return {};
        return {static_cast<uint64_t>(st_.st_dev), static_cast<uint64_t>(st_.st_ino), true};
    }

  private:
    int fd_;
    bool restoreAtime_;
    bool statOk_ = true;
    struct stat st_;
};

class PosixMapping : public Mapping {
  public:
    PosixMapping(void* p, size_t n) : p_(p), n_(n) {}
    ~PosixMapping() override { munmap(p_, n_); }
    std::string_view Bytes() const override { return {static_cast<const char*>(p_), n_}; }

  private:
    void* p_;
    size_t n_;
};

class PosixWrite : public BufferedWriteHandle {
  public:
    explicit PosixWrite(int fd) : fd_(fd) {}
    ~PosixWrite() override { Close(); }

  private:
    bool WriteRaw(std::string_view b) override {
        while (!b.empty()) {
            ssize_t r = write(fd_, b.data(), b.size());
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            b.remove_prefix(static_cast<size_t>(r));
        }
        return true;
    }
    bool CloseRaw() override { return close(fd_) == 0; }
    int fd_;
};

class PosixFiles : public Files {
  public:
    char Separator() const override { return '/'; }

    bool List(const std::string& folder,
              const std::function<bool(const DirEntry&)>& each) override {
        int dfd = open(folder.empty() ? "/" : folder.c_str(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOATIME);
        if (dfd < 0)
            dfd = open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd < 0) return false;
        DIR* dir = fdopendir(dfd);
        if (!dir) {
            close(dfd);
            return false;
        }
        DirEntry e;
        struct stat st;
        while (dirent* d = readdir(dir)) {
            const char* n = d->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            if (fstatat(dfd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished
            bool link = S_ISLNK(st.st_mode);
            // A link is taken for what it leads to, as a junction would be.
            if (link && fstatat(dfd, n, &st, 0) != 0) continue;
            if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
            FillFromStat(st, e);
            if (link) e.attributes |= kAttrReparsePoint;
            e.name = n;
            if (!each(e)) break;
        }
        closedir(dir);
        return true;
    }

    FileId IdOf(const std::string& path) override {
        struct stat st;
        if (stat(path.empty() ? "/" : path.c_str(), &st) != 0) return {};
        return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), true};
    }

    std::unique_ptr<ReadHandle> OpenRead(const std::string& path) override {
        bool restore = false;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
        if (fd < 0 && errno == EPERM) {
            fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            restore = true;
        }
        if (fd < 0) return nullptr;
        struct stat st;
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            close(fd);
            return nullptr;
        }
        // Read-ahead matters only for files that take more than a few reads.
        if (st.st_size > (1 << 20)) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return std::make_unique<PosixRead>(fd, restore, st);
    }

    std::unique_ptr<Mapping> Map(const std::string& path) override {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
        if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat st;
        void* p = MAP_FAILED;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        close(fd);
        if (p == MAP_FAILED) return nullptr;
        return std::make_unique<PosixMapping>(p, static_cast<size_t>(st.st_size));
    }

    std::unique_ptr<WriteHandle> Create(const std::string& path) override {
        return OpenWrite(path, O_TRUNC);
    }
    std::unique_ptr<WriteHandle> Append(const std::string& path) override {
        return OpenWrite(path, O_APPEND);
    }

    bool TimesOf(const std::string& path, FileTimes& out) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) return false;
        out.lastAccess = FileTimeOf(st.st_atim);
        out.lastWrite = FileTimeOf(st.st_mtim);
        out.creation = out.lastWrite;
#ifdef STATX_BTIME
        struct statx sx;
        if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
            out.creation = FileTimeOf({static_cast<time_t>(sx.stx_btime.tv_sec),
                                       static_cast<long>(sx.stx_btime.tv_nsec)});
#endif
        return true;
    }

    int64_t ToLocalFileTime(int64_t utc) override {
        time_t secs = static_cast<time_t>((utc - kUnixEpochIn100ns) / 10000000);
        std::tm tm{};
        if (!localtime_r(&secs, &tm)) return utc;
        return utc + static_cast<int64_t>(tm.tm_gmtoff) * 10000000;
    }

    bool Exists(const std::string& path) override {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }
    bool Delete(const std::string& path) override {
        return unlink(path.c_str()) == 0;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return rename(from.c_str(), to.c_str()) == 0;
    }
    bool CreateFolder(const std::string& path) override {
        if (path.empty()) return false;
        struct stat st;
        if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
        size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash > 0) CreateFolder(path.substr(0, slash));
        return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
    }

    std::string WindowsFolder() override {
        return {};
    }

  private:
    std::unique_ptr<WriteHandle> OpenWrite(const std::string& path, int mode) {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | mode, 0666);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixWrite>(fd);
    }
};

}  // namespace

std::unique_ptr<Files> MakePosixFiles() {
    return std::make_unique<PosixFiles>();
}

}  // namespace os
