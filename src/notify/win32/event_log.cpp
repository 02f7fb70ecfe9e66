#include "notify/win32/event_log.h"

#include "notify/delivery_rules.h"
#include "os/win32/wide.h"

namespace notify::win32 {

using os::win32::Wide;

TEventLog::~TEventLog() {
    if (source_) DeregisterEventSource(source_);
}

TEventLog::Registration TEventLog::Register(os::Registry& registry,
                                            const std::string& programFolderSlash) {
    if (source_) return Registration::Ok;
    if (!RegisterEventSourceKey(registry, programFolderSlash)) return Registration::CannotCreateKey;
    source_ = RegisterEventSourceW(nullptr, Wide(kEventSourceName).c_str());
    return source_ ? Registration::Ok : Registration::CannotRegisterSource;
}

bool TEventLog::Write(const std::string& text) {
    if (!source_) return false;
    std::wstring w = Wide(text);
    LPCWSTR strings[] = {w.c_str()};
    return ReportEventW(source_, EVENTLOG_INFORMATION_TYPE, 0, kEventIdNotification, nullptr, 1, 0,
                        strings, nullptr) != FALSE;
}

}  // namespace notify::win32
