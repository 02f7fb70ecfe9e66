// One free-space sample of a drive or folder.
#pragma once
#include "disks/drive_entry.h"
#include "os/volumes.h"

namespace disks {

// New values for the entry: capacity, free and available as the system gives
// them, FreeChange against the previous sample (0 when there was none); zeros
// when the query fails, a capacity of -1 when it raised.
DriveEntry SampleDriveSpace(os::Volumes& volumes, const DriveEntry& previous);

// Stores an answer into an entry by the same rules.
void ApplySpaceAnswer(const os::SpaceAnswer& answer, DriveEntry& entry);

// Network drives and folders are queried off the main thread: an unreachable
// server can take many seconds to answer.
inline bool QueriedByWorker(uint8_t kind) {
    return kind == kNetworkDrive || kind == kNetworkFolder;
}

}  // namespace disks
