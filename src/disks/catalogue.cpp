#include "disks/catalogue.h"

#include <cstdio>

#include "common/text.h"

namespace disks {

namespace {

bool Listed(const std::string& name, const NameList& enabled, const NameList& disabled) {
    return enabled.Contains(name) || disabled.Contains(name);
}

void ApplyTypeRule(const DriveEntry& e, const DriveTypeRules& rules, NameList& enabled,
                   NameList& disabled) {
    if (Listed(e.Name, enabled, disabled)) return;
    char letter = text::LowerAscii(e.Name[0]);
    switch (e.Kind) {
        case kRemovable:
            // Floppy drives stay quiet unless the user enables them.
            if (letter == 'a' || letter == 'b')
                disabled.Add(e.Name);
            else
                enabled.Add(e.Name);
            break;
        case kFixed:
            if (!rules.ShowFixedDrives) disabled.Add(e.Name);
            break;
        case kNetworkDrive:
            if (!rules.ShowNetworkDrives) disabled.Add(e.Name);
            break;
        case kCdRom:
            disabled.Add(e.Name);
            break;
        case kRamDisk:
            if (!rules.ShowRamdisk) disabled.Add(e.Name);
            break;
    }
}

}  // namespace

uint8_t FolderKind(const std::string& path) {
    return text::StartsWith(path, "\\\\") ? kNetworkFolder : kLocalFolder;
}

DriveCatalogue GetDisksList(os::Volumes& volumes, const DriveTypeRules& rules,
                            const std::string& foldersList, NameList& enabled, NameList& disabled) {
    DriveCatalogue catalogue;
    uint32_t mask = volumes.LogicalDrives();
    for (int bit = 0; bit < 32; ++bit) {
        if (!(mask & (1u << bit))) continue;
        std::string name(1, static_cast<char>('A' + bit));
        name += ':';
        int type = volumes.DriveType(name + "\\");
        if (type < os::kDriveRemovable || type > os::kDriveRamDisk) continue;
        DriveEntry e;
        e.Kind = static_cast<uint8_t>(type);
        e.Name = name;
        ApplyTypeRule(e, rules, enabled, disabled);
        catalogue.push_back(e);
    }
    for (const std::string& line : text::SplitLines(foldersList)) {
        if (line.empty()) continue;
        DriveEntry e;
        e.Name = line.substr(0, kMaxDriveNameLength);
        e.Kind = FolderKind(e.Name);
        catalogue.push_back(e);
    }
    return catalogue;
}

int IndexOfName(const DriveCatalogue& catalogue, const std::string& name) {
    for (size_t i = 0; i < catalogue.size(); ++i)
        if (text::EqualsIgnoreCase(catalogue[i].Name, name)) return static_cast<int>(i);
    return -1;
}

std::string FoldersListOf(const DriveCatalogue& catalogue) {
    std::vector<std::string> folders;
    for (const auto& e : catalogue)
        if (e.IsFolder()) folders.push_back(e.Name);
    return text::Join(folders, "\r\n");
}

std::string WithTrailingBackslash(const std::string& path) {
    return text::EndsWith(path, "\\") ? path : path + "\\";
}

std::string RootOf(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    if (text::StartsWith(path, "\\\\")) {
        size_t server = path.find('\\', 2);
        if (server != std::string::npos) {
            size_t share = path.find('\\', server + 1);
            return share == std::string::npos ? path + "\\" : path.substr(0, share + 1);
        }
    }
    return WithTrailingBackslash(path);
}

std::string VolumeLabelOf(os::Volumes& volumes, const std::string& name, int kind) {
    std::string root = WithTrailingBackslash(name);
    os::VolumeDetails details;
    std::string label;
    if (volumes.VolumeInfo(root, details)) label = details.label.substr(0, 26);
    if (label.empty() || kind == kNetworkDrive) {
        std::string shell = volumes.ShellDisplayName(root);
        if (!shell.empty()) label = shell;
    }
    return label;
}

std::string DisplayNameOf(os::Volumes& volumes, const std::string& path, int kind) {
    if (kind == kLocalFolder || kind == kNetworkFolder) return path;
    std::string shell = volumes.ShellDisplayName(WithTrailingBackslash(path));
    return shell.empty() ? path : shell;
}

std::string VolumeSerialOf(os::Volumes& volumes, const std::string& path) {
    os::VolumeDetails details;
    std::string fallback = path.empty() ? std::string() : path.substr(0, 1);
    if (!volumes.VolumeInfo(RootOf(path), details)) return fallback;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X%04X", details.serial >> 16, details.serial & 0xFFFF);
    std::string serial = hex;
    return serial == "00000000" ? fallback : serial;
}

}  // namespace disks
