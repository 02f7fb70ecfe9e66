// The two texts built from a condition: its one-line description and the
// text of a fired notification. Amounts are shown in the display unit.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notify/condition.h"
#include "os/clock.h"
#include "os/locale.h"

namespace notify {

// "When 'Free space' on disk C: is less than 100.00 Mb"
std::string DescribeCondition(const TCondition& c, int showIn, const os::LocaleFormats& locale);

// "(date time) Zelmora: 'Free space' on disk C: is 95.23 Mb which is less than
// 100.00 Mb", with the event-log text and the additional text on lines of
// their own where the way shows them.
std::string NotificationText(const TCondition& c, int64_t amount, int showIn,
                             const os::LocaleFormats& locale, const os::LocalTime& now);

// Replaces the first "%1", "%2", ... of the template by args[0], args[1], ...
// in one pass, so a replacement that itself holds "%2" stays as it is.
std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& args);

// Lower case for UTF-8 text: ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic capitals; everything else is kept.
std::string LowerText(std::string_view s);

}  // namespace notify
