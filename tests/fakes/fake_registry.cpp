#include "fakes/fake_registry.h"

#include "common/text.h"

namespace fakes {

using os::RegRoot;
using os::RegType;

std::string FakeRegistry::Id(RegRoot root, const std::string& path) {
    return (root == RegRoot::CurrentUser ? "hkcu\\" : "hklm\\") + text::LowerAscii(path);
}

FakeRegistry::Key* FakeRegistry::Get(RegRoot root, const std::string& path) {
    auto it = keys_.find(Id(root, path));
    return it == keys_.end() ? nullptr : &it->second;
}

FakeRegistry::Key& FakeRegistry::Make(RegRoot root, const std::string& path) {
    // Parents are created too, as the real registry does.
    std::string id = Id(root, path);
    for (size_t at = id.find('\\', 5); at != std::string::npos; at = id.find('\\', at + 1))
        keys_[id.substr(0, at)];
    return keys_[id];
}

void FakeRegistry::CreateKey(RegRoot root, const std::string& path) {
    Make(root, path);
}

bool FakeRegistry::KeyExists(RegRoot root, const std::string& path) {
    return Get(root, path) != nullptr;
}

RegType FakeRegistry::TypeOf(RegRoot root, const std::string& path, const std::string& name) {
    const FakeValue* v = Find(root, path, name);
    return v ? v->type : RegType::Missing;
}

const FakeValue* FakeRegistry::Find(RegRoot root, const std::string& path,
                                    const std::string& name) const {
    auto it = keys_.find(Id(root, path));
    if (it == keys_.end()) return nullptr;
    auto v = it->second.values.find(text::LowerAscii(name));
    return v == it->second.values.end() ? nullptr : &v->second;
}

size_t FakeRegistry::ValueCount(RegRoot root, const std::string& path) const {
    auto it = keys_.find(Id(root, path));
    return it == keys_.end() ? 0 : it->second.values.size();
}

std::optional<uint32_t> FakeRegistry::ReadDword(RegRoot root, const std::string& path,
                                                const std::string& name) {
    const FakeValue* v = Find(root, path, name);
    if (!v || v->type != RegType::Dword) return std::nullopt;
    return v->dword;
}

std::optional<std::string> FakeRegistry::ReadString(RegRoot root, const std::string& path,
                                                    const std::string& name) {
    const FakeValue* v = Find(root, path, name);
    if (!v || v->type != RegType::String) return std::nullopt;
    return v->text;
}

std::optional<std::vector<uint8_t>> FakeRegistry::ReadBinary(RegRoot root, const std::string& path,
                                                             const std::string& name) {
    const FakeValue* v = Find(root, path, name);
    if (!v || v->type != RegType::Binary) return std::nullopt;
    return v->bytes;
}

bool FakeRegistry::WriteDword(RegRoot root, const std::string& path, const std::string& name,
                              uint32_t value) {
    if (failWrites) return false;
    ++writes;
    FakeValue& v = Make(root, path).values[text::LowerAscii(name)];
    v = FakeValue{RegType::Dword, value, {}, {}};
    return true;
}

bool FakeRegistry::WriteString(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& value) {
    if (failWrites) return false;
    ++writes;
    FakeValue& v = Make(root, path).values[text::LowerAscii(name)];
    v = FakeValue{RegType::String, 0, value, {}};
    return true;
}

bool FakeRegistry::WriteBinary(RegRoot root, const std::string& path, const std::string& name,
                               const std::vector<uint8_t>& value) {
    if (failWrites) return false;
    ++writes;
    FakeValue& v = Make(root, path).values[text::LowerAscii(name)];
    v = FakeValue{RegType::Binary, 0, {}, value};
    return true;
}

void FakeRegistry::SetOther(RegRoot root, const std::string& path, const std::string& name) {
    Make(root, path).values[text::LowerAscii(name)] = FakeValue{RegType::Other, 0, {}, {}};
}

std::optional<std::string> FakeRegistry::SubKeyAt(RegRoot root, const std::string& path,
                                                  uint32_t index) {
    std::string id = Id(root, path);
    if (!keys_.count(id)) return std::nullopt;
    std::string prefix = id + "\\";
    uint32_t n = 0;
    for (const auto& [k, _] : keys_) {
        if (!text::StartsWith(k, prefix) || k.find('\\', prefix.size()) != std::string::npos)
            continue;
        if (n++ == index) return k.substr(prefix.size());
    }
    return std::nullopt;
}

bool FakeRegistry::DeleteLeafKey(RegRoot root, const std::string& path) {
    std::string id = Id(root, path);
    if (!keys_.count(id) || undeletable.count(id)) return false;
    if (SubKeyAt(root, path, 0)) return false;
    keys_.erase(id);
    return true;
}

}  // namespace fakes
