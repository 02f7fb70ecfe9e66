// The event-log writer: the program's source in the application log, and one
// information event per "NT events log" notification. Main thread only.
#pragma once
#include <windows.h>

#include <string>

#include "os/registry.h"

namespace notify::win32 {

// Where the main window writes its events (a recorder in tests).
class EventLogSink {
  public:
    virtual ~EventLogSink() = default;
    virtual bool Write(const std::string& text) = 0;
};

class TEventLog : public EventLogSink {
  public:
    enum class Registration { Ok, CannotCreateKey, CannotRegisterSource };

    TEventLog() = default;
    ~TEventLog() override;
    TEventLog(const TEventLog&) = delete;
    TEventLog& operator=(const TEventLog&) = delete;

    // Creates the source's key when missing and registers the source; the
    // writer stays disabled when either fails.
    Registration Register(os::Registry& registry, const std::string& programFolderSlash);
    bool Registered() const { return source_ != nullptr; }

    // One information event, category 0, id 0x40020001, the text as its
    // only insertion string. Nothing is written before registration.
    bool Write(const std::string& text) override;

  private:
    HANDLE source_ = nullptr;
};

}  // namespace notify::win32
