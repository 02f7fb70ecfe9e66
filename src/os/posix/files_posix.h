// The POSIX implementations of the OS interfaces the scans use.
#pragma once
#include <memory>

#include "os/files.h"
#include "os/volumes.h"

namespace os {

std::unique_ptr<Files> MakePosixFiles();
// Free space by statvfs; no drive letters, serials or labels.
std::unique_ptr<Volumes> MakePosixVolumes();

}  // namespace os
