// What the scans need of the file system. Paths are UTF-8 in the platform's
// own form; times are FILETIMEs (100 ns since 1601, UTC) on every platform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace os {

// The system's attribute bits, as directory listings give them.
enum FileAttribute : uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrTemporary = 0x100,
    kAttrReparsePoint = 0x400,
};

// Identity of a file or folder: the same object reached by two paths (a hard
// link, a junction, a substituted drive) has the same id.
struct FileId {
    uint64_t volume = 0;
    uint64_t file = 0;
    bool valid = false;
    bool operator==(const FileId& o) const {
        return valid && o.valid && volume == o.volume && file == o.file;
    }
};

struct DirEntry {
    std::string_view name;  // valid during the callback only
    uint32_t attributes = 0;
    int64_t size = 0;
    int64_t lastAccess = 0, creation = 0, lastWrite = 0;
    FileId id;  // filled where the listing gives it for free
    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
};

struct FileTimes {
    int64_t creation = 0, lastAccess = 0, lastWrite = 0;
};

// A file opened for reading. Reading through it never changes the file's last
// access time where the system lets us prevent that.
class ReadHandle {
  public:
    virtual ~ReadHandle() = default;
    virtual int64_t Size() = 0;  // -1 when it cannot be read
    // Up to n bytes at the current position; 0 at the end, -1 on failure.
    virtual int64_t Read(void* buffer, size_t n) = 0;
    virtual FileId Id() = 0;
};

// A read-only view of a whole file.
class Mapping {
  public:
    virtual ~Mapping() = default;
    virtual std::string_view Bytes() const = 0;
};

class WriteHandle {
  public:
    virtual ~WriteHandle() = default;
    virtual bool Write(std::string_view bytes) = 0;
    virtual bool Close() = 0;  // flushes; false when anything was lost
};

// A write handle that gathers small writes into 64 KiB blocks; platforms
// supply only the raw write and the close. Derived classes call Close() in
// their destructors, while their handle still exists.
class BufferedWriteHandle : public WriteHandle {
  public:
    bool Write(std::string_view bytes) override;
    bool Close() override;

  protected:
    virtual bool WriteRaw(std::string_view bytes) = 0;  // all of it, or false
    virtual bool CloseRaw() = 0;

  private:
    static constexpr size_t kBuffer = 1 << 16;
    bool Flush();
    bool closed_ = false;
    bool ok_ = true;
    std::string buffer_;
};

class Files {
  public:
    virtual ~Files() = default;

    // The separator between path components ('\\' on Windows, '/' elsewhere).
    virtual char Separator() const = 0;

    // Calls each(entry) for every entry of the folder except "." and "..", in
    // the file system's order, until it returns false. False when the folder
    // cannot be listed.
    virtual bool List(const std::string& folder,
                      const std::function<bool(const DirEntry&)>& each) = 0;
    // Identity of the folder (or what a link at path leads to).
    virtual FileId IdOf(const std::string& path) = 0;

    virtual std::unique_ptr<ReadHandle> OpenRead(const std::string& path) = 0;
    // Null when the file is missing, empty or cannot be mapped.
    virtual std::unique_ptr<Mapping> Map(const std::string& path) = 0;
    // Creates or empties the file; other processes may read it while it is open.
    virtual std::unique_ptr<WriteHandle> Create(const std::string& path) = 0;
    // Opens for appending, creating it when missing.
    virtual std::unique_ptr<WriteHandle> Append(const std::string& path) = 0;

    // Times of the file as stored, without reading its content.
    virtual bool TimesOf(const std::string& path, FileTimes& out) = 0;
    // A UTC FILETIME as local time (still in FILETIME units).
    virtual int64_t ToLocalFileTime(int64_t utc) = 0;

    virtual bool Exists(const std::string& path) = 0;                         // a file or folder
    virtual bool Delete(const std::string& path) = 0;                         // a file
    virtual bool Rename(const std::string& from, const std::string& to) = 0;  // replaces to
    virtual bool CreateFolder(const std::string& path) = 0;                   // and its parents

    // The system's Windows folder; empty where there is none.
    virtual std::string WindowsFolder() = 0;
};

// Whole content of a small file; false when it cannot be read or is larger
// than limit.
bool ReadWholeFile(Files& files, const std::string& path, std::string& out,
                   int64_t limit = int64_t(1) << 30);
// Creates or replaces the file with bytes; false on any failure.
bool WriteWholeFile(Files& files, const std::string& path, std::string_view bytes);

}  // namespace os
