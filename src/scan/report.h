// Report files: the text a scan leaves for the results browser. UTF-8, lines
// ended by CR LF, rows of TAB-separated fields.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "os/clock.h"
#include "os/files.h"
#include "os/locale.h"
#include "scan/found.h"

namespace scan {

constexpr const char* kReportHeader = "Zelmora report v1.0. Creation time: ";

// The section headers of a kind; the duplicates report has one section.
std::vector<std::string> SectionHeaders(int kind);

struct ReportInput {
    int kind = 0;
    const std::vector<TFound>* lists[3] = {nullptr, nullptr, nullptr};
    uint32_t fileCounter = 0, candidateCount = 0, duplicateCount = 0;
};

// The whole report text. After each row, if stop is raised, the rest of
// that section is left out (headers and the final empty line still follow).
std::string ReportText(const ReportInput& in, const os::LocalTime& now,
                       const os::LocaleFormats& locale, const std::atomic<bool>& stop);

// Appends the report to the file (which the scan emptied at its start);
// false when it cannot be opened or written.
bool WriteReport(os::Files& files, const std::string& path, const ReportInput& in,
                 const os::LocalTime& now, const os::LocaleFormats& locale,
                 const std::atomic<bool>& stop);

}  // namespace scan
