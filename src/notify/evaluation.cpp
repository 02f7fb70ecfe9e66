#include "notify/evaluation.h"

#include <algorithm>

namespace notify {

bool ConditionHolds(const TCondition& c, const disks::DriveCatalogue& catalogue, int64_t& amount) {
    int i = disks::IndexOfName(catalogue, c.Disk);
    if (i < 0) return false;
    const disks::DriveEntry& e = catalogue[static_cast<size_t>(i)];
    // Not ready, unreadable or without a medium.
    if (e.Capacity <= 0) return false;
    switch (c.CndParam) {
        case kMeasureFree:
            amount = std::min(e.Free, e.Available);
            break;
        case kMeasureUsed:
            amount = e.Used;
            break;
        default:
            return false;
    }
    switch (c.Comparison) {
        case kLessThan:
            return amount < c.Value;
        case kMoreThan:
            return amount > c.Value;
        default:
            return false;
    }
}

void CheckConditions(ConditionList& list, const disks::DriveCatalogue& catalogue,
                     const FireFn& fire) {
    // A copy, so that whatever fire does, every condition is visited once.
    ConditionList snapshot = list;
    for (const std::shared_ptr<TCondition>& c : snapshot) {
        int64_t amount = 0;
        if (c->Armed && ConditionHolds(*c, catalogue, amount)) {
            c->Armed = false;
            fire(c, amount);
        } else {
            c->Armed = true;
        }
    }
}

}  // namespace notify
