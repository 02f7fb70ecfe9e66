#include "notify/delivery_rules.h"

#include "common/text.h"

namespace notify {

bool HasFolderPart(std::string_view path) {
    return path.find_first_of("\\:") != std::string_view::npos;
}

std::string SoundFileFor(const std::string& param, const std::string& windowsFolder) {
    if (HasFolderPart(param) || windowsFolder.empty()) return param;
    return text::ReplaceAll(windowsFolder + "\\MEDIA\\" + param, "\\\\", "\\");
}

std::string PlayCommandFor(const std::string& file) {
    if (file.find(' ') == std::string::npos) return "play " + file;
    return "play \"" + file + "\"";
}

size_t Utf16Length(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        n += (c >= 0xF0) ? 2 : 1;          // four-byte sequences need a surrogate pair
    }
    return n;
}

bool NetSendRecipientFits(std::string_view recipient) {
    return Utf16Length(recipient) <= kNetSendMaxRecipient;
}

std::string WinPopupMailslot(const std::string& recipient) {
    return "\\\\" + recipient + "\\mailslot\\messngr";
}

std::string WinPopupRecord(std::string_view sender, std::string_view recipient,
                           std::string_view text) {
    std::string record;
    record.reserve(sender.size() + recipient.size() + text.size() + 2);
    record.append(sender);
    record += '\0';
    record.append(recipient);
    record += '\0';
    record.append(text);
    return record;
}

std::string EventSourceKeyPath() {
    return std::string("SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\") +
           kEventSourceName;
}

bool RegisterEventSourceKey(os::Registry& registry, const std::string& programFolderSlash) {
    std::string key = EventSourceKeyPath();
    if (registry.KeyExists(os::RegRoot::LocalMachine, key)) return true;
    return registry.WriteString(os::RegRoot::LocalMachine, key, "EventMessageFile",
                                programFolderSlash + kEventMessageFileName) &&
           registry.WriteDword(os::RegRoot::LocalMachine, key, "TypesSupported", 7);
}

}  // namespace notify
