// The rules of the ways of delivery that need no system calls.
#include <doctest.h>

#include "notify/delivery_rules.h"

TEST_CASE("the sound file of a parameter") {
    struct Case {
        const char* param;
        const char* windowsFolder;
        const char* file;
    } cases[] = {
        {"ding.wav", "C:\\WINDOWS", "C:\\WINDOWS\\MEDIA\\ding.wav"},
        {"ding.wav", "C:\\WINDOWS\\",
         "C:\\WINDOWS\\MEDIA\\ding.wav"},  // doubled backslash made single
        {"ding.wav", "", "ding.wav"},      // Windows folder unknown
        {"D:\\Sounds\\ding.wav", "C:\\WINDOWS", "D:\\Sounds\\ding.wav"},
        {"C:ding.wav", "C:\\WINDOWS", "C:ding.wav"},
        {"sub\\ding.wav", "C:\\WINDOWS", "sub\\ding.wav"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.param);
        CAPTURE(c.windowsFolder);
        CHECK(notify::SoundFileFor(c.param, c.windowsFolder) == c.file);
    }
    CHECK(notify::PlayCommandFor("C:\\WINDOWS\\MEDIA\\ding.wav") ==
          "play C:\\WINDOWS\\MEDIA\\ding.wav");
    CHECK(notify::PlayCommandFor("C:\\My Sounds\\ding.wav") == "play \"C:\\My Sounds\\ding.wav\"");
}

TEST_CASE("a NET SEND recipient fits in twenty UTF-16 characters") {
    const std::string umlaut = "\xC3\xBC";         // one UTF-16 unit
    const std::string emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
    auto times = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    struct Case {
        std::string name;
        bool fits;
    } cases[] = {
        {"", true},
        {std::string(20, 'a'), true},
        {std::string(21, 'a'), false},
        {times(umlaut, 20), true},
        {times(umlaut, 21), false},
        {times(emoji, 10), true},
        {times(emoji, 10) + "a", false},
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        CHECK(notify::NetSendRecipientFits(c.name) == c.fits);
    }
}

TEST_CASE("the WinPopup record and its mailslot") {
    CHECK(notify::WinPopupMailslot("PC1") == "\\\\PC1\\mailslot\\messngr");
    CHECK(notify::WinPopupRecord("me", "PC1", "Disk low") == std::string("me\0PC1\0Disk low", 15));
}
