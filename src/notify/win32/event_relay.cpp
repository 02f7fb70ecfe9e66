#include "notify/win32/event_relay.h"

#include "app/main_messages.h"

namespace notify::win32 {

bool EventRelay::Post(std::string text) {
    std::lock_guard lock(lock_);
    if (!window_) return false;
    std::optional<uint32_t> ticket = box_.Put(std::move(text));
    if (!ticket) return false;
    if (PostMessageW(window_, app::kWmWriteEventLog, *ticket, *ticket)) return true;
    box_.Take(*ticket);
    return false;
}

void EventRelay::Detach() {
    std::lock_guard lock(lock_);
    window_ = nullptr;
}

}  // namespace notify::win32
