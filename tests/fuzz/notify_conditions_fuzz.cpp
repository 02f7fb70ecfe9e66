// Any stored condition text loads, and what is written back from it reads
// back as the same list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "notify/stored_conditions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string stored(reinterpret_cast<const char*>(data), size);
    notify::ConditionList list;
    notify::LoadConditions(list, stored);
    for (const auto& c : list)
        if (!c->Armed || c->CndParam < 0 || c->Comparison < 0 || c->NtfWay == notify::kWayRetired)
            __builtin_trap();
    std::string once = notify::SaveConditions(list);
    notify::ConditionList again;
    notify::LoadConditions(again, once);
    if (again.size() != list.size() || notify::SaveConditions(again) != once) __builtin_trap();
    return 0;
}
