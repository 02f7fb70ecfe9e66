// How a delivery job hands an event-log text back to the main window: the
// text goes into a box shared by the window and every job, the ticket is
// posted. Jobs keep the relay alive, so it outlives the window if need be.
#pragma once
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "notify/ticket_box.h"

namespace notify::win32 {

class EventRelay {
  public:
    explicit EventRelay(HWND window) : window_(window) {}

    // From any thread; false when the text could not be handed over.
    bool Post(std::string text);
    // On the main thread, for the posted ticket.
    std::optional<std::string> Take(uint32_t ticket) { return box_.Take(ticket); }
    // The window is going away; later posts fail.
    void Detach();

  private:
    std::mutex lock_;
    HWND window_;
    TicketBox<std::string> box_;
};

}  // namespace notify::win32
