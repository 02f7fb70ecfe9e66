// The scans through the Win32 file API, the window messages of the scan, and
// zmc.dll.
#include <windows.h>

#include <doctest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "fakes/fake_clock.h"
#include "os/win32/files_win32.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"
#include "scan/images.h"
#include "scan/load_res.h"
#include "scan/md5.h"
#include "scan/scan.h"
#include "scan/scan_messages.h"
#include "scan/win32/scan_window_listener.h"
#include "scan/win32/zmc_library.h"

using os::win32::Utf8;
using os::win32::Wide;

namespace {

// A fresh folder under the user's temp folder, removed at the end.
struct WinTree {
    std::string root;
    WinTree() {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        root = Utf8(tmp) + "zmscan-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount64());
        CreateDirectoryW(Wide(root).c_str(), nullptr);
    }
    ~WinTree() { Remove(root); }
    static void Remove(const std::string& p) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(Wide(p + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring n = fd.cFileName;
                if (n == L"." || n == L"..") continue;
                std::string child = p + "\\" + Utf8(n);
                SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(child);
                else
                    DeleteFileW(Wide(child).c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(Wide(p).c_str());
    }
    std::string Path(const std::string& rel) const { return root + "\\" + rel; }
    void Folder(const std::string& rel) const {
        CreateDirectoryW(Wide(Path(rel)).c_str(), nullptr);
    }
    void File(const std::string& rel, const std::string& content, DWORD attributes = 0) const {
        HANDLE h = CreateFileW(Wide(Path(rel)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        REQUIRE(h != INVALID_HANDLE_VALUE);
        DWORD done = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
        CloseHandle(h);
        if (attributes) SetFileAttributesW(Wide(Path(rel)).c_str(), attributes);
    }
};

struct NullListener : scan::ScanListener {
    void Progress(int) override {}
    void Status(uint32_t, int) override {}
    void RootBegins() override {}
    void RootEnds() override {}
    void Finished(bool, scan::ScanOutcome) override {}
};

std::string ExeFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::string exe = Utf8(std::wstring(buf, n));
    return exe.substr(0, exe.rfind('\\'));
}

// zmc.dll sits in the build folder, one above the test programs.
std::string BuildFolder() {
    std::string f = ExeFolder();
    return f.substr(0, f.rfind('\\'));
}

const std::string kUnicodeName = "na\xC3\xAFve-\xE6\x97\xA5\xE6\x9C\xAC.bak";  // naïve-日本.bak

}  // namespace

TEST_CASE("listing a folder through the Win32 file API") {
    WinTree t;
    t.Folder("sub");
    t.File("sub\\inner.txt", "12345");
    t.File(kUnicodeName, "abc");
    t.File("sys.dat", "s", FILE_ATTRIBUTE_SYSTEM);
    auto files = os::win32::MakeFiles();
    CHECK(files->Separator() == '\\');
    std::map<std::string, os::DirEntry> seen;
    REQUIRE(files->List(t.root, [&](const os::DirEntry& e) {
        seen[std::string(e.name)] = e;
        return true;
    }));
    REQUIRE(seen.size() == 3);
    CHECK(seen["sub"].IsFolder());
    CHECK(seen[kUnicodeName].size == 3);
    CHECK(seen[kUnicodeName].lastWrite > 116444736000000000LL);
    CHECK((seen["sys.dat"].attributes & os::kAttrSystem) != 0);
    CHECK_FALSE(files->List(t.Path("missing"), [](const os::DirEntry&) { return true; }));

    std::string content;
    CHECK(os::ReadWholeFile(*files, t.Path(kUnicodeName), content));
    CHECK(content == "abc");
    CHECK(files->Rename(t.Path(kUnicodeName), t.Path("sub\\inner.txt")));  // replaces
    CHECK(os::ReadWholeFile(*files, t.Path("sub\\inner.txt"), content));
    CHECK(content == "abc");
    CHECK(files->IdOf(t.Path("sub")).valid);
    CHECK_FALSE(files->WindowsFolder().empty());
}

TEST_CASE("a free-space scan through the Win32 API writes a report that loads back") {
    WinTree t;
    t.Folder("data");
    t.Folder("data\\.hidden");
    t.File("data\\.hidden\\skip.bak", "x");
    t.File("data\\" + kUnicodeName, std::string(100, 'u'));
    t.File("data\\small.txt", "s");
    t.File("data\\sys.bak", "s", FILE_ATTRIBUTE_SYSTEM);
    t.Folder("prog");
    std::shared_ptr<os::Files> files = os::win32::MakeFiles();
    fakes::FakeClock clock;
    clock.now = fakes::FakeClock::At(2024, 1, 2, 3, 4, 5);
    scan::ScanJob job;
    job.kind = scan::kFreeSpaceScan;
    job.roots = {t.Path("data")};
    job.programFolder = t.Path("prog");
    auto engine = std::make_unique<scan::TScan>(
        job, scan::ScanServices{
                 files, os::win32::MakeVolumes(), std::make_shared<NullListener>(), &clock, {}});
    engine->Execute();
    CHECK(engine->FileCounter() == 3);
    REQUIRE(engine->FirstList().size() == 2);
    CHECK(engine->FirstList()[0].path == t.Path("data\\" + kUnicodeName));
    engine.reset();

    auto mapping = files->Map(t.Path("prog\\Search.txt"));
    REQUIRE(mapping);
    scan::LoadedReport r;
    scan::ParseHooks hooks;
    hooks.exists = [&](const std::string& p) { return files->Exists(p); };
    hooks.decorate = scan::win32::ShellDecorate;
    std::atomic<bool> stop{false};
    REQUIRE(scan::ParseReport(0, mapping->Bytes(), r, hooks, stop));
    REQUIRE(r.lists[0].size() == 2);
    CHECK(r.lists[0][0].path == t.Path("data\\" + kUnicodeName));
    CHECK(r.lists[0][0].size == 100);
    CHECK(r.lists[0][0].lastAccess > 40000);
    REQUIRE(r.lists[2].size() == 1);  // the system file is left out, the dot folder not walked
}

TEST_CASE("a changes scan of a folder through the Win32 API") {
    WinTree t;
    t.Folder("data");
    t.File("data\\a.txt", "aaaa");
    t.Folder("prog");
    std::shared_ptr<os::Files> files = os::win32::MakeFiles();
    fakes::FakeClock clock;
    auto run = [&] {
        scan::ScanJob job;
        job.kind = scan::kChangesScan;
        job.roots = {t.Path("data")};
        job.programFolder = t.Path("prog");
        scan::TScan engine(
            job, {files, os::win32::MakeVolumes(), std::make_shared<NullListener>(), &clock, {}});
        engine.Execute();
        return std::make_pair(engine.FirstList().size(), engine.SecondList().size());
    };
    CHECK(run() == std::make_pair(size_t(0), size_t(0)));
    CHECK(scan::AcceptPendingImages(*files, t.Path("prog")) == 1);
    t.File("data\\a.txt", "aaaaaa");
    t.File("data\\b.txt", "b");
    CHECK(run() == std::make_pair(size_t(1), size_t(1)));
}

TEST_CASE("the engine's reports arrive as window messages") {
    WinTree t;
    t.Folder("data");
    for (int i = 0; i < 12; ++i) t.File("data\\f" + std::to_string(i), "x");
    t.Folder("prog");
    HWND wnd =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    REQUIRE(wnd);
    fakes::FakeClock clock;
    scan::ScanJob job;
    job.roots = {t.Path("data")};
    job.programFolder = t.Path("prog");
    auto control = scan::TScan::Start(std::make_unique<scan::TScan>(
        job, scan::ScanServices{os::win32::MakeFiles(),
                                os::win32::MakeVolumes(),
                                std::make_shared<scan::win32::ScanWindowListener>(wnd),
                                &clock,
                                {}}));
    std::vector<std::pair<UINT, LPARAM>> got;
    DWORD until = GetTickCount() + 20000;
    while (GetTickCount() < until) {
        MSG m;
        if (PeekMessageW(&m, wnd, 0, 0, PM_REMOVE)) {
            got.emplace_back(m.message, m.lParam);
            if (m.message == scan::kMsgScanFinished) break;
        } else {
            Sleep(5);
        }
    }
    DestroyWindow(wnd);
    REQUIRE(!got.empty());
    CHECK(got.front().first == scan::kMsgScanRootBegins);
    CHECK(got.back() == std::make_pair(UINT(scan::kMsgScanFinished), LPARAM(0)));
    CHECK(std::count(got.begin(), got.end(),
                     std::make_pair(UINT(scan::kMsgScanStatus), LPARAM(14))) == 2);
    CHECK(std::count(got.begin(), got.end(),
                     std::make_pair(UINT(scan::kMsgScanRootEnds), LPARAM(0))) == 1);
}

TEST_CASE("zmc.dll gives the digests of RFC 1321") {
    const std::pair<const char*, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    WinTree t;
    HMODULE dll = LoadLibraryW(Wide(BuildFolder() + "\\zmc.dll").c_str());
    REQUIRE(dll);
    auto calc = reinterpret_cast<scan::win32::CalcFileFn>(
        reinterpret_cast<void*>(GetProcAddress(dll, "CalcFile")));
    auto calcW = reinterpret_cast<scan::win32::CalcFileWFn>(
        reinterpret_cast<void*>(GetProcAddress(dll, "CalcFileW")));
    REQUIRE(reinterpret_cast<void*>(calc) != nullptr);
    REQUIRE(reinterpret_cast<void*>(calcW) != nullptr);
    int i = 0;
    for (auto [text, hex] : suite) {
        CAPTURE(text);
        std::string name = std::to_string(i++);
        name += ".txt";
        t.File(name, text);
        scan::Digest d{};
        CHECK((calc(t.Path(name).c_str(), d.data()) & 0xFF) != 0);
        CHECK(scan::DigestHex(d) == hex);
        t.File(kUnicodeName, text);
        scan::Digest w{};
        CHECK((calcW(Wide(t.Path(kUnicodeName)).c_str(), w.data()) & 0xFF) != 0);
        CHECK(scan::DigestHex(w) == hex);
    }
    scan::Digest none{};
    CHECK((calc(t.Path("missing").c_str(), none.data()) & 0xFF) == 0);
    FreeLibrary(dll);

    // As the scan uses it: through the wide export for a Unicode path.
    scan::win32::ZmcLibrary lib;
    REQUIRE(lib.Load(BuildFolder()));
    scan::Digest viaLib{};
    CHECK(lib.Digest()(t.Path(kUnicodeName), viaLib));
    CHECK(scan::DigestHex(viaLib) == suite[6].second);
    scan::win32::ZmcLibrary absent;
    CHECK_FALSE(absent.Load(t.root));
    CHECK_FALSE(absent.Digest());  // the scan then computes the digest itself
}

TEST_CASE("reading for checksums and digests keeps the last access time") {
    WinTree t;
    t.File("a.bin", std::string(5000, 'a'));
    std::wstring path = Wide(t.Path("a.bin"));
    auto setOld = [&] {
        HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        REQUIRE(h != INVALID_HANDLE_VALUE);
        FILETIME old = {0, 0x01C07000};  // in 2001, older than the last write
        SetFileTime(h, nullptr, &old, nullptr);
        CloseHandle(h);
    };
    auto lastAccess = [&] {
        WIN32_FILE_ATTRIBUTE_DATA d;
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d);
        return (uint64_t(d.ftLastAccessTime.dwHighDateTime) << 32) |
               d.ftLastAccessTime.dwLowDateTime;
    };
    setOld();
    uint64_t before = lastAccess();
    auto files = os::win32::MakeFiles();
    std::string content;
    REQUIRE(os::ReadWholeFile(*files, t.Path("a.bin"), content));
    scan::Digest d{};
    REQUIRE(scan::Md5OfFile(*files, t.Path("a.bin"), d));
    CHECK(lastAccess() == before);

    scan::win32::ZmcLibrary lib;  // the library's own reading
    REQUIRE(lib.Load(BuildFolder()));
    REQUIRE(lib.Digest()(t.Path("a.bin"), d));
    CHECK(lastAccess() == before);
}

namespace {
struct BrowserCounts {
    int batches = 0, sections = 0, done = 0;
    size_t rowsSeenAtBatch = 0;
    scan::LoadedReport* target = nullptr;
};
BrowserCounts* gBrowser = nullptr;
LRESULT CALLBACK BrowserProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == scan::kMsgLoadRows) {
        // Sent: the loader waits, so the list may be read here.
        if (l == 1)
            ++gBrowser->batches, gBrowser->rowsSeenAtBatch = gBrowser->target->lists[0].size();
        else
            ++gBrowser->sections;
        return 0;
    }
    if (m == scan::kMsgLoadProgress && static_cast<int>(w) == -2) ++gBrowser->done;
    return DefWindowProcW(h, m, w, l);
}
}  // namespace

