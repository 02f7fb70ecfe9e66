// One notification condition: which drive, what is measured, the threshold,
// and how the user is told when it holds.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace notify {

// Ways of notification; the code is also the index of the way's label
// (message 100 + code).
enum NtfWayCode : int16_t {
    kWaySound = 0,
    kWayMessageBox = 1,
    kWayEmail = 2,
    kWayNetSend = 3,
    kWayRetired = 4,  // read back as a message box
    kWayEventLog = 5,
    kWayExecute = 6,
};

enum CndParamCode : int16_t { kMeasureFree = 0, kMeasureUsed = 1 };
enum ComparisonCode : int16_t { kLessThan = 0, kMoreThan = 1 };

// The link between a condition and its running delivery job. The job holds
// its own reference and clears `running` as its last act; it never touches the
// condition, so a condition may be freed (the list replaced) while its job
// runs.
struct JobLink {
    std::atomic<bool> running{true};
};

class TCondition {
  public:
    int16_t NtfWay = kWayMessageBox;
    std::string NtfParam = "Zelmora";
    int16_t CndParam = kMeasureFree;
    int16_t Comparison = kLessThan;
    int64_t Value = 104857600;  // bytes
    std::string Disk = "C:";
    uint8_t Measuring = 2;  // unit the dialog shows Value in; never compared
    bool Armed = true;
    std::shared_ptr<JobLink> Job;  // not stored, not copied
    std::string Comments;

    TCondition() = default;
    // Copies carry every field but the job link.
    TCondition(const TCondition& other);
    TCondition& operator=(const TCondition& other);

    bool JobRunning() const { return Job && Job->running.load(); }
};

// The main window's list, in order of creation; it owns its conditions.
using ConditionList = std::vector<std::shared_ptr<TCondition>>;

}  // namespace notify
