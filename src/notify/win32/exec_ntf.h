// TExecNtf: the delivery job of one fired condition. It runs on a thread of
// its own, carries the notification out once in the condition's way, clears
// the condition's job link and frees itself. It is never waited for.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "notify/condition.h"
#include "notify/win32/event_relay.h"

namespace notify::win32 {

// The SMTP settings as they were when the job was made.
struct MailOrder {
    std::string server;
    std::string userName;
    std::string storedPassword;
    bool authenticate = false;
    std::string notSetProperly;  // messages 151 and 152
    std::string howToAdjust;
};

class TExecNtf {
  public:
    int Way = kWayMessageBox;
    std::string Text;
    std::string Param;
    HWND OwnerWindow = nullptr;
    // The condition's side of the job link, never the condition itself: the
    // condition may be freed while the job runs.
    std::shared_ptr<JobLink> Condition;
    MailOrder Mail;                      // way 2
    std::shared_ptr<EventRelay> Events;  // way 5

    // Runs the job on a new thread, which frees it. False when no thread
    // could be made; the link is cleared then.
    static bool Start(std::unique_ptr<TExecNtf> job);

    // The way's work on the calling thread.
    void Run();

  private:
    void SendMail();
};

}  // namespace notify::win32
