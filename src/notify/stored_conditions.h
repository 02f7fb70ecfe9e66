// The stored form of the condition list (the "NtfConditions" setting): nine
// fields per condition, each followed by "|", without escaping. Older lists
// have eight fields per condition; both read back.
#pragma once
#include <string>

#include "notify/condition.h"

namespace notify {

// Appends the conditions read from the stored text, then arms every condition
// of the list. Any text gives a defined result; unreadable conditions are
// dropped.
void LoadConditions(ConditionList& list, const std::string& stored);

// The stored form of the list; an empty list gives the empty string.
std::string SaveConditions(const ConditionList& list);

// The condition as it can be stored without shifting the fields that follow:
// a "|" in a text field becomes a broken bar, and additional text that would
// read as the next condition's way gets a trailing blank.
TCondition StorableCondition(const TCondition& c);

}  // namespace notify
