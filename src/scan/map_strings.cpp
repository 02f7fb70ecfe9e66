#include "scan/map_strings.h"

#include <algorithm>

namespace scan {

namespace {

struct FoldTable {
    unsigned char t[256];
    FoldTable() {
        for (int c = 0; c < 256; ++c)
            t[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
};
const FoldTable kFold;

int CaseCompare(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    const auto* x = reinterpret_cast<const unsigned char*>(a.data());
    const auto* y = reinterpret_cast<const unsigned char*>(b.data());
    for (size_t i = 0; i < n; ++i) {
        if (x[i] == y[i]) continue;
        unsigned char p = kFold.t[x[i]], q = kFold.t[y[i]];
        if (p != q) return p < q ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool CaseStartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && CaseCompare(s.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

struct MapEntry {
    std::string text;
    std::unique_ptr<TMapStrings::Node> child;  // null: a leaf
    uint64_t Leaves() const;
};

struct TMapStrings::Node {
    std::vector<MapEntry> entries;  // sorted; live ones from head on
    size_t head = 0;                // entries before head were deleted from the front
    uint64_t leaves = 0;
    Node* parent = nullptr;
    mutable std::vector<uint64_t> prefix;  // leaves before each live entry
    mutable bool prefixValid = false;

    size_t Live() const { return entries.size() - head; }
    MapEntry& At(size_t j) { return entries[head + j]; }
    const MapEntry& At(size_t j) const { return entries[head + j]; }

    // Position of the first live entry not less than text.
    size_t LowerBound(std::string_view text) const {
        auto it = std::lower_bound(
            entries.begin() + static_cast<ptrdiff_t>(head), entries.end(), text,
            [](const MapEntry& e, std::string_view t) { return CaseCompare(e.text, t) < 0; });
        return static_cast<size_t>(it - entries.begin()) - head;
    }
    // Index of the live entry equal to text, or Live().
    size_t FindEqual(std::string_view text) const {
        size_t n = Live();
        if (n && CaseCompare(At(n - 1).text, text) == 0) return n - 1;  // walks add in order
        size_t j = LowerBound(text);
        return (j < n && CaseCompare(At(j).text, text) == 0) ? j : n;
    }
    const std::vector<uint64_t>& Prefix() const {
        if (!prefixValid) {
            prefix.assign(Live() + 1, 0);
            for (size_t j = 0; j < Live(); ++j) prefix[j + 1] = prefix[j] + At(j).Leaves();
            prefixValid = true;
        }
        return prefix;
    }
    // The live entry that holds string i of this node; i becomes the offset in it.
    size_t Locate(uint64_t& i) const {
        if (prefixValid) {
            const auto& p = prefix;
            size_t j = static_cast<size_t>(std::upper_bound(p.begin(), p.end(), i) - p.begin()) - 1;
            i -= p[j];
            return j;
        }
        for (size_t j = 0;; ++j) {  // i == 0, the common case, stops at once
            uint64_t l = At(j).Leaves();
            if (i < l) return j;
            i -= l;
        }
    }
    void Erase(size_t j) {
        if (j == 0) {
            entries[head] = MapEntry{};
            ++head;
            if (head >= 64 && head * 2 >= entries.size()) {
                entries.erase(entries.begin(), entries.begin() + static_cast<ptrdiff_t>(head));
                head = 0;
            }
        } else {
            entries.erase(entries.begin() + static_cast<ptrdiff_t>(head + j));
        }
        prefixValid = false;
    }
};

uint64_t MapEntry::Leaves() const {
    return child ? child->leaves : 1;
}

// A stored string found: the nodes and live positions on its way down.
struct TMapStrings::Hit {
    std::vector<std::pair<Node*, size_t>> path;
    uint64_t index = 0;
};

TMapStrings::TMapStrings(char separator) : separator_(separator), root_(std::make_unique<Node>()) {}
TMapStrings::~TMapStrings() {
    Clear();
}

void TMapStrings::Clear() {
    // Iteratively, so that a deep tree cannot exhaust the stack.
    std::vector<std::unique_ptr<Node>> pending;
    pending.push_back(std::move(root_));
    while (!pending.empty()) {
        std::unique_ptr<Node> n = std::move(pending.back());
        pending.pop_back();
        for (auto& e : n->entries)
            if (e.child) pending.push_back(std::move(e.child));
    }
    root_ = std::make_unique<Node>();
}

int64_t TMapStrings::Count() const {
    return static_cast<int64_t>(root_->leaves);
}

void TMapStrings::Add(std::string_view s) {
    if (s.empty()) return;
    thread_local std::vector<Node*> way;
    way.clear();
    Node* node = root_.get();
    for (;;) {
        size_t sep = s.find(separator_);
        std::string_view part = s.substr(0, sep);
        bool last = sep == std::string_view::npos;
        way.push_back(node);
        size_t n = node->Live();
        size_t j;
        bool found;
        if (n == 0 || CaseCompare(node->At(n - 1).text, part) < 0) {
            j = n;
            found = false;
        } else {
            j = node->FindEqual(part);
            found = j < n;
            if (!found) j = node->LowerBound(part);
        }
        if (found) {
            MapEntry& e = node->At(j);
            if (last || !e.child) return;  // present, below a leaf, or ends at a folder
            node = e.child.get();
            s.remove_prefix(sep + 1);
            continue;
        }
        MapEntry e;
        e.text.assign(part);
        Node* child = nullptr;
        if (!last) {
            e.child = std::make_unique<Node>();
            e.child->parent = node;
            child = e.child.get();
        }
        node->entries.insert(node->entries.begin() + static_cast<ptrdiff_t>(node->head + j),
                             std::move(e));
        if (last) break;
        node = child;
        s.remove_prefix(sep + 1);
    }
    for (Node* w : way) {
        ++w->leaves;
        w->prefixValid = false;
    }
}

std::string TMapStrings::Get(int64_t index) const {
    if (index < 0 || index >= Count()) return {};
    std::string out;
    uint64_t i = static_cast<uint64_t>(index);
    const Node* node = root_.get();
    for (;;) {
        const MapEntry& e = node->At(node->Locate(i));
        out += e.text;
        if (!e.child) return out;
        out += separator_;
        node = e.child.get();
    }
}

bool TMapStrings::Find(std::string_view s, Hit& hit) const {
    hit.path.clear();
    hit.index = 0;
    if (s.empty()) return false;
    Node* node = root_.get();
    for (;;) {
        size_t sep = s.find(separator_);
        bool last = sep == std::string_view::npos;
        size_t j = node->FindEqual(s.substr(0, sep));
        if (j >= node->Live()) return false;
        MapEntry& e = node->At(j);
        if (last == (e.child != nullptr)) return false;
        hit.path.emplace_back(node, j);
        if (last) return true;
        node = e.child.get();
        s.remove_prefix(sep + 1);
    }
}

bool TMapStrings::FindByName(std::string_view s, Hit& hit) const {
    hit.path.clear();
    size_t tab = s.find('\t');
    std::string key(s.substr(0, tab));
    size_t sep = key.find_last_of(separator_);
    std::string name = (sep == std::string::npos ? key : key.substr(sep + 1)) + '\t';
    Node* node = root_.get();
    if (sep != std::string::npos) {
        std::string_view folders(key.data(), sep);
        for (;;) {
            size_t p = folders.find(separator_);
            size_t j = node->FindEqual(folders.substr(0, p));
            if (j >= node->Live() || !node->At(j).child) return false;
            hit.path.emplace_back(node, j);
            node = node->At(j).child.get();
            if (p == std::string_view::npos) break;
            folders.remove_prefix(p + 1);
        }
    }
    for (size_t j = node->LowerBound(name); j < node->Live(); ++j) {
        const MapEntry& e = node->At(j);
        if (!CaseStartsWith(e.text, name)) break;
        if (!e.child && e.text.compare(0, name.size(), name) == 0) {
            hit.path.emplace_back(node, j);
            return true;
        }
    }
    return false;
}

int64_t TMapStrings::IndexOf(std::string_view s) const {
    if (s.empty()) return -1;
    const Node* node = root_.get();
    int64_t index = 0;
    for (;;) {
        size_t sep = s.find(separator_);
        bool last = sep == std::string_view::npos;
        size_t j = node->FindEqual(s.substr(0, sep));
        if (j >= node->Live()) return -1;
        const MapEntry& e = node->At(j);
        if (last == (e.child != nullptr)) return -1;
        index += static_cast<int64_t>(node->Prefix()[j]);
        if (last) return index;
        node = e.child.get();
        s.remove_prefix(sep + 1);
    }
}

int64_t TMapStrings::IndexOfName(std::string_view s) const {
    Hit hit;
    if (!FindByName(s, hit)) return -1;
    int64_t index = 0;
    for (auto& [node, j] : hit.path) index += static_cast<int64_t>(node->Prefix()[j]);
    return index;
}

std::string TMapStrings::FindName(std::string_view s) const {
    Hit hit;
    if (!FindByName(s, hit)) return {};
    std::string out;
    for (size_t k = 0; k < hit.path.size(); ++k) {
        if (k) out += separator_;
        out += hit.path[k].first->At(hit.path[k].second).text;
    }
    return out;
}

void TMapStrings::RemoveAt(Hit& hit) {
    // The leaf goes, then every node left empty on the way up.
    for (auto it = hit.path.rbegin(); it != hit.path.rend(); ++it) {
        Node* node = it->first;
        MapEntry& e = node->At(it->second);
        bool drop = !e.child || e.child->leaves == 0;
        if (drop) node->Erase(it->second);
        --node->leaves;
        node->prefixValid = false;
    }
}

void TMapStrings::Delete(int64_t index) {
    if (index < 0 || index >= Count()) return;
    Hit hit;
    uint64_t i = static_cast<uint64_t>(index);
    Node* node = root_.get();
    for (;;) {
        size_t j = node->Locate(i);
        hit.path.emplace_back(node, j);
        MapEntry& e = node->At(j);
        if (!e.child) break;
        node = e.child.get();
    }
    RemoveAt(hit);
}

bool TMapStrings::Remove(std::string_view s) {
    Hit hit;
    if (!Find(s, hit)) return false;
    RemoveAt(hit);
    return true;
}

std::string TMapStrings::First() const {
    return Get(0);
}
void TMapStrings::DeleteFirst() {
    Delete(0);
}

void TMapStrings::SaveToStream(std::string& out) const {
    struct Frame {
        const Node* node;
        size_t j;
        size_t prefixLength;
    };
    std::string prefix;
    std::vector<Frame> stack{{root_.get(), 0, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.j >= f.node->Live()) {
            stack.pop_back();
            continue;
        }
        const MapEntry& e = f.node->At(f.j++);
        prefix.resize(f.prefixLength);
        if (e.child) {
            prefix += e.text;
            prefix += separator_;
            stack.push_back({e.child.get(), 0, prefix.size()});
        } else {
            out += prefix;
            out += e.text;
            out += "\r\n";
        }
    }
}

}  // namespace scan
