#include <doctest.h>
#include <windows.h>

#include "disks/catalogue.h"
#include "disks/sampling.h"
#include "os/clock.h"
#include "os/locale.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"

// Wine gives every prefix a C: drive (the prefix) and Z: (the Linux root).
TEST_CASE("the drives of the system are listed with kinds and free space") {
    auto volumes = os::win32::MakeVolumes();
    uint32_t mask = volumes->LogicalDrives();
    CHECK((mask & (1u << 2)) != 0);
    CHECK(volumes->DriveType("C:\\") == os::kDriveFixed);
    disks::NameList enabled, disabled;
    disks::DriveCatalogue c = disks::GetDisksList(*volumes, {}, "C:\\windows", enabled, disabled);
    int at = disks::IndexOfName(c, "C:");
    REQUIRE(at >= 0);
    CHECK(c.back().Name == "C:\\windows");
    CHECK(c.back().Kind == disks::kLocalFolder);

    disks::DriveEntry e = disks::SampleDriveSpace(*volumes, c[at]);
    CHECK(e.Capacity > 0);
    CHECK(e.Free > 0);
    CHECK(e.Free <= e.Capacity);
    CHECK(e.Used == e.Capacity - e.Free);
    CHECK(e.FreeChange == 0);  // first sample
    disks::DriveEntry folder = disks::SampleDriveSpace(*volumes, c.back());
    CHECK(folder.Capacity == e.Capacity);  // a folder reports its volume

    disks::DriveEntry missing;
    missing.Name = "C:\\no\\such\\folder";
    disks::DriveEntry m = disks::SampleDriveSpace(*volumes, missing);
    CHECK(m.Capacity == 0);
    CHECK(m.Free == 0);

    std::string serial = disks::VolumeSerialOf(*volumes, "C:");
    CHECK((serial.size() == 8 || serial == "C"));
    CHECK(!disks::DisplayNameOf(*volumes, "C:", disks::kFixed).empty());
}

TEST_CASE("the locale and the clock come from the system") {
    os::LocaleFormats f = os::UserLocaleFormats();
    CHECK(!f.decimalSeparator.empty());
    CHECK(!f.shortDate.empty());
    CHECK(f.longMonthNames[0].size() > 2);
    os::LocalTime now = os::SystemClock().Now();
    CHECK(now.year >= 2024);
    // 2024-01-01 00:00 UTC as a FILETIME lands on that day or its neighbours locally.
    os::LocalTime t = os::LocalTimeFromFileTime(133485408000000000LL);
    CHECK(t.year >= 2023);
    CHECK(os::DayNumber(t) >= 45291);
    CHECK(os::DayNumber(t) <= 45293);
}
