#include "notify/condition_text.h"

#include "disks/format.h"
#include "intl/messages.h"

namespace notify {

namespace {

constexpr int kMsgDescription = 134;
constexpr int kMsgNotification = 135;
constexpr int kMsgFirstMeasure = 110;     // "Free space", "Used space"
constexpr int kMsgFirstComparison = 113;  // "LESS than", "MORE than"

std::string AmountText(int64_t bytes, int showIn, const os::LocaleFormats& locale) {
    return disks::FormatSize(bytes, showIn, locale) + disks::UnitSuffix(showIn, false);
}

std::string MeasureText(const TCondition& c) {
    return intl::Msg(kMsgFirstMeasure + c.CndParam);
}

std::string ComparisonText(const TCondition& c) {
    return LowerText(intl::Msg(kMsgFirstComparison + c.Comparison));
}

bool ShowsComments(int way) {
    return way == kWayMessageBox || way == kWayEmail || way == kWayNetSend || way == kWayEventLog;
}

uint32_t LowerCodePoint(uint32_t cp) {
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    if (cp >= 0x100 && cp <= 0x137 && cp != 0x130) return cp | 1;
    if (cp >= 0x139 && cp <= 0x148 && (cp & 1)) return cp + 1;
    if (cp >= 0x14A && cp <= 0x177) return cp | 1;
    if (cp == 0x178) return 0xFF;
    if (cp >= 0x179 && cp <= 0x17E && (cp & 1)) return cp + 1;
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    return cp;
}

}  // namespace

std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    std::vector<bool> used(args.size(), false);
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            size_t n = static_cast<size_t>(pattern[i + 1] - '1');
            if (n < args.size() && !used[n]) {
                used[n] = true;
                out += args[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string LowerText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size() &&
                   (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            // Every capital handled here and its small letter are two bytes long.
            uint32_t cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            uint32_t lower = LowerCodePoint(cp);
            out += static_cast<char>(0xC0 | (lower >> 6));
            out += static_cast<char>(0x80 | (lower & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string DescribeCondition(const TCondition& c, int showIn, const os::LocaleFormats& locale) {
    return FillPlaceholders(intl::Msg(kMsgDescription), {MeasureText(c), c.Disk, ComparisonText(c),
                                                         AmountText(c.Value, showIn, locale)});
}

std::string NotificationText(const TCondition& c, int64_t amount, int showIn,
                             const os::LocaleFormats& locale, const os::LocalTime& now) {
    std::string body = FillPlaceholders(intl::Msg(kMsgNotification),
                                        {MeasureText(c), c.Disk, AmountText(amount, showIn, locale),
                                         ComparisonText(c), AmountText(c.Value, showIn, locale)});
    std::string text = "(";
    text += disks::DateTimeText(now, locale);
    text += ") Zelmora: ";
    text += body;
    if (c.NtfWay == kWayEventLog && !c.NtfParam.empty()) text += "\r\n" + c.NtfParam;
    if (!c.Comments.empty() && ShowsComments(c.NtfWay)) text += "\r\n" + c.Comments;
    return text;
}

}  // namespace notify
