#include "disks/debug_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "os/file_append.h"

namespace disks {

namespace {
std::mutex logLock;
std::string logPath;
os::Clock* logClock = nullptr;
std::atomic<bool> logOn{false};
}  // namespace

void EnableDebugLog(std::string path, os::Clock& clock) {
    std::lock_guard lock(logLock);
    logPath = std::move(path);
    logClock = &clock;
    logOn = true;
}

void DisableDebugLog() {
    std::lock_guard lock(logLock);
    logOn = false;
}

bool DebugLogEnabled() {
    return logOn;
}

void LogLine(std::string_view text) {
    if (!logOn) return;
    std::lock_guard lock(logLock);
    if (!logOn || !logClock) return;
    os::LocalTime t = logClock->Now();
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", t.hour, t.minute, t.second);
    std::string line = stamp;
    line += text;
    line += "\r\n";
    os::AppendToFile(logPath, line);
}

}  // namespace disks
