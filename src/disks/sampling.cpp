#include "disks/sampling.h"

namespace disks {

void ApplySpaceAnswer(const os::SpaceAnswer& a, DriveEntry& e) {
    using Outcome = os::SpaceAnswer::Outcome;
    int64_t previousCapacity = e.Capacity;
    int64_t previousFree = e.Free;
    e.Used = e.Available = e.Capacity = e.Free = e.FreeChange = 0;
    if (a.outcome == Outcome::Raised) {
        e.Capacity = -1;
    } else if (a.outcome == Outcome::Ok) {
        e.FreeChange = previousCapacity != 0 ? a.free - previousFree : 0;
        e.Capacity = a.total;
        e.Free = a.free;
        e.Available = a.available;
        e.Used = a.total - a.free;
    }
}

DriveEntry SampleDriveSpace(os::Volumes& volumes, const DriveEntry& previous) {
    DriveEntry e = previous;
    ApplySpaceAnswer(volumes.FreeSpace(previous.Name), e);
    return e;
}

}  // namespace disks
