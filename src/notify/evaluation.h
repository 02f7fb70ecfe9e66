// Evaluation of the conditions after a refresh, with the re-arming cadence:
// a condition that keeps holding fires at every second evaluation, and one
// that stops holding is armed again at once.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "disks/catalogue.h"
#include "notify/condition.h"

namespace notify {

// Whether the condition holds for the catalogue's current values; amount is
// what was measured (the smaller of free and available, or used).
bool ConditionHolds(const TCondition& c, const disks::DriveCatalogue& catalogue, int64_t& amount);

using FireFn = std::function<void(const std::shared_ptr<TCondition>&, int64_t amount)>;

// One evaluation of every condition in list order.
void CheckConditions(ConditionList& list, const disks::DriveCatalogue& catalogue,
                     const FireFn& fire);

}  // namespace notify
