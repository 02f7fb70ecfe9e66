// zmscan: the scans of the program from a command line, writing the same
// reports and disk images.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/zmscan_args.h"
#include "os/clock.h"
#include "os/locale.h"
#include "scan/images.h"
#include "scan/scan.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "app/win32/program.h"
#include "os/win32/files_win32.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"
#include "scan/win32/zmc_library.h"
#else
#include <limits.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include "os/posix/files_posix.h"
#endif

namespace {

using cli::Arguments;
using cli::Command;

std::atomic<scan::ScanControl*> gControl{nullptr};
std::atomic<int> gInterrupts{0};

void Interrupt() {
    if (gInterrupts++ > 0) std::_Exit(130);  // a second Ctrl+C does not wait
    if (scan::ScanControl* c = gControl.load()) c->Terminate();
}

// ---- what differs between the platforms

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    Interrupt();
    return TRUE;
}
void CatchInterrupts() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
bool StderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}
std::shared_ptr<os::Files> MakeFiles() {
    return os::win32::MakeFiles();
}
std::shared_ptr<os::Volumes> MakeVolumes() {
    return os::win32::MakeVolumes();
}
std::string ProgramFolder() {
    return app::win32::ProgramFolder();
}
// "C:", "C:\" and "c:" stay drives; folders become full paths without a
// trailing backslash. Empty when the root does not exist.
std::string NormalizeRoot(const std::string& root) {
    std::wstring w = os::win32::Wide(root);
    if (w.size() == 2 && w[1] == L':') w += L'\\';
    wchar_t buf[32768];
    DWORD n = GetFullPathNameW(w.c_str(), 32768, buf, nullptr);
    if (n == 0 || n >= 32768) return {};
    std::wstring full(buf, n);
    DWORD attr = GetFileAttributesW(full.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) return {};
    while (full.size() > 2 && full.back() == L'\\') full.pop_back();
    return os::win32::Utf8(full);
}
#else
void OnSignal(int) {
    Interrupt();
}
void CatchInterrupts() {
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}
bool StderrIsTerminal() {
    return isatty(2) != 0;
}
std::shared_ptr<os::Files> MakeFiles() {
    return os::MakePosixFiles();
}
std::shared_ptr<os::Volumes> MakeVolumes() {
    return os::MakePosixVolumes();
}
std::string ProgramFolder() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string exe(buf, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == 0 ? "/" : exe.substr(0, slash);
}
// An absolute path without links or a trailing slash ("/" itself becomes the
// empty root, whose files are "/name"). Empty when it is not a folder.
std::string NormalizeRoot(const std::string& root) {
    char buf[PATH_MAX];
    if (!realpath(root.c_str(), buf)) return {};
    struct stat st;
    if (stat(buf, &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    std::string s = buf;
    while (!s.empty() && s.back() == '/') s.pop_back();
    return s.empty() ? std::string("/") : s;
}
#endif

// ---- progress

class CliListener : public scan::ScanListener {
public:
    void Progress(int percent) override { percent_ = percent; }
    void Status(uint32_t value, int code) override {
        switch (code) {
            case scan::kStatusFileCount:
                if (stage_ == kHashing)
                    hashed_ = value;
                else
                    files_ = value;
                break;
            case scan::kStatusHashing:
                stage_ = kHashing;
                break;
            case scan::kStatusHashTotalHigh:
                totalHigh_ = value;
                break;
            case scan::kStatusHashTotalLow:
                total_ = (uint64_t(totalHigh_) << 32) | value;
                break;
            case scan::kStatusHashedSizeHigh:
                sizeHigh_ = value;
                break;
            case scan::kStatusHashedSizeLow:
                hashedBytes_ += (uint64_t(sizeHigh_) << 32) | value;
                break;
            case scan::kStatusLoadingImage:
                stage_ = kLoading;
                break;
            case scan::kStatusSavingImage:
                stage_ = kSaving;
                break;
            case scan::kStatusComparing:
                stage_ = kComparing;
                break;
            case scan::kStatusStoringResults:
                stage_ = kStoring;
                break;
            case scan::kStatusDriveBegins:
                stage_ = kWalking;
                break;
            default:
                break;
        }
    }
    void RootBegins() override { stage_ = kWalking; }
    void RootEnds() override {}
    void Finished(bool, scan::ScanOutcome) override {}

    enum Stage { kWalking, kLoading, kSaving, kComparing, kHashing, kStoring };
    std::atomic<int> stage_{kWalking};
    std::atomic<int> percent_{0};
    std::atomic<uint32_t> files_{0}, hashed_{0};
    // The halves arrive one after the other on the scan's thread.
    uint32_t totalHigh_ = 0, sizeHigh_ = 0;
    std::atomic<uint64_t> total_{0}, hashedBytes_{0};
};

std::string Thousands(uint64_t v) {
    std::string digits = std::to_string(v), s;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) s += ',';
        s += digits[i];
    }
    return s;
}

