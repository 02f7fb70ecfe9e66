// How every view prints sizes, units, percentages and moments.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "disks/drive_entry.h"
#include "os/clock.h"
#include "os/locale.h"

namespace disks {

// Display units of the ShowIn setting.
enum ShowInUnit : int {
    kBytes = 0,
    kKilobytes = 1,
    kMegabytes = 2,
    kGigabytes = 3,
    kTerabytes = 4
};

// The byte count in the unit, without the unit: "0" for zero or less, never
// less than 0.01 otherwise, with the locale's separators.
std::string FormatSize(int64_t bytes, int showIn, const os::LocaleFormats& locale);

// A blank and the unit's suffix message, "(Gb)"; without parentheses " Gb".
std::string UnitSuffix(int showIn, bool keepParentheses);

// Name of the unit in the unit list (message 0..3, 178).
std::string UnitName(int showIn);

// Free share of the entry, 0..100, rounded half to even.
int PercentFree(const DriveEntry& entry);
// What the views show: the used share when showUsed, else the free share.
int ShownPercent(const DriveEntry& entry, bool showUsed);

// Width in pixels of a text in the font of the current view; the view supplies
// the measurement.
using TextWidthFn = std::function<int(std::string_view)>;
inline int TextWidthInView(std::string_view s, const TextWidthFn& measure) {
    return measure(s);
}

// A system date or time picture ("M/d/yyyy", "h:mm:ss tt") applied to a moment.
std::string FormatPicture(std::string_view picture, const os::LocalTime& t,
                          const os::LocaleFormats& locale);

// Date in the short date picture, a blank, the time in the long time picture
// with an hour below 10 given two digits.
std::string DateTimeText(const os::LocalTime& t, const os::LocaleFormats& locale);

}  // namespace disks