TEST_CASE("the report loader sends its batches to the browser's window and posts its end") {
    WinTree t;
    std::shared_ptr<os::Files> files = os::win32::MakeFiles();
    std::string report = "Zelmora report v1.0. Creation time: x\r\nChanged files:\r\n";
    for (int i = 0; i < 150; ++i)
        report += "C:\\gone" + std::to_string(i) + "\t1\t0\t0\t0\t0\t0\t0\t0\t1\r\n";
    report += "New files:\r\nDeleted files:\r\n\r\n";
    REQUIRE(os::WriteWholeFile(*files, t.Path("Changes.txt"), report));

    WNDCLASSW wc = {};
    wc.lpfnWndProc = BrowserProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZmTestBrowser";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    REQUIRE(wnd);
    scan::LoadedReport target;
    BrowserCounts counts;
    counts.target = &target;
    gBrowser = &counts;
    scan::win32::LoadWindowListener listener(wnd);
    scan::TLoadRes loader(1, t.Path("Changes.txt"), files, listener, target,
                          scan::win32::ShellDecorate);
    loader.Start();
    DWORD until = GetTickCount() + 20000;
    MSG m;
    while (counts.done == 0 && GetTickCount() < until) {
        if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        else
            Sleep(1);
    }
    DestroyWindow(wnd);
    gBrowser = nullptr;
    CHECK(counts.done == 1);
    CHECK(counts.batches == 1);
    CHECK(counts.rowsSeenAtBatch == 100);
    CHECK(counts.sections == 3);
    CHECK(target.lists[0].size() == 150);
    CHECK(scan::win32::SystemSmallImages() != nullptr);
}
