#include "scan/load_res.h"

#include "common/text.h"
#include "scan/report.h"

namespace scan {

namespace {

// Lines as the report reader takes them: a line ends at CR or LF, after
// which one more CR or LF is skipped. A line that runs into the end of the
// data is the end mark.
class LineReader {
public:
    explicit LineReader(std::string_view d) : d_(d) {}
    // False at the end mark.
    bool Next(std::string_view& line) {
        size_t end = d_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) {
            line = d_.substr(pos_);
            pos_ = d_.size();
            return false;
        }
        line = d_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (pos_ < d_.size() && (d_[pos_] == '\r' || d_[pos_] == '\n')) ++pos_;
        return true;
    }
    size_t Offset() const { return pos_; }

private:
    std::string_view d_;
    size_t pos_ = 0;
};

int64_t Number(std::string_view s) {
    int64_t v = 0;
    return text::ParseInt64(s, v) ? v : 0;
}

bool CutField(std::string_view& rest, std::string_view& field) {
    size_t tab = rest.find('\t');
    if (tab == std::string_view::npos) return false;
    field = rest.substr(0, tab);
    rest.remove_prefix(tab + 1);
    return true;
}

// The next field, or the rest when no TAB follows (then rest is used up).
std::string_view NextField(std::string_view& rest) {
    std::string_view f;
    if (CutField(rest, f)) return f;
    f = rest;
    rest = {};
    return f;
}

uint64_t FileTimeOf(std::string_view low, std::string_view high) {
    return (static_cast<uint64_t>(Number(high)) << 32) + static_cast<uint32_t>(Number(low));
}

class Loader {
public:
    Loader(int kind, std::string_view bytes, LoadedReport& out, const ParseHooks& hooks,
           const std::atomic<bool>& stop)
        : kind_(kind), bytes_(bytes), out_(out), hooks_(hooks), stop_(stop), lines_(bytes) {
        percentUnit_ = bytes.size() / 100;
    }

    bool Run() {
        std::string_view line;
        if (!lines_.Next(line) || line.find(kReportHeader) == std::string_view::npos) return false;
        if (!lines_.Next(line)) return true;  // section 1 header
        std::vector<std::string> headers = SectionHeaders(kind_);
        std::string next = kind_ == 2 ? headers[0] : headers[1];
        bool shade = true;
        int list = 0;
        for (;;) {
            bool more = true;
            for (;;) {
                if (!lines_.Next(line)) {
                    more = false;
                    break;
                }
                if (list < 2 && line == next) break;
                if (kind_ == 2 && line.empty()) {
                    shade = !shade;
                    continue;
                }
                if (!BeforeRow()) return false;
                ParseRow(line, list, shade);
            }
            if (hooks_.listener) hooks_.listener->SectionDone(list);
            if (!more || kind_ == 2 || list == 2) return true;
            ++list;
            if (list == 2)
                next.clear();
            else
                next = headers[2];
        }
    }

private:
    bool BeforeRow() {
        if (stop_) return false;
        if (percentUnit_ && hooks_.listener) {
            int percent = static_cast<int>(lines_.Offset() / percentUnit_);
            if (percent != lastPercent_) {
                hooks_.listener->Progress(percent);
                lastPercent_ = percent;
            }
        }
        return true;
    }

    void ParseRow(std::string_view line, int list, bool shade) {
        std::string_view f[5];
        for (auto& field : f)
            if (!CutField(line, field)) return;
        TFileItem item;
        item.path.assign(f[0]);
        if (kind_ != 1 && hooks_.exists && !hooks_.exists(item.path)) return;
        item.size = Number(f[1]) + static_cast<int64_t>(static_cast<uint64_t>(Number(f[2])) << 32);
        item.lastAccess = DateOfFileTime(FileTimeOf(f[3], f[4]));
        if (kind_ == 2) {
            std::string_view wl = NextField(line), wh = NextField(line);
            item.lastWrite = DateOfFileTime(FileTimeOf(wl, wh));
            item.groupShade = shade;
            NextField(line);
            NextField(line);
            // A group number that is not a number keeps the row, in no group.
            item.groupNumber = static_cast<int32_t>(Number(line));
        } else if (kind_ == 1 && list == 0) {
            size_t tab = line.rfind('\t');
            item.change = Number(tab == std::string_view::npos ? line : line.substr(tab + 1));
        }
        if (hooks_.decorate) hooks_.decorate(item);
        out_.totals[list] += item.size;
        out_.lists[list].push_back(std::move(item));
        if (hooks_.listener && out_.lists[list].size() % 100 == 0) hooks_.listener->RowsAdded(list);
    }

    int kind_;
    std::string_view bytes_;
    LoadedReport& out_;
    const ParseHooks& hooks_;
    const std::atomic<bool>& stop_;
    LineReader lines_;
    size_t percentUnit_ = 0;
    int lastPercent_ = 0;
};

}  // namespace

double DateOfFileTime(uint64_t ft) {
    // Whole days since 1601-01-01, then the year by the civil calendar.
    int64_t days = static_cast<int64_t>(ft / 864000000000ULL);
    int64_t z = days - 134774 + 719468;  // days since 0000-03-01
    int64_t era = z / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    if (mp >= 10) ++y;
    if (y <= 1900 || y >= 3000) return 0;
    return static_cast<double>(ft) / 864000000000.0 - 109205.0;
}

bool ParseReport(int kind, std::string_view bytes, LoadedReport& out, const ParseHooks& hooks,
                 const std::atomic<bool>& stop) {
    if (kind < 0 || kind > 2) return false;
    if (text::IsValidUtf8(bytes)) return Loader(kind, bytes, out, hooks, stop).Run();
    // Reports of older versions are in the ANSI code page.
    std::string decoded = text::AnsiToUtf8(bytes);
    return Loader(kind, decoded, out, hooks, stop).Run();
}

TLoadRes::TLoadRes(int16_t kind, std::string reportPath, std::shared_ptr<os::Files> files,
                   LoadListener& listener, LoadedReport& target, DecorateFn decorate)
    : kind_(kind),
      path_(std::move(reportPath)),
      files_(std::move(files)),
      listener_(listener),
      target_(target),
      decorate_(std::move(decorate)) {}

TLoadRes::~TLoadRes() {
    if (thread_.joinable()) thread_.join();
}

void TLoadRes::Start() {
    thread_ = std::thread([this] { Execute(); });
}

void TLoadRes::Execute() {
    try {
        if (auto mapping = files_->Map(path_)) {
            listener_.Progress(0);
            ParseHooks hooks;
            hooks.listener = &listener_;
            hooks.decorate = decorate_;
            hooks.exists = [this](const std::string& p) { return files_->Exists(p); };
            ParseReport(kind_, mapping->Bytes(), target_, hooks, terminate_);
        }
    } catch (...) {
        // Out of memory: what was loaded stays, the end is still reported.
    }
    listener_.Done();
}

}  // namespace scan
