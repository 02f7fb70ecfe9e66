// The report loader at half a million rows: a changes report written by our
// writer, mapped and parsed as the results browser's loader does.
//   bench_loader [rows, default 500000] [folder for the report, default /tmp]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "os/posix/files_posix.h"
#include "scan/load_res.h"
#include "scan/report.h"

namespace {
struct Quiet : scan::LoadListener {
    int batches = 0;
    void RowsAdded(int) override { ++batches; }
    void SectionDone(int) override {}
    void Progress(int) override {}
    void Done() override {}
};
}  // namespace

int main(int argc, char** argv) {
    size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 500000;
    std::string path = std::string(argc > 2 ? argv[2] : "/tmp") + "/bench_Changes.txt";
    std::vector<scan::TFound> changed, added, deleted;
    for (size_t i = 0; i < n; ++i) {
        scan::TFound f;
        f.path = "C:\\Users\\user\\Documents\\Folder " + std::to_string(i / 100) + "\\file " +
                 std::to_string(i) + ".txt";
        f.size = static_cast<int64_t>(i * 7919 % 100000000);
        f.lastAccess = f.lastWrite = f.creation = 133000000000000000LL + static_cast<int64_t>(i);
        f.change = static_cast<int64_t>(i % 1000) - 500;
        (i % 3 == 0 ? changed : i % 3 == 1 ? added : deleted).push_back(std::move(f));
    }
    scan::ReportInput in;
    in.kind = 1;
    in.lists[0] = &changed;
    in.lists[1] = &added;
    in.lists[2] = &deleted;
    auto files = std::shared_ptr<os::Files>(os::MakePosixFiles());
    std::atomic<bool> stop{false};
    files->Delete(path);
    if (!scan::WriteReport(*files, path, in, {}, {}, stop)) return std::puts("cannot write"), 1;

    Quiet listener;
    scan::LoadedReport target;
    auto t = std::chrono::steady_clock::now();
    {
        scan::TLoadRes loader(1, path, files, listener, target);
        loader.Start();
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    size_t rows = target.lists[0].size() + target.lists[1].size() + target.lists[2].size();
    std::printf("%zu rows loaded in %.3f s (%.0f ns/row, %d batches of 100)\n", rows, s,
                s * 1e9 / static_cast<double>(rows), listener.batches);
    files->Delete(path);
    return rows == n ? 0 : 1;
}
