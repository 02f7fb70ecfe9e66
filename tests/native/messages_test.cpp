#include <doctest.h>

#include "intl/messages.h"

using intl::Msg;

TEST_CASE("the built-in table has every English text in place") {
    intl::ClearMessages();
    intl::InstallBuiltInMessages();
    CHECK(intl::MessageCount() == 182);
    struct {
        int n;
        const char* text;
    } cases[] = {
        {0, "Bytes"},
        {50, "-"},
        {63, "Comparing: "},
        {104, "-"},
        {137, "Do you want to reset Zelmora settings?"},
        {140, "because they refer to the same physical disk drive. "},
        {149,
         "Zelmora is running on your system.||You cannot continue with install while Zelmora "
         "is running.||||Do you want to close Zelmora?"},
        {156,
         "To turn off the click-through mode, please uncheck the \"Click-through mode\" item "
         "from Zelmora's system tray icon pop-up menu."},
        {171,
         "Please select network folder or type its UNC path (for example: \\\\SERVER\\SHARED)"},
        {176, "Test message sent successfuly. Please check the mail box."},
        {178, "Terabytes"},
        {181, "Zelmora is running in the system tray."},
    };
    for (auto& c : cases) {
        CAPTURE(c.n);
        CHECK(Msg(c.n) == c.text);
    }
    CHECK(Msg(182) == "");
    CHECK(Msg(-1) == "");
}

TEST_CASE("a short table still answers every number with a text") {
    intl::ClearMessages();
    CHECK(Msg(137) == "Do you want to reset Zelmora settings?");  // empty table
    intl::SetMessage(0, "Octets");
    intl::SetMessage(1, "Kilooctets");
    CHECK(intl::MessageCount() == 2);
    CHECK(Msg(0) == "Octets");
    CHECK(Msg(178) == "Terabytes");
    // Installing only fills an empty table; a loaded one keeps its texts.
    intl::InstallBuiltInMessages();
    CHECK(Msg(0) == "Octets");
    intl::SetMessage(200, "beyond");
    CHECK(Msg(200) == "beyond");
    CHECK(Msg(150) == "-");
    intl::ClearMessages();
    intl::InstallBuiltInMessages();
}
