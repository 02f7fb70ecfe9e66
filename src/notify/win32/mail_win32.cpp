#include "notify/win32/mail_win32.h"

#include <windows.h>

#include <cstdio>

#include "intl/messages.h"
#include "os/win32/wide.h"

namespace notify::win32 {

using os::win32::Wide;

void BoxMailNotices::ShowException(const std::string& text) {
    MessageBoxW(nullptr, Wide(text).c_str(), L"Exception", MB_OK);
}

void BoxMailNotices::ShowNotSent(const std::string& text) {
    MessageBoxW(nullptr, Wide(text).c_str(), L"Zelmora", MB_OK | MB_ICONERROR);
}

std::string MailDateNow() {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    SYSTEMTIME t;
    GetLocalTime(&t);
    TIME_ZONE_INFORMATION tz;
    DWORD zone = GetTimeZoneInformation(&tz);
    long bias = tz.Bias;
    if (zone == TIME_ZONE_ID_DAYLIGHT)
        bias += tz.DaylightBias;
    else if (zone == TIME_ZONE_ID_STANDARD)
        bias += tz.StandardBias;
    long offset = -bias;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02u %s %04u %02u:%02u:%02u %c%02ld%02ld",
                  kDays[t.wDayOfWeek % 7], t.wDay, kMonths[(t.wMonth + 11) % 12], t.wYear, t.wHour,
                  t.wMinute, t.wSecond, offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    return buf;
}

MailEnvironment MailEnvironmentHere(MailNotices& notices) {
    MailEnvironment env;
    env.connector = &os::SystemTcpConnector();
    env.notices = &notices;
    env.date = MailDateNow();
    env.notSetProperly = intl::Msg(151);
    env.howToAdjust = intl::Msg(152);
    return env;
}

}  // namespace notify::win32
