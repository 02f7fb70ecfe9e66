// An in-memory registry: keys are case-insensitive paths, values keep their type.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "os/registry.h"

namespace fakes {

struct FakeValue {
    os::RegType type = os::RegType::Missing;
    uint32_t dword = 0;
    std::string text;
    std::vector<uint8_t> bytes;
};

class FakeRegistry : public os::Registry {
  public:
    bool KeyExists(os::RegRoot root, const std::string& path) override;
    os::RegType TypeOf(os::RegRoot root, const std::string& path, const std::string& name) override;
    std::optional<uint32_t> ReadDword(os::RegRoot root, const std::string& path,
                                      const std::string& name) override;
    std::optional<std::string> ReadString(os::RegRoot root, const std::string& path,
                                          const std::string& name) override;
    std::optional<std::vector<uint8_t>> ReadBinary(os::RegRoot root, const std::string& path,
                                                   const std::string& name) override;
    bool WriteDword(os::RegRoot root, const std::string& path, const std::string& name,
                    uint32_t value) override;
    bool WriteString(os::RegRoot root, const std::string& path, const std::string& name,
                     const std::string& value) override;
    bool WriteBinary(os::RegRoot root, const std::string& path, const std::string& name,
                     const std::vector<uint8_t>& value) override;
    std::optional<std::string> SubKeyAt(os::RegRoot root, const std::string& path,
                                        uint32_t index) override;
    bool DeleteLeafKey(os::RegRoot root, const std::string& path) override;

    // Test helpers.
    void CreateKey(os::RegRoot root, const std::string& path);
    void SetOther(os::RegRoot root, const std::string& path, const std::string& name);
    const FakeValue* Find(os::RegRoot root, const std::string& path, const std::string& name) const;
    size_t ValueCount(os::RegRoot root, const std::string& path) const;
    int writes = 0;
    bool failWrites = false;
    std::set<std::string> undeletable;  // lower-case full paths

  private:
    struct Key {
        std::map<std::string, FakeValue> values;  // lower-case name
    };
    static std::string Id(os::RegRoot root, const std::string& path);
    Key* Get(os::RegRoot root, const std::string& path);
    Key& Make(os::RegRoot root, const std::string& path);
    std::map<std::string, Key> keys_;  // id -> key; parents exist implicitly
};

}  // namespace fakes
