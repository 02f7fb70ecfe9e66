#include "notify/condition.h"

namespace notify {

TCondition::TCondition(const TCondition& other) {
    *this = other;
}

TCondition& TCondition::operator=(const TCondition& other) {
    if (this == &other) return *this;
    NtfWay = other.NtfWay;
    NtfParam = other.NtfParam;
    CndParam = other.CndParam;
    Comparison = other.Comparison;
    Value = other.Value;
    Disk = other.Disk;
    Measuring = other.Measuring;
    Armed = other.Armed;
    Comments = other.Comments;
    return *this;
}

}  // namespace notify
