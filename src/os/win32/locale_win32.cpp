#include <windows.h>

#include "os/locale.h"
#include "os/win32/wide.h"

namespace os {

namespace {
std::string Info(LCTYPE type, const std::string& fallback) {
    wchar_t buf[128];
    int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buf, 128);
    return n > 1 ? win32::Utf8(std::wstring(buf, n - 1)) : fallback;
}
}  // namespace

LocaleFormats UserLocaleFormats() {
    LocaleFormats f;
    f.thousandSeparator = Info(LOCALE_STHOUSAND, f.thousandSeparator);
    f.decimalSeparator = Info(LOCALE_SDECIMAL, f.decimalSeparator);
    f.shortDate = Info(LOCALE_SSHORTDATE, f.shortDate);
    f.longTime = Info(LOCALE_STIMEFORMAT, f.longTime);
    f.am = Info(LOCALE_S1159, f.am);
    f.pm = Info(LOCALE_S2359, f.pm);
    for (int m = 0; m < 12; ++m) {
        f.shortMonthNames[m] = Info(LOCALE_SABBREVMONTHNAME1 + m, f.shortMonthNames[m]);
        f.longMonthNames[m] = Info(LOCALE_SMONTHNAME1 + m, f.longMonthNames[m]);
    }
    // The system lists days from Monday; we count from Sunday.
    for (int d = 0; d < 7; ++d) {
        int sys = (d + 6) % 7;
        f.shortDayNames[d] = Info(LOCALE_SABBREVDAYNAME1 + sys, f.shortDayNames[d]);
        f.longDayNames[d] = Info(LOCALE_SDAYNAME1 + sys, f.longDayNames[d]);
    }
    return f;
}

}  // namespace os
