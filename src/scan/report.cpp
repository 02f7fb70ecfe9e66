#include "scan/report.h"

#include <charconv>
#include <cstdio>

#include "disks/format.h"

namespace scan {

namespace {

void AddNumber(std::string& s, uint64_t v) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, static_cast<size_t>(r.ptr - buf));
}

void AddRow(std::string& s, const TFound& f) {
    s += f.path;
    auto field = [&](uint64_t v) {
        s += '\t';
        AddNumber(s, v);
    };
    auto time = [&](int64_t t) {
        field(static_cast<uint32_t>(static_cast<uint64_t>(t)));
        field(static_cast<uint32_t>(static_cast<uint64_t>(t) >> 32));
    };
    field(f.SizeLow());
    field(f.SizeHigh());
    time(f.lastAccess);
    time(f.lastWrite);
    time(f.creation);
}

}  // namespace

std::vector<std::string> SectionHeaders(int kind) {
    switch (kind) {
        case 1:
            return {"Changed files:", "New files:", "Deleted files:"};
        case 2:
            return {"File duplicates:"};
        default:
            return {"Biggest files:", "Oldest files:", "Temporary files:"};
    }
}

std::string ReportText(const ReportInput& in, const os::LocalTime& now,
                       const os::LocaleFormats& locale, const std::atomic<bool>& stop) {
    std::string s = kReportHeader;
    s += disks::FormatPicture(locale.shortDate, now, locale);
    s += ' ';
    s += disks::FormatPicture(locale.longTime, now, locale);
    if (in.kind == 2) {
        char buf[96];
        std::snprintf(buf, sizeof buf, " Total files: %d; MD5: %d; Doubles: %d",
                      static_cast<int>(in.fileCounter), static_cast<int>(in.candidateCount),
                      static_cast<int>(in.duplicateCount));
        s += buf;
    }
    s += "\r\n";
    std::vector<std::string> headers = SectionHeaders(in.kind);
    for (size_t k = 0; k < headers.size(); ++k) {
        s += headers[k];
        s += "\r\n";
        const std::vector<TFound>* list = in.lists[k];
        if (!list) continue;
        int group = 1;
        for (size_t i = 0; i < list->size(); ++i) {
            const TFound& f = (*list)[i];
            if (in.kind == 2 && i > 0) {
                const TFound& prev = (*list)[i - 1];
                if (prev.checksum != f.checksum || prev.digest != f.digest) {
                    ++group;
                    s += "\r\n";
                }
            }
            AddRow(s, f);
            if (in.kind == 1 && k == 0) {
                s += '\t';
                s += std::to_string(f.change);
            } else if (in.kind == 2) {
                s += '\t';
                s += std::to_string(group);
            }
            s += "\r\n";
            if (stop) break;
        }
    }
    s += "\r\n";
    return s;
}

bool WriteReport(os::Files& files, const std::string& path, const ReportInput& in,
                 const os::LocalTime& now, const os::LocaleFormats& locale,
                 const std::atomic<bool>& stop) {
    auto w = files.Append(path);
    if (!w) return false;
    bool ok = w->Write(ReportText(in, now, locale, stop));
    return w->Close() && ok;
}

}  // namespace scan
