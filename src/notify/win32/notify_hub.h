// The main window's notification side: owns the conditions (through
// NotifyCore), answers the three notification messages, starts delivery
// jobs and writes the event log. TMainForm owns one and forwards to it.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/monitor.h"
#include "notify/notify_core.h"
#include "notify/win32/event_log.h"
#include "notify/win32/event_relay.h"
#include "os/clock.h"

namespace notify::win32 {

class NotifyHub : public DeliveryHost {
  public:
    NotifyHub(app::Monitor& monitor, os::Clock& clock);
    ~NotifyHub() override;
    NotifyHub(const NotifyHub&) = delete;
    NotifyHub& operator=(const NotifyHub&) = delete;

    // The main window, once it exists.
    void Attach(HWND mainWindow);

    app::ConditionWatch& Watch() { return core_; }
    NotifyCore& Core() { return core_; }

    // From and into the stored setting.
    void LoadConditions(const std::string& stored) { core_.Load(stored); }
    std::string StoredConditions() const { return core_.Stored(); }

    // Registers the event source in the system's registry (where the event
    // viewer looks for it); on failure tells the user once and goes on with
    // the writer disabled.
    void RegisterEventSource(const std::string& programFolderSlash);

    // Where events are written; the hub's own writer unless a test sets
    // another (which must outlive the hub).
    void SetEventLog(EventLogSink* sink) { eventSink_ = sink ? sink : &eventLog_; }

    // WM_USER+21, +22 and +23; true when the message was one of them.
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l);

    // DeliveryHost
    bool PostConditionFired(uint32_t ticket) override;
    void BringToFront() override;
    bool StartJob(JobOrder order) override;

  private:
    app::Monitor& monitor_;
    NotifyCore core_;
    HWND window_ = nullptr;
    TEventLog eventLog_;
    EventLogSink* eventSink_ = &eventLog_;
    std::shared_ptr<EventRelay> events_;
};

}  // namespace notify::win32
