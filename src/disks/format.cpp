#include "disks/format.h"

#include <cmath>
#include <cstdio>

#include "intl/messages.h"

namespace disks {

namespace {

struct UnitRow {
    double divisor;
    int decimals;
    int nameMessage;
    int suffixMessage;
};

const UnitRow kUnits[] = {
    {1.0, 0, 0, 32},
    {1024.0, 0, 1, 33},
    {1048576.0, 2, 2, 34},
    {1073741824.0, 2, 3, 35},
    {1099511627776.0, 2, 178, 179},
};

const UnitRow& UnitOf(int showIn) {
    static const UnitRow kOther = {1.0, 2, 0, 32};
    return showIn >= 0 && showIn <= 4 ? kUnits[showIn] : kOther;
}

std::string GroupThousands(const std::string& digits, const std::string& separator) {
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

}  // namespace

std::string FormatSize(int64_t bytes, int showIn, const os::LocaleFormats& locale) {
    if (bytes <= 0) return "0";
    const UnitRow& unit = UnitOf(showIn);
    double q = static_cast<double>(bytes) / unit.divisor;
    if (q < 0.01) q = 0.01;
    char buf[64];
    int len = std::snprintf(buf, sizeof buf, "%.*f", unit.decimals, q);
    if (len <= 0 || len >= static_cast<int>(sizeof buf)) return "0";
    std::string s(buf, len);
    size_t dot = s.find('.');
    std::string whole = s.substr(0, dot);
    std::string result = GroupThousands(whole, locale.thousandSeparator);
    if (dot != std::string::npos) result += locale.decimalSeparator + s.substr(dot + 1);
    return result;
}

std::string UnitSuffix(int showIn, bool keepParentheses) {
    std::string suffix = intl::Msg(UnitOf(showIn).suffixMessage);
    if (!keepParentheses) {
        std::string bare;
        for (char c : suffix)
            if (c != '(' && c != ')') bare += c;
        suffix = bare;
    }
    return " " + suffix;
}

std::string UnitName(int showIn) {
    return intl::Msg(UnitOf(showIn).nameMessage);
}

int PercentFree(const DriveEntry& e) {
    // The capacity a free-space query reports is already the caller's share
    // under quotas, so it is the base in every case; the smaller of free and
    // available is what the user can still fill.
    if (e.Capacity <= 0) return 0;
    int64_t left = std::min(e.Available, e.Free);
    if (left <= 0) return 0;
    double p = std::nearbyint(static_cast<double>(left) / static_cast<double>(e.Capacity) * 100.0);
    return p > 100.0 ? 100 : static_cast<int>(p);
}

int ShownPercent(const DriveEntry& e, bool showUsed) {
    int free = PercentFree(e);
    return showUsed ? 100 - free : free;
}

std::string FormatPicture(std::string_view pic, const os::LocalTime& t,
                          const os::LocaleFormats& locale) {
    std::string out;
    auto two = [](int v) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    size_t i = 0;
    while (i < pic.size()) {
        char c = pic[i];
        if (c == '\'') {  // quoted literal; '' is a quote
            size_t j = i + 1;
            while (j < pic.size()) {
                if (pic[j] == '\'') {
                    if (j + 1 < pic.size() && pic[j + 1] == '\'') {
                        out += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                out += pic[j++];
            }
            i = j + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < pic.size() && pic[i + run] == c) ++run;
        int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        int dow = t.dayOfWeek >= 0 && t.dayOfWeek < 7 ? t.dayOfWeek : 0;
        int mon = t.month >= 1 && t.month <= 12 ? t.month - 1 : 0;
        switch (c) {
            case 'd':
                if (run == 1)
                    out += std::to_string(t.day);
                else if (run == 2)
                    out += two(t.day);
                else if (run == 3)
                    out += locale.shortDayNames[dow];
                else
                    out += locale.longDayNames[dow];
                break;
            case 'M':
                if (run == 1)
                    out += std::to_string(t.month);
                else if (run == 2)
                    out += two(t.month);
                else if (run == 3)
                    out += locale.shortMonthNames[mon];
                else
                    out += locale.longMonthNames[mon];
                break;
            case 'y':
                if (run <= 2)
                    out += two(t.year % 100);
                else
                    out += std::to_string(t.year);
                break;
            case 'h':
                out += run == 1 ? std::to_string(hour12) : two(hour12);
                break;
            case 'H':
                out += run == 1 ? std::to_string(t.hour) : two(t.hour);
                break;
            case 'm':
                out += run == 1 ? std::to_string(t.minute) : two(t.minute);
                break;
            case 's':
                out += run == 1 ? std::to_string(t.second) : two(t.second);
                break;
            case 't': {
                const std::string& mark = t.hour < 12 ? locale.am : locale.pm;
                out += run == 1 ? mark.substr(0, 1) : mark;
                break;
            }
            case 'g':
                break;  // era: nothing for the Gregorian calendar
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

std::string DateTimeText(const os::LocalTime& t, const os::LocaleFormats& locale) {
    std::string time = FormatPicture(locale.longTime, t, locale);
    if (time.size() > 1 && !(time[1] >= '0' && time[1] <= '9')) time = "0" + time;
    return FormatPicture(locale.shortDate, t, locale) + " " + time;
}

}  // namespace disks
