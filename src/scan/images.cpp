#include "scan/images.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/text.h"
#include "disks/catalogue.h"
#include "scan/crc32.h"
#include "scan/zip.h"

namespace scan {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}
bool IsNameChar(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_';
}

std::string PathOf(const os::Files& files, const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + files.Separator() + name;
}

std::vector<std::string> PendingImages(os::Files& files, const std::string& folder, bool& ok) {
    std::vector<std::string> names;
    ok = files.List(folder, [&](const os::DirEntry& e) {
        if (!e.IsFolder() && IsImageFileName(e.name, ".tmp")) names.emplace_back(e.name);
        return true;
    });
    return names;
}

}  // namespace

std::string ImageNameOf(os::Volumes& volumes, const std::string& root) {
    if (root.size() == 2 && IsLetter(root[0]) && root[1] == ':')
        return root.substr(0, 1) + "-" + disks::VolumeSerialOf(volumes, root);
    std::string label;
    for (char c : root) {
        if (IsNameChar(c))
            label += c;
        else if (!label.empty() && label.back() != '_')
            label += '_';
        if (label.size() >= 40) break;
    }
    while (!label.empty() && label.back() == '_') label.pop_back();
    if (label.empty()) label = "root";
    char hex[12];
    std::snprintf(hex, sizeof hex, "%08X", Crc32(root.data(), root.size()));
    return label + "-" + hex;
}

bool IsImageFileName(std::string_view n, std::string_view ext) {
    if (n.size() <= ext.size() || !text::EqualsIgnoreCase(n.substr(n.size() - ext.size()), ext))
        return false;
    n.remove_suffix(ext.size());
    // Letter, "-", letter: a drive whose volume has no serial.
    if (n.size() == 3 && IsLetter(n[0]) && n[1] == '-' && IsLetter(n[2])) return true;
    if (n.size() < 10 || n[n.size() - 9] != '-') return false;
    for (size_t i = n.size() - 8; i < n.size(); ++i)
        if (!IsUpperHex(n[i])) return false;
    for (size_t i = 0; i + 9 < n.size(); ++i)
        if (!IsNameChar(n[i])) return false;
    return true;
}

bool LoadStoredImage(os::Files& files, const std::string& folder, const std::string& imageName,
                     TMapStrings& map, const std::atomic<bool>& stop) {
    if (imageName.empty() || stop) return false;
    std::string path = PathOf(files, folder, imageName + ".dat");
    if (!files.Exists(path)) return false;
    auto mapping = files.Map(path);
    if (!mapping) return false;
    std::string content;
    if (!ZipExtract(mapping->Bytes(), imageName + ".tmp", content)) return false;
    std::string_view all = content;
    for (size_t at = 0; at < all.size();) {
        if (stop) return false;
        size_t end = std::min(all.find_first_of("\r\n", at), all.size());
        map.Add(all.substr(at, end - at));
        at = end + 1;
        if (end < all.size() && all[end] == '\r' && at < all.size() && all[at] == '\n') ++at;
    }
    return true;
}

bool SavePendingImage(os::Files& files, os::Clock& clock, const std::string& folder,
                      const std::string& imageName, const TMapStrings& map) {
    std::string lines;
    map.SaveToStream(lines);
    return WritePendingImage(files, clock, folder, imageName, lines);
}

bool WritePendingImage(os::Files& files, os::Clock& clock, const std::string& folder,
                       const std::string& imageName, const std::string& lines) {
    os::LocalTime t = clock.Now();
    std::string archive;
    if (!ZipSingleMember(imageName + ".tmp", lines,
                         DosStampOf(t.year, t.month, t.day, t.hour, t.minute, t.second), archive))
        return false;
    return os::WriteWholeFile(files, PathOf(files, folder, imageName + ".tmp"), archive);
}

int AcceptPendingImages(os::Files& files, const std::string& folder) {
    bool ok;
    int done = 0;
    for (const auto& name : PendingImages(files, folder, ok)) {
        // Renaming over the stored image replaces it in one step, so a failure
        // leaves the old one in place instead of none.
        std::string stored = PathOf(files, folder, name.substr(0, name.size() - 4) + ".dat");
        if (files.Rename(PathOf(files, folder, name), stored)) ++done;
    }
    return ok ? done : -1;
}

int DiscardPendingImages(os::Files& files, const std::string& folder) {
    bool ok;
    int done = 0;
    for (const auto& name : PendingImages(files, folder, ok))
        if (files.Delete(PathOf(files, folder, name))) ++done;
    return ok ? done : -1;
}

}  // namespace scan
