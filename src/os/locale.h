// The user's number and date conventions, read once from the system.
#pragma once
#include <string>

namespace os {

struct LocaleFormats {
    std::string thousandSeparator = ",";
    std::string decimalSeparator = ".";
    std::string shortDate = "M/d/yyyy";   // system picture: d dd M MM MMM MMMM y yy yyyy
    std::string longTime = "h:mm:ss tt";  // h hh H HH m mm s ss t tt
    std::string am = "AM";
    std::string pm = "PM";
    std::string shortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string longMonthNames[12] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
    std::string shortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string longDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
};

// The conventions of the current user (the platform's implementation).
LocaleFormats UserLocaleFormats();

}  // namespace os
