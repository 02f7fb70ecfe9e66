// The settings store: every setting in one registry key of the current user,
// plus the single-value registry operations the rest of the program uses.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/options.h"
#include "os/registry.h"

namespace app {

constexpr const char* kSettingsKey = "SOFTWARE\\Quillfen\\Zelmora";

// What a load that stopped early left unread: the values after the one that
// ended it, as the options held them right after the load.
struct UnreadValues {
    std::string stoppedAt;
    Options atLoad;
};

struct LoadReport {
    bool keyFound = false;
    // Name of the value whose wrong type (or absence, where it must exist)
    // ended the load; empty when everything was read.
    std::string stoppedAt;
    std::optional<UnreadValues> unread;
};

// Every field to its default; the window goes to the top right of the screen.
void SetDefaultOptions(Options& o, int screenWidth);

// What the default tools depend on.
struct ToolsEnvironment {
    bool platformNT = true;
    int majorVersion = 10;
    std::string systemFolder;   // with a trailing backslash, or empty
    std::string windowsFolder;  // with a trailing backslash, or empty
    std::function<bool(const std::string&)> fileExists;
};

std::string GetToolsList(const ToolsEnvironment& env);

LoadReport LoadOptions(os::Registry& reg, const std::string& keyPath, Options& o, int screenWidth,
                       const ToolsEnvironment& tools);

// Writes every value, plus "Transparency" and "FoldersList". False when the
// key cannot be opened for writing. After a load that stopped early, values it
// never read are written only when they were changed since.
bool SaveOptions(os::Registry& reg, const std::string& keyPath, const Options& o,
                 const std::string& foldersList, const UnreadValues* unread = nullptr);

// Deletes the settings key with its subkeys.
bool ResetOptions(os::Registry& reg, const std::string& keyPath);

// Single values; each opens and closes the key itself.
std::string ReadRegString(os::Registry& reg, os::RegRoot root, const std::string& path,
                          const std::string& name);
int32_t ReadRegInteger(os::Registry& reg, os::RegRoot root, const std::string& path,
                       const std::string& name);  // -1 when missing
bool WriteRegString(os::Registry& reg, os::RegRoot root, const std::string& path,
                    const std::string& name, const std::string& value);
bool WriteRegInteger(os::Registry& reg, os::RegRoot root, const std::string& path,
                     const std::string& name, int32_t value);
// With subkeysToo false a key that has subkeys is left alone and the result is false.
bool DeleteRegKey(os::Registry& reg, os::RegRoot root, const std::string& path, bool subkeysToo);

// Each byte as two capital letters: 'A' + low nibble, then 'A' + high nibble.
std::string NibbleEncode(std::string_view bytes);
std::string NibbleDecode(std::string_view letters);

// The stored form of the SMTP password: reversed, then letter-encoded.
std::string EncodePassword(std::string_view password);
std::string DecodePassword(std::string_view stored);

// Sticker font name for a size: small sizes use a bitmap font.
std::string StickerFontNameFor(int size);

}  // namespace app
