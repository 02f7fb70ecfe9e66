#include "os/win32/files_win32.h"

#include <windows.h>

#include <string_view>

#include "os/win32/wide.h"

namespace os::win32 {

namespace {

int64_t FileTimeOf(const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

FileId IdOfHandle(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return {};
    return {info.dwVolumeSerialNumber,
            (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
}

class Win32Read : public ReadHandle {
  public:
    Win32Read(HANDLE h, bool keepAccess) : h_(h) {
        keep_ = keepAccess && GetFileTime(h_, nullptr, &access_, nullptr);
    }
    ~Win32Read() override {
        // Where the system did not honour the request (some file systems, Wine)
        // the last access time is put back as it was.
        FILETIME now;
        if (keep_ && GetFileTime(h_, nullptr, &now, nullptr) &&
            (now.dwLowDateTime != access_.dwLowDateTime ||
             now.dwHighDateTime != access_.dwHighDateTime))
            SetFileTime(h_, nullptr, &access_, nullptr);
        CloseHandle(h_);
    }
    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
    }
    int64_t Read(void* buffer, size_t n) override {
        DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), got = 0;
        if (!ReadFile(h_, buffer, want, &got, nullptr)) return -1;
        return got;
    }
    FileId Id() override { return IdOfHandle(h_); }

  private:
    HANDLE h_;
    bool keep_ = false;
    FILETIME access_{};
};

class Win32Mapping : public Mapping {
  public:
    Win32Mapping(const void* view, size_t size) : view_(view), size_(size) {}
    ~Win32Mapping() override { UnmapViewOfFile(view_); }
    std::string_view Bytes() const override { return {static_cast<const char*>(view_), size_}; }

  private:
    const void* view_;
    size_t size_;
};

class Win32Write : public BufferedWriteHandle {
  public:
    explicit Win32Write(HANDLE h) : h_(h) {}
    ~Win32Write() override { Close(); }

  private:
    bool WriteRaw(std::string_view b) override {
        while (!b.empty()) {
            DWORD chunk = b.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(b.size()),
                  done = 0;
            if (!WriteFile(h_, b.data(), chunk, &done, nullptr) || done == 0) return false;
            b.remove_prefix(done);
        }
        return true;
    }
    bool CloseRaw() override { return CloseHandle(h_) != FALSE; }
    HANDLE h_;
};

// No "insert a disk" box for a drive without its medium.
class QuietErrors {
  public:
    QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(old_); }

  private:
    UINT old_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32Files : public Files {
  public:
    char Separator() const override { return '\\'; }

    bool List(const std::string& folder,
              const std::function<bool(const DirEntry&)>& each) override {
        QuietErrors quiet;
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileExW(LongPath(folder + "\\*.*").c_str(), FindExInfoBasic, &fd,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) return false;
        DirEntry e;
        std::string name;
        do {
            const wchar_t* n = fd.cFileName;
            if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
            name = Utf8(n);
            e.name = name;
            e.attributes = fd.dwFileAttributes;
            e.size = static_cast<int64_t>((static_cast<uint64_t>(fd.nFileSizeHigh) << 32) |
                                          fd.nFileSizeLow);
            e.lastAccess = FileTimeOf(fd.ftLastAccessTime);
            e.creation = FileTimeOf(fd.ftCreationTime);
            e.lastWrite = FileTimeOf(fd.ftLastWriteTime);
            if (!each(e)) break;
        } while (FindNextFileW(find, &fd));
        FindClose(find);
        return true;
    }

    FileId IdOf(const std::string& path) override {
        HANDLE h = CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return {};
        FileId id = IdOfHandle(h);
        CloseHandle(h);
        return id;
    }

    std::unique_ptr<ReadHandle> OpenRead(const std::string& path) override {
        std::wstring w = LongPath(path);
        // Writing attributes lets the handle ask that reading through it leave
        // the last access time as it is (a time of all ones).
        HANDLE h = CreateFileW(w.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        bool keep = h != INVALID_HANDLE_VALUE;
        if (keep) {
            FILETIME noUpdate = {0xFFFFFFFF, 0xFFFFFFFF};
            SetFileTime(h, nullptr, &noUpdate, nullptr);
        } else {
            h = CreateFileW(w.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        }
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Read>(h, keep);
    }

    std::unique_ptr<Mapping> Map(const std::string& path) override {
        HANDLE h =
            CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        LARGE_INTEGER size;
        const void* view = nullptr;
        if (GetFileSizeEx(h, &size) && size.QuadPart > 0 &&
            static_cast<uint64_t>(size.QuadPart) <= SIZE_MAX) {
            if (HANDLE m = CreateFileMappingW(h, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
                view = MapViewOfFile(m, FILE_MAP_READ, 0, 0, 0);
                CloseHandle(m);  // the view keeps the mapping alive
            }
        }
        CloseHandle(h);
        if (!view) return nullptr;
        return std::make_unique<Win32Mapping>(view, static_cast<size_t>(size.QuadPart));
    }

    std::unique_ptr<WriteHandle> Create(const std::string& path) override {
        HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Write>(h);
    }

    std::unique_ptr<WriteHandle> Append(const std::string& path) override {
        HANDLE h = CreateFileW(LongPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Write>(h);
    }

    bool TimesOf(const std::string& path, FileTimes& out) override {
        WIN32_FILE_ATTRIBUTE_DATA d;
        if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &d)) return false;
        out.creation = FileTimeOf(d.ftCreationTime);
        out.lastAccess = FileTimeOf(d.ftLastAccessTime);
        out.lastWrite = FileTimeOf(d.ftLastWriteTime);
        return true;
    }

    int64_t ToLocalFileTime(int64_t utc) override {
        FILETIME u, l;
        u.dwLowDateTime = static_cast<DWORD>(utc);
        u.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(utc) >> 32);
        if (!FileTimeToLocalFileTime(&u, &l)) return utc;
        return FileTimeOf(l);
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool Delete(const std::string& path) override { return DeleteFileW(LongPath(path).c_str()); }
    bool Rename(const std::string& from, const std::string& to) override {
        return MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool CreateFolder(const std::string& path) override {
        if (path.empty()) return false;
        DWORD a = GetFileAttributesW(LongPath(path).c_str());
        if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        size_t slash = path.find_last_of("\\/");
        if (slash != std::string::npos && slash > 2) CreateFolder(path.substr(0, slash));
        return CreateDirectoryW(LongPath(path).c_str(), nullptr) ||
               GetLastError() == ERROR_ALREADY_EXISTS;
    }

    std::string WindowsFolder() override {
        wchar_t buf[MAX_PATH + 1];
        UINT n = GetWindowsDirectoryW(buf, MAX_PATH + 1);
        return n && n <= MAX_PATH ? Utf8(std::wstring_view(buf, n)) : std::string();
    }
};

}  // namespace

std::wstring LongPath(const std::string& path) {
    std::wstring w = Wide(path);
    if (w.size() < 240 || w.rfind(L"\\\\?\\", 0) == 0) return w;
    if (w.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + w.substr(2);
    if (w.size() > 2 && w[1] == L':') return L"\\\\?\\" + w;
    return w;
}

std::unique_ptr<Files> MakeFiles() {
    return std::make_unique<Win32Files>();
}

}  // namespace os::win32
