// Disk images: the path-and-size list of a drive kept between changes scans,
// as ZIP archives in the program folder: name + ".dat" stored, name + ".tmp"
// pending until accepted.
#pragma once
#include <atomic>
#include <string>
#include <string_view>

#include "os/clock.h"
#include "os/files.h"
#include "os/volumes.h"
#include "scan/map_strings.h"

namespace scan {

// "C-1A2B3C4D" for a drive root "C:" (the letter again when the volume has no
// serial). Any other root (a folder, or a POSIX path) is named by its path:
// its letters, digits, dots and underscores with every other run of
// characters made one "_" (at most 40), "-", and the CRC-32 of the whole root
// as 8 upper-case hex digits, so that two roots never share an image.
std::string ImageNameOf(os::Volumes& volumes, const std::string& root);

// Whether a file name (without folder) is an image name with that extension.
bool IsImageFileName(std::string_view fileName, std::string_view extension);

// The stored image into map; false when there is none (missing, not an
// archive, member missing) or stop was raised.
bool LoadStoredImage(os::Files& files, const std::string& folder, const std::string& imageName,
                     TMapStrings& map, const std::atomic<bool>& stop);

// The archive of a pending image from the map's saved lines.
bool WritePendingImage(os::Files& files, os::Clock& clock, const std::string& folder,
                       const std::string& imageName, const std::string& lines);
// Writes map as the pending image, replacing any earlier one.
bool SavePendingImage(os::Files& files, os::Clock& clock, const std::string& folder,
                      const std::string& imageName, const TMapStrings& map);

// Every pending image becomes the stored one / is deleted. Only files named
// like images are touched. The number of images handled, -1 when the folder
// cannot be listed.
int AcceptPendingImages(os::Files& files, const std::string& folder);
int DiscardPendingImages(os::Files& files, const std::string& folder);

}  // namespace scan
