// TLoadRes: reads a report file back into rows for the results browser, on a
// thread of its own, over a read-only mapping of the file.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "os/files.h"

namespace scan {

struct TFileItem {
    std::string path;
    double lastAccess = 0;  // days since 1899-12-30; 0 when absent
    double lastWrite = 0;   // duplicates report only
    int64_t size = 0;
    int64_t change = 0;  // changes report, first section only
    std::string typeName;
    int iconIndex = 0;
    bool groupShade = false;
    int32_t groupNumber = 0;
};

// The browser's lists, which the loader fills.
struct LoadedReport {
    std::vector<TFileItem> lists[3];
    int64_t totals[3] = {0, 0, 0};
};

// Sent calls (RowsAdded, SectionDone) return only when the browser has taken
// the new count; Progress and Done are posted.
class LoadListener {
public:
    virtual ~LoadListener() = default;
    virtual void RowsAdded(int list) = 0;    // another 100 rows
    virtual void SectionDone(int list) = 0;  // the section is complete
    virtual void Progress(int percent) = 0;
    virtual void Done() = 0;
};

// The shell's type name and icon of a path, by its name only.
using DecorateFn = std::function<void(TFileItem&)>;

// A FILETIME as a date, when its year lies in 1901..2999; 0 otherwise.
double DateOfFileTime(uint64_t fileTime);

struct ParseHooks {
    LoadListener* listener = nullptr;
    std::function<bool(const std::string&)> exists;  // null: every path exists
    DecorateFn decorate;
};

// Parses report bytes of the kind into out. Any bytes give a defined result;
// false when they are not a report (nothing loaded) or stop was raised.
bool ParseReport(int kind, std::string_view bytes, LoadedReport& out, const ParseHooks& hooks,
                 const std::atomic<bool>& stop);

class TLoadRes {
public:
    TLoadRes(int16_t kind, std::string reportPath, std::shared_ptr<os::Files> files,
             LoadListener& listener, LoadedReport& target, DecorateFn decorate = {});
    // Waits for the thread: the browser frees the loader after Done, or calls
    // Terminate first.
    ~TLoadRes();
    TLoadRes(const TLoadRes&) = delete;
    TLoadRes& operator=(const TLoadRes&) = delete;

    void Start();
    void Terminate() { terminate_ = true; }
    void Execute();  // the thread's body

private:
    int16_t kind_;
    std::string path_;
    std::shared_ptr<os::Files> files_;
    LoadListener& listener_;
    LoadedReport& target_;
    DecorateFn decorate_;
    std::atomic<bool> terminate_{false};
    std::thread thread_;
};

}  // namespace scan
