// The rules of the ways of delivery that do not need the system: which file
// a sound plays, what a NET SEND recipient may be, the WinPopup record, and
// the event-log source's registration key.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "os/registry.h"

namespace notify {

constexpr const char* kEventSourceName = "Quillfen Zelmora";
constexpr const char* kEventMessageFileName = "zmmsg.dll";
constexpr unsigned kEventIdNotification = 0x40020001;
constexpr size_t kNetSendMaxRecipient = 20;  // UTF-16 characters

// Whether a path names a folder as well as a file ("C:x.wav", "a\b.wav").
bool HasFolderPart(std::string_view path);

// The sound file for a way's parameter: a bare name is looked for in the
// MEDIA folder of the Windows folder (windowsFolder empty: unknown).
std::string SoundFileFor(const std::string& param, const std::string& windowsFolder);

// The MCI command that plays a file; a path with a blank is quoted, for when
// the system gives no short form of it.
std::string PlayCommandFor(const std::string& file);

// Length of a UTF-8 text in UTF-16 units.
size_t Utf16Length(std::string_view utf8);

// A NET SEND recipient must fit the name buffer; a longer name is refused
// rather than cut, since a cut name may be somebody else's.
bool NetSendRecipientFits(std::string_view recipient);

// The messenger mailslot of the recipient's computer.
std::string WinPopupMailslot(const std::string& recipient);

// One WinPopup record: sender, a zero byte, recipient, a zero byte, text, no
// terminating zero; the strings already in the OEM code page.
std::string WinPopupRecord(std::string_view sender, std::string_view recipient,
                           std::string_view text);

// The key of the program's event-log source under HKEY_LOCAL_MACHINE.
std::string EventSourceKeyPath();

// Creates the source's key with its message file and supported types when
// the key cannot be read; false when it cannot be created.
bool RegisterEventSourceKey(os::Registry& registry, const std::string& programFolderSlash);

}  // namespace notify
