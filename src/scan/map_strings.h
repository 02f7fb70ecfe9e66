// TMapStrings: an ordered set of paths kept as a tree of components, so that
// the folder part shared by many paths is stored once. Components compare
// without regard to ASCII letter case; the order is component by component.
// Disk images ("relative path" TAB size) live in it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scan {

class TMapStrings {
public:
    explicit TMapStrings(char separator = '\\');
    ~TMapStrings();
    TMapStrings(const TMapStrings&) = delete;
    TMapStrings& operator=(const TMapStrings&) = delete;

    // Ignores an empty string, one already present, one that would continue
    // below a stored string, and one that ends where a folder of that text is.
    void Add(std::string_view s);
    int64_t Count() const;
    // The i-th string; empty when i is out of range.
    std::string Get(int64_t i) const;
    int64_t IndexOf(std::string_view s) const;  // -1 when absent
    // s cut at its first TAB: the first stored string whose file name begins
    // with that name and a TAB (byte for byte), in the folder found as IndexOf
    // would; -1 when there is none.
    int64_t IndexOfName(std::string_view s) const;
    void Delete(int64_t i);  // out of range: nothing
    // Every string in order, each followed by CR LF.
    void SaveToStream(std::string& out) const;
    void Clear();

    // The same operations without index arithmetic, for consuming maps of
    // a million entries in time proportional to the path depth.
    std::string First() const;  // empty when the map is empty
    void DeleteFirst();
    bool Remove(std::string_view s);  // as IndexOf + Delete
    // The string IndexOfName would find; empty when none.
    std::string FindName(std::string_view s) const;

    char Separator() const { return separator_; }

    struct Node;

private:
    struct Hit;
    bool Find(std::string_view s, Hit& hit) const;
    bool FindByName(std::string_view s, Hit& hit) const;
    void RemoveAt(Hit& hit);

    char separator_;
    std::unique_ptr<Node> root_;
};

}  // namespace scan
