// The debug log: timed lines appended to one file, only when the program was
// started with "/L". The file is opened for each line so that it survives a
// crash and can be read while the program runs.
#pragma once
#include <string>
#include <string_view>

#include "os/clock.h"

namespace disks {

constexpr const char* kDebugLogPath = "c:\\zm.log";

// Turns logging on for the given file; the clock gives each line its time.
void EnableDebugLog(std::string path, os::Clock& clock);
void DisableDebugLog();
bool DebugLogEnabled();

// Appends "hh:nn:ss " + text + CR LF when logging is on.
void LogLine(std::string_view text);

// Logs name on construction and "/" + name on destruction.
class LogScope {
  public:
    explicit LogScope(std::string name) : name_(std::move(name)) { LogLine(name_); }
    ~LogScope() { LogLine("/" + name_); }
    LogScope(const LogScope&) = delete;
    LogScope& operator=(const LogScope&) = delete;

  private:
    std::string name_;
};

}  // namespace disks
