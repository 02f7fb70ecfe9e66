// TMapStrings at a million entries: add, index of, index of name, and
// deleting from the front, as a changes scan of a large drive does.
//   bench_map_strings [entries, default 1000000]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "scan/map_strings.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* what, double seconds, size_t n) {
    std::printf("%-22s %8.3f s  %7.0f ns/op\n", what, seconds,
                seconds * 1e9 / static_cast<double>(n));
}

}  // namespace

int main(int argc, char** argv) {
    size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    // A drive's shape: 100 files a folder, folders four levels deep, each
    // folder's files in the arbitrary order a listing gives them.
    std::mt19937 rng(1);
    std::vector<std::string> entries;
    entries.reserve(n);
    const char* ext[] = {".txt", ".dll", ".jpg", ".Log", ".DAT"};
    for (size_t folder = 0; entries.size() < n; ++folder) {
        char dir[96];
        std::snprintf(dir, sizeof dir, "Users\\user%02zu\\Projects%03zu\\Folder %zu\\", folder % 7,
                      folder / 7 % 300, folder);
        size_t start = entries.size();
        for (size_t k = 0; k < 100 && entries.size() < n; ++k)
            entries.push_back(std::string(dir) + "file_" + std::to_string(rng() % 100000) + "_" +
                              std::to_string(k) + ext[k % 5] + "\t" +
                              std::to_string(rng() % 1000000));
        std::shuffle(entries.begin() + static_cast<long>(start), entries.end(), rng);
    }
    std::printf("%zu entries\n", n);

    scan::TMapStrings map;
    auto t = std::chrono::steady_clock::now();
    for (const auto& e : entries) map.Add(e);
    Report("add", Seconds(t), n);
    if (static_cast<size_t>(map.Count()) != n) return std::puts("count mismatch"), 1;

    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    int64_t sum = 0;
    t = std::chrono::steady_clock::now();
    for (size_t i : order) sum += map.IndexOf(entries[i]);
    Report("index of", Seconds(t), n);
    t = std::chrono::steady_clock::now();
    for (size_t i : order) sum += map.IndexOfName(entries[i]);
    Report("index of name", Seconds(t), n);
    t = std::chrono::steady_clock::now();
    std::string saved;
    map.SaveToStream(saved);
    Report("save to stream", Seconds(t), n);
    t = std::chrono::steady_clock::now();
    for (size_t i = 0; i < n; ++i) map.Delete(0);
    Report("delete from the front", Seconds(t), n);
    if (map.Count() != 0 || sum < 0) return std::puts("not empty"), 1;
    std::printf("saved %.1f MiB\n", static_cast<double>(saved.size()) / 1048576.0);
    return 0;
}
