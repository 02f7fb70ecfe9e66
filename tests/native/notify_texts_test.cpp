// The description of a condition and the text of a fired notification.
#include <doctest.h>

#include "disks/format.h"
#include "fakes/fake_clock.h"
#include "intl/messages.h"
#include "notify/condition_text.h"

using notify::TCondition;

namespace {

constexpr int64_t MB = 1048576;

struct TextFixture {
    TextFixture() {
        intl::ClearMessages();
        intl::InstallBuiltInMessages();
    }
    ~TextFixture() {
        intl::ClearMessages();
        intl::InstallBuiltInMessages();
    }
    os::LocaleFormats locale;
    os::LocalTime now = fakes::FakeClock::At(2024, 12, 1, 9, 3, 4);
};

}  // namespace

TEST_CASE_FIXTURE(TextFixture, "a condition is described in the display unit") {
    TCondition c;  // free space on C: less than 100 MB, entered in megabytes
    CHECK(notify::DescribeCondition(c, disks::kMegabytes, locale) ==
          "When 'Free space' on disk C: is less than 100.00 Mb");
    c.CndParam = notify::kMeasureUsed;
    c.Comparison = notify::kMoreThan;
    c.Value = 3 * 1073741824LL / 2;
    c.Measuring = 2;  // the unit it was entered in does not matter
    c.Disk = "D:\\Data";
    CHECK(notify::DescribeCondition(c, disks::kGigabytes, locale) ==
          "When 'Used space' on disk D:\\Data is more than 1.50 Gb");
    locale.decimalSeparator.assign(1, ',');
    CHECK(notify::DescribeCondition(c, disks::kGigabytes, locale) ==
          "When 'Used space' on disk D:\\Data is more than 1,50 Gb");
}

TEST_CASE_FIXTURE(TextFixture, "the notification text by way") {
    const std::string head =
        "(12/1/2024 09:03:04 AM) Zelmora: 'Free space' on disk C: is 95.23 Mb which is less than "
        "100.00 Mb";
    struct Case {
        int16_t way;
        std::string param, comments, expected;
    } cases[] = {
        {notify::kWaySound, "ding.wav", "note", head},
        {notify::kWayMessageBox, "Caption", "note", head + "\r\nnote"},
        {notify::kWayEmail, "a@b.c", "note", head + "\r\nnote"},
        {notify::kWayNetSend, "pc1", "note", head + "\r\nnote"},
        {notify::kWayEventLog, "from the log", "note", head + "\r\nfrom the log\r\nnote"},
        {notify::kWayEventLog, "", "note", head + "\r\nnote"},
        {notify::kWayEventLog, "from the log", "", head + "\r\nfrom the log"},
        {notify::kWayExecute, "tool.exe", "note", head},
        {notify::kWayMessageBox, "Caption", "", head},
    };
    for (const Case& k : cases) {
        CAPTURE(k.way);
        CAPTURE(k.param);
        TCondition c;
        c.NtfWay = k.way;
        c.NtfParam = k.param;
        c.Comments = k.comments;
        int64_t amount = 95 * MB + 241172;  // 95.23 MB
        CHECK(notify::NotificationText(c, amount, disks::kMegabytes, locale, now) == k.expected);
    }
}

TEST_CASE_FIXTURE(TextFixture, "the date and time follow the locale's pictures") {
    locale.shortDate = "dd.MM.yyyy";
    locale.longTime = "HH:mm:ss";
    locale.decimalSeparator.assign(1, ',');
    locale.thousandSeparator.assign(1, '.');
    TCondition c;
    c.CndParam = notify::kMeasureUsed;
    c.Comparison = notify::kMoreThan;
    c.Value = 1000 * MB;
    CHECK(notify::NotificationText(c, 1500 * MB, disks::kMegabytes, locale, now) ==
          "(01.12.2024 09:03:04) Zelmora: 'Used space' on disk C: is 1.500,00 Mb which is more "
          "than 1.000,00 Mb");
}

TEST_CASE_FIXTURE(TextFixture, "placeholders are filled once each, from the message only") {
    TCondition c;
    c.Disk = "C:\\%2\\%1";  // folder names may hold anything
    CHECK(notify::DescribeCondition(c, disks::kMegabytes, locale) ==
          "When 'Free space' on disk C:\\%2\\%1 is less than 100.00 Mb");
    CHECK(notify::FillPlaceholders("%2 %1 %1 %3", {"a", "b"}) == "b a %1 %3");
}

TEST_CASE_FIXTURE(TextFixture, "translated comparisons are put in lower case") {
    intl::SetMessage(113,
                     "\xD0\x9C\xD0\x95\xD0\x9D\xD0\xAC\xD0\xA8\xD0\x95 \xD1\x87\xD0\xB5\xD0\xBC");
    intl::SetMessage(114, "PLUS \xC3\x89LEV\xC3\x89 que");
    TCondition c;
    CHECK(notify::DescribeCondition(c, disks::kMegabytes, locale) ==
          "When 'Free space' on disk C: is "
          "\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8C\xD1\x88\xD0\xB5 \xD1\x87\xD0\xB5\xD0\xBC 100.00 Mb");
    c.Comparison = notify::kMoreThan;
    CHECK(notify::DescribeCondition(c, disks::kMegabytes, locale) ==
          "When 'Free space' on disk C: is plus \xC3\xA9lev\xC3\xA9 que 100.00 Mb");
}
