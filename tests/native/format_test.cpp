#include <doctest.h>

#include "disks/format.h"
#include "intl/messages.h"

using disks::DriveEntry;
using disks::FormatSize;

namespace {
os::LocaleFormats English() {
    return os::LocaleFormats();
}
os::LocaleFormats German() {
    os::LocaleFormats f;
    // Whole strings are moved in: assigning literals trips a false warning of g++ 12.
    f.thousandSeparator = std::string(".");
    f.decimalSeparator = std::string(",");
    f.shortDate = std::string("dd.MM.yyyy");
    f.longTime = std::string("HH:mm:ss");
    return f;
}
DriveEntry Entry(int64_t capacity, int64_t free, int64_t available) {
    DriveEntry e;
    e.Capacity = capacity;
    e.Free = free;
    e.Available = available;
    e.Used = capacity - free;
    return e;
}
}  // namespace

TEST_CASE("sizes print in the chosen unit with the locale's separators") {
    struct {
        int64_t bytes;
        int unit;
        const char* english;
        const char* german;
    } cases[] = {
        {123456789012LL, 3, "114.98", "114,98"},
        {5000000, 3, "0.01", "0,01"},
        {1500, 1, "1", "1"},
        {2000000000000LL, 3, "1,862.65", "1.862,65"},
        {0, 3, "0", "0"},
        {1, 3, "0.01", "0,01"},  // never 0.00
        {1, 1, "0", "0"},        // the 0.01 floor rounds away with no decimals
        {-1, 0, "0", "0"},
        {-1, 4, "0", "0"},
        {1099511627776LL, 4, "1.00", "1,00"},
        {1234567, 0, "1,234,567", "1.234.567"},
        {1048576 * 3 / 2, 2, "1.50", "1,50"},
        {1000, 7, "1,000.00", "1.000,00"},  // unknown unit: bytes with 2 decimals
    };
    for (auto& c : cases) {
        CAPTURE(c.bytes);
        CAPTURE(c.unit);
        CHECK(FormatSize(c.bytes, c.unit, English()) == c.english);
        CHECK(FormatSize(c.bytes, c.unit, German()) == c.german);
    }
}

TEST_CASE("unit suffixes with and without parentheses") {
    intl::InstallBuiltInMessages();
    CHECK(disks::UnitSuffix(3, true) == " (Gb)");
    CHECK(disks::UnitSuffix(3, false) == " Gb");
    CHECK(disks::UnitSuffix(0, false) == " bytes");
    CHECK(disks::UnitSuffix(4, true) == " (Tb)");
    CHECK(disks::UnitName(4) == "Terabytes");
    CHECK(disks::UnitName(1) == "Kilobytes");
}

TEST_CASE("free percentage: rounding half to even, the empty drive, quotas") {
    CHECK(disks::PercentFree(Entry(0, 0, 0)) == 0);       // empty CD drive
    CHECK(disks::PercentFree(Entry(-1, -1, -1)) == 0);    // failed network query
    CHECK(disks::PercentFree(Entry(200, 25, 25)) == 12);  // 12.5 goes to the even 12
    CHECK(disks::PercentFree(Entry(200, 27, 27)) == 14);  // 13.5 goes to 14
    CHECK(disks::PercentFree(Entry(200, 200, 200)) == 100);
    CHECK(disks::PercentFree(Entry(1000, 1, 1)) == 0);
    // Under a quota the user can fill only the available part: 50 of 1000.
    CHECK(disks::PercentFree(Entry(1000, 500, 50)) == 5);
    CHECK(disks::ShownPercent(Entry(200, 50, 50), true) == 75);
    CHECK(disks::ShownPercent(Entry(200, 50, 50), false) == 25);
}

TEST_CASE("date and time text from the locale's pictures") {
    os::LocalTime t;
    t.year = 2026, t.month = 3, t.day = 4, t.hour = 9, t.minute = 5, t.second = 7;
    t.dayOfWeek = 3;
    // The hour gets a leading zero when the picture gives none.
    CHECK(disks::DateTimeText(t, English()) == "3/4/2026 09:05:07 AM");
    CHECK(disks::DateTimeText(t, German()) == "04.03.2026 09:05:07");
    t.hour = 21;
    CHECK(disks::DateTimeText(t, English()) == "3/4/2026 09:05:07 PM");
    CHECK(disks::DateTimeText(t, German()) == "04.03.2026 21:05:07");
    os::LocaleFormats f = English();
    CHECK(disks::FormatPicture("dddd, MMMM d, yyyy 'at' h 'o''clock'", t, f) ==
          "Wednesday, March 4, 2026 at 9 o'clock");
    CHECK(disks::FormatPicture("yy-MMM-dd tt t", t, f) == "26-Mar-04 PM P");
}
