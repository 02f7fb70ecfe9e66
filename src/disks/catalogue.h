// The drive catalogue: every logical drive of a known type, then the folders
// the user added, and the rule that decides which of them are monitored.
#pragma once
#include <string>
#include <vector>

#include "disks/drive_entry.h"
#include "disks/name_list.h"
#include "os/volumes.h"

namespace disks {

using DriveCatalogue = std::vector<DriveEntry>;

struct DriveTypeRules {
    bool ShowFixedDrives = true;
    bool ShowNetworkDrives = true;
    bool ShowRamdisk = true;
};

// Drives A..Z as the system reports them, then the lines of foldersList.
// Drives that the rules keep from being monitored are added to disabled;
// removable drives other than A and B are added to enabled.
DriveCatalogue GetDisksList(os::Volumes& volumes, const DriveTypeRules& rules,
                            const std::string& foldersList, NameList& enabled, NameList& disabled);

int IndexOfName(const DriveCatalogue& catalogue, const std::string& name);

// Kind of a folder line: network when it starts with two backslashes.
uint8_t FolderKind(const std::string& path);

// "FoldersList" text: the folder items in catalogue order, joined by CR LF.
std::string FoldersListOf(const DriveCatalogue& catalogue);

std::string WithTrailingBackslash(const std::string& path);

// Root of a drive name or path: "C:\" for "C:" or "C:\Data", "\\srv\share\" for a
// UNC path; the path with a trailing backslash otherwise.
std::string RootOf(const std::string& path);

// Volume label; the shell's display name where there is none, always for kind 4.
std::string VolumeLabelOf(os::Volumes& volumes, const std::string& name, int kind);

// Folders show their path; drives show the shell's name of their root.
std::string DisplayNameOf(os::Volumes& volumes, const std::string& path, int kind);

// Serial as 8 upper-case hex digits, or the path's first character when the
// volume has none.
std::string VolumeSerialOf(os::Volumes& volumes, const std::string& path);

}  // namespace disks
