// The registry as the settings store sees it: keys addressed by root and path,
// values with a type. A value of another type than asked is a distinct answer,
// so a load can stop exactly where a value has the wrong type.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace os {

enum class RegRoot { CurrentUser, LocalMachine };

enum class RegType { Missing, Dword, String, Binary, Other };

class Registry {
  public:
    virtual ~Registry() = default;

    virtual bool KeyExists(RegRoot root, const std::string& path) = 0;
    virtual RegType TypeOf(RegRoot root, const std::string& path, const std::string& name) = 0;

    // Each answers nothing when the key or value is missing or has another type.
    virtual std::optional<uint32_t> ReadDword(RegRoot root, const std::string& path,
                                              const std::string& name) = 0;
    virtual std::optional<std::string> ReadString(RegRoot root, const std::string& path,
                                                  const std::string& name) = 0;
    virtual std::optional<std::vector<uint8_t>> ReadBinary(RegRoot root, const std::string& path,
                                                           const std::string& name) = 0;

    // Writes create the key when it is missing. An empty name is the default value.
    virtual bool WriteDword(RegRoot root, const std::string& path, const std::string& name,
                            uint32_t value) = 0;
    virtual bool WriteString(RegRoot root, const std::string& path, const std::string& name,
                             const std::string& value) = 0;
    virtual bool WriteBinary(RegRoot root, const std::string& path, const std::string& name,
                             const std::vector<uint8_t>& value) = 0;

    // Name of the index-th subkey, or nothing past the end or when the key is missing.
    virtual std::optional<std::string> SubKeyAt(RegRoot root, const std::string& path,
                                                uint32_t index) = 0;
    // Deletes a key that has no subkeys.
    virtual bool DeleteLeafKey(RegRoot root, const std::string& path) = 0;
};

}  // namespace os
