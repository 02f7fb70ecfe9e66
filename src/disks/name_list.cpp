#include "disks/name_list.h"

#include <algorithm>

#include "common/text.h"

namespace disks {

namespace {
bool LessIgnoreCase(const std::string& a, const std::string& b) {
    return text::LowerAscii(a) < text::LowerAscii(b);
}
}  // namespace

int NameList::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (text::EqualsIgnoreCase(items_[i], name)) return static_cast<int>(i);
    return -1;
}

int NameList::Add(std::string name) {
    if (!sorted_) {
        items_.push_back(std::move(name));
        return Count() - 1;
    }
    auto at = std::upper_bound(items_.begin(), items_.end(), name, LessIgnoreCase);
    at = items_.insert(at, std::move(name));
    return static_cast<int>(at - items_.begin());
}

void NameList::RemoveAt(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

bool NameList::Remove(std::string_view name) {
    int i = IndexOf(name);
    RemoveAt(i);
    return i >= 0;
}

std::string NameList::Text() const {
    std::string s;
    for (const auto& n : items_) s += n + "\r\n";
    return s;
}

void NameList::SetText(std::string_view s) {
    items_.clear();
    for (auto& line : text::SplitLines(s)) Add(std::move(line));
}

}  // namespace disks
