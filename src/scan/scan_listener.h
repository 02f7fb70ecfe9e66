// How a scan reports: the Win32 side posts these as the scan wizard's window
// messages, zmscan prints them. Calls come from the scan's thread.
#pragma once
#include <cstdint>

namespace scan {

// Codes of the stage and counter report.
enum ScanStatus : int {
    kStatusComparing = 0,
    kStatusLoadingImage = 1,
    kStatusSavingImage = 2,
    kStatusStoringResults = 3,
    kStatusHashing = 5,
    kStatusDriveBegins = 7,
    kStatusHashTotalHigh = 10,
    kStatusHashTotalLow = 11,
    kStatusHashedSizeHigh = 12,
    kStatusHashedSizeLow = 13,
    kStatusFileCount = 14,
};

enum class ScanOutcome { Completed, Failed, Cancelled };

class ScanListener {
public:
    virtual ~ScanListener() = default;
    virtual void Progress(int percent) = 0;
    virtual void Status(uint32_t value, int code) = 0;
    virtual void RootBegins() = 0;
    virtual void RootEnds() = 0;
    // The last call, when the engine is gone. resultFlag: there are results
    // to offer; outcome says how the scan ended.
    virtual void Finished(bool resultFlag, ScanOutcome outcome) = 0;
};

}  // namespace scan
