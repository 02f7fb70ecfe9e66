// The report loader over any bytes: the first byte picks the report kind.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/load_res.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    int kind = data[0] % 3;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    scan::LoadedReport out;
    scan::ParseHooks hooks;
    hooks.exists = [](const std::string& p) { return p.size() % 2 == 0; };
    std::atomic<bool> stop{false};
    scan::ParseReport(kind, bytes, out, hooks, stop);
    for (const auto& list : out.lists)
        for (const auto& item : list)
            if (item.path.size() > 3 * size) __builtin_trap();  // ANSI bytes grow to at most 3
    return 0;
}