std::string ProgressLine(const CliListener& l, const std::string& folder) {
    std::string s;
    switch (l.stage_.load()) {
        case CliListener::kWalking:
            s = Thousands(l.files_) + " files  " + folder;
            break;
        case CliListener::kLoading:
            s = "loading the stored image...";
            break;
        case CliListener::kSaving:
            s = "saving the pending image...";
            break;
        case CliListener::kComparing:
            s = "comparing: " + std::to_string(l.percent_) + "%";
            break;
        case CliListener::kHashing:
            if (l.total_ == 0)
                s = "reading the first kilobyte of files of equal size...";
            else
                s = "hashing: " + std::to_string(l.hashedBytes_ * 100 / l.total_) + "% (" +
                    Thousands(l.hashed_) + " files)";
            break;
        default:
            s = "writing the report...";
            break;
    }
    const size_t width = 78;
    if (s.size() > width) s = s.substr(0, 30) + "..." + s.substr(s.size() - (width - 33));
    return s;
}

// ---- the commands

std::string Join(const std::string& folder, const char* name, char sep) {
    return folder.empty() ? name : folder + sep + name;
}

int RunImages(const Arguments& a, const std::string& out) {
    auto files = MakeFiles();
    int n = a.command == Command::ImagesAccept ? scan::AcceptPendingImages(*files, out)
                                               : scan::DiscardPendingImages(*files, out);
    if (n < 0) {
        std::fprintf(stderr, "zmscan: cannot read the folder %s\n", out.c_str());
        return 1;
    }
    std::printf("%d pending image%s %s in %s\n", n, n == 1 ? "" : "s",
                a.command == Command::ImagesAccept ? "accepted" : "discarded", out.c_str());
    return 0;
}

