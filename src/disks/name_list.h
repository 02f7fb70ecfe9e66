// A list of drive names as the settings store keeps it: compared without
// regard to case, written as text with every name followed by CR LF.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace disks {

class NameList {
  public:
    explicit NameList(bool sorted = false) : sorted_(sorted) {}

    int IndexOf(std::string_view name) const;
    bool Contains(std::string_view name) const { return IndexOf(name) >= 0; }
    // Adds at the end, or at its sorted place for a sorted list; returns the index.
    int Add(std::string name);
    void RemoveAt(int index);
    bool Remove(std::string_view name);
    void Clear() { items_.clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& operator[](int i) const { return items_[i]; }
    const std::vector<std::string>& Items() const { return items_; }

    std::string Text() const;          // each name + CR LF
    void SetText(std::string_view s);  // one name per line

  private:
    bool sorted_;
    std::vector<std::string> items_;
};

}  // namespace disks
