#include <doctest.h>

#include "disks/catalogue.h"
#include "fakes/fake_volumes.h"

using disks::DriveTypeRules;
using disks::NameList;
using fakes::FakeVolumes;

namespace {
std::vector<std::string> Names(const disks::DriveCatalogue& c) {
    std::vector<std::string> n;
    for (auto& e : c) n.push_back(e.Name + "/" + std::to_string(e.Kind));
    return n;
}
}  // namespace

TEST_CASE("drives are listed by letter with their kinds, then the folders") {
    FakeVolumes v;
    v["A:"].type = os::kDriveRemovable;
    v["C:"].type = os::kDriveFixed;
    v["D:"].type = os::kDriveCdRom;
    v["E:"].type = os::kDriveRemovable;
    v["F:"].type = os::kDriveRemote;
    v["G:"].type = os::kDriveRamDisk;
    v["H:"].type = os::kDriveUnknown;  // skipped
    v["I:"].type = os::kDriveNoRoot;   // skipped
    NameList enabled, disabled;
    auto c = disks::GetDisksList(v, DriveTypeRules{}, "D:\\Data\r\n\\\\server\\share\r\n\r\n",
                                 enabled, disabled);
    CHECK(Names(c) == std::vector<std::string>{"A:/2", "C:/3", "D:/5", "E:/2", "F:/4", "G:/6",
                                               "D:\\Data/7", "\\\\server\\share/8"});
    // Floppies and CD drives wait for the user; other removable drives are
    // monitored at once; the rest is decided later.
    CHECK(disabled.Items() == std::vector<std::string>{"A:", "D:"});
    CHECK(enabled.Items() == std::vector<std::string>{"E:"});
    CHECK(disks::FoldersListOf(c) == "D:\\Data\r\n\\\\server\\share");
}

TEST_CASE("the per-type switches send new drives to the disabled list") {
    FakeVolumes v;
    v["C:"].type = os::kDriveFixed;
    v["F:"].type = os::kDriveRemote;
    v["G:"].type = os::kDriveRamDisk;
    v["B:"].type = os::kDriveRemovable;
    v["E:"].type = os::kDriveRemovable;
    NameList enabled, disabled;
    disabled.Add("e:");  // the user switched this stick off (case does not matter)
    enabled.Add("B:");   // and this floppy on
    enabled.Add("F:");   // a listed drive keeps its place whatever the switches say
    DriveTypeRules off{false, false, false};
    disks::GetDisksList(v, off, "", enabled, disabled);
    CHECK(disabled.Items() == std::vector<std::string>{"e:", "C:", "G:"});
    CHECK(enabled.Items() == std::vector<std::string>{"B:", "F:"});
}

TEST_CASE("a long folder line is cut, and UNC lines are network folders") {
    FakeVolumes v;
    NameList enabled, disabled;
    std::string longPath = "C:\\" + std::string(300, 'x');
    auto c = disks::GetDisksList(v, {}, longPath + "\r\n\\single\r\n\\\\srv\\s", enabled, disabled);
    REQUIRE(c.size() == 3);
    CHECK(c[0].Name.size() == 255);
    CHECK(c[1].Kind == disks::kLocalFolder);  // one backslash is not a network path
    CHECK(c[2].Kind == disks::kNetworkFolder);
    CHECK(c[0].Capacity == 0);
}

TEST_CASE("labels, display names and serials") {
    FakeVolumes v;
    v["C:"].details.label = "SYSTEM";
    v["C:"].details.serial = 0x1A2B3C4D;
    v["C:"].shellName = "Local Disk (C:)";
    v["D:"].details.label = "";
    v["D:"].shellName = "CD Drive (D:)";
    v["D:"].details.serial = 0;
    v["F:"].details.label = "share";
    v["F:"].shellName = "docs on server (F:)";
    v["G:"].hasInfo = false;
    CHECK(disks::VolumeLabelOf(v, "C:", disks::kFixed) == "SYSTEM");
    CHECK(disks::VolumeLabelOf(v, "D:", disks::kCdRom) == "CD Drive (D:)");
    CHECK(disks::VolumeLabelOf(v, "F:", disks::kNetworkDrive) == "docs on server (F:)");
    CHECK(disks::VolumeLabelOf(v, "G:", disks::kFixed) == "");
    CHECK(disks::DisplayNameOf(v, "C:", disks::kFixed) == "Local Disk (C:)");
    CHECK(disks::DisplayNameOf(v, "G:", disks::kFixed) == "G:");
    CHECK(disks::DisplayNameOf(v, "C:\\Data", disks::kLocalFolder) == "C:\\Data");
    CHECK(disks::VolumeSerialOf(v, "C:") == "1A2B3C4D");
    CHECK(disks::VolumeSerialOf(v, "C:\\Data\\x") == "1A2B3C4D");
    CHECK(disks::VolumeSerialOf(v, "D:") == "D");  // a zero serial names by letter
    CHECK(disks::VolumeSerialOf(v, "G:") == "G");
    CHECK(disks::RootOf("\\\\srv\\share\\dir\\f") == "\\\\srv\\share\\");
    CHECK(disks::RootOf("\\\\srv\\share") == "\\\\srv\\share\\");
    CHECK(disks::RootOf("E:") == "E:\\");
}