int RunScan(const Arguments& a, const std::string& out) {
    scan::ScanJob job;
    job.kind = a.command == Command::Free      ? scan::kFreeSpaceScan
               : a.command == Command::Changes ? scan::kChangesScan
                                               : scan::kDuplicatesScan;
    for (const auto& r : a.roots) {
        std::string root = NormalizeRoot(r);
        if (root.empty()) {
            std::fprintf(stderr, "zmscan: no such folder: %s\n", r.c_str());
            return 2;
        }
        job.roots.push_back(root == "/" ? std::string() : root);
    }
    job.ResQuanity = a.quantity;
    if (!a.masks.empty()) job.TempFilesExts = a.masks;
    job.SearchForTempFiles = a.searchTemp;
    job.ExcludeSystemFiles = a.excludeSystem;
    job.programFolder = out;
    job.walkThreads = a.threads;
    job.hashThreads = a.threads > 0 ? a.threads : 1;
#ifdef _WIN32
    scan::win32::ZmcLibrary zmc;
    if (job.kind == scan::kDuplicatesScan && zmc.Load(ProgramFolder())) job.digest = zmc.Digest();
#endif
    auto files = MakeFiles();
    if (!files->CreateFolder(out)) {
        std::fprintf(stderr, "zmscan: cannot create the folder %s\n", out.c_str());
        return 1;
    }
    auto listener = std::make_shared<CliListener>();
    scan::ScanServices svc{files, MakeVolumes(), listener, &os::SystemClock(),
                           os::UserLocaleFormats()};
    auto engine = std::make_unique<scan::TScan>(job, svc);
    // Kept to the end of the run, so that an interrupt never meets a freed control.
    std::shared_ptr<scan::ScanControl> control = engine->Control();
    gControl = control.get();
    CatchInterrupts();

    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
    std::thread worker([&] {
        engine->Execute();
        std::lock_guard l(lock);
        done = true;
        cv.notify_one();
    });
    bool show = !a.quiet && StderrIsTerminal();
    {
        std::unique_lock l(lock);
        while (!cv.wait_for(l, std::chrono::milliseconds(250), [&] { return done; }))
            if (show)
                std::fprintf(stderr, "\r%s\x1b[K",
                             ProgressLine(*listener, engine->Control()->CurrentFolder()).c_str());
    }
    worker.join();
    if (show) std::fprintf(stderr, "\r\x1b[K");
    gControl = nullptr;

    scan::ScanOutcome outcome = engine->Outcome();
    std::string report = Join(out, scan::ReportFileName(job.kind), files->Separator());
    if (outcome == scan::ScanOutcome::Failed) {
        std::fprintf(stderr, "zmscan: cannot write %s\n", report.c_str());
        return 1;
    }
    if (outcome == scan::ScanOutcome::Cancelled) {
        std::fprintf(stderr, "zmscan: interrupted after %s files\n",
                     Thousands(engine->FileCounter()).c_str());
        return 130;
    }
    std::string walked = Thousands(engine->FileCounter()) + " files walked";
    switch (job.kind) {
        case scan::kFreeSpaceScan:
            std::printf("%s: %zu largest, %zu oldest, %zu temporary files (%s)\n", report.c_str(),
                        engine->FirstList().size(), engine->SecondList().size(),
                        engine->ThirdList().size(), walked.c_str());
            break;
        case scan::kChangesScan:
            if (engine->ChangesFound())
                std::printf("%s: %zu changed, %zu new, %zu deleted (%s)\n", report.c_str(),
                            engine->FirstList().size(), engine->SecondList().size(),
                            engine->ThirdList().size(), walked.c_str());
            else
                std::printf("no changes found (%s)\n", walked.c_str());
            std::printf("pending images are in %s: zmscan images accept|discard --out %s\n",
                        out.c_str(), out.c_str());
            break;
        default:
            if (engine->FirstList().empty())
                std::printf("no duplicates found (%s, %u hashed)\n", walked.c_str(),
                            engine->CandidateCount());
            else
                std::printf("%s: %u files in duplicate groups (%s, %u hashed)\n", report.c_str(),
                            engine->DuplicateCount(), walked.c_str(), engine->CandidateCount());
    }
    engine.reset();
    return 0;
}

int Main(const std::vector<std::string>& args) {
    Arguments a;
    std::string error;
    if (!cli::ParseArguments(args, a, error)) {
        std::fprintf(stderr, "zmscan: %s\nTry 'zmscan --help'.\n", error.c_str());
        return 2;
    }
    if (a.command == Command::Help) {
        std::fputs(cli::kUsage, stdout);
        return 0;
    }
    std::string out = a.out.empty() ? ProgramFolder() : a.out;
    if (a.command == Command::ImagesAccept || a.command == Command::ImagesDiscard)
        return RunImages(a, out);
    return RunScan(a, out);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR) SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(os::win32::Utf8(argv[i]));
    return Main(args);
}
#else
int main(int argc, char** argv) {
    return Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
