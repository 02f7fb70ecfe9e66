// Every setting of the program, named after its registry value.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace app {

// Windows colours: 0x00BBGGRR, or 0xFF000000 + a system colour index.
using Color = uint32_t;
constexpr Color kSysColorWindowText = 0xFF000008;

struct FontSpec {
    std::string FontName = "TAHOMA";
    app::Color Color = 0xFF0000;
    int CharSet = 1;
    int Size = 10;
    int Style = 1;  // 1 bold, 2 italic, 4 underline, 8 strikeout
};

constexpr int kColumnCount = 7;  // name, label, capacity, used, free, available, percent

struct Options {
    bool CloseZM = true;
    bool SearchForTempFiles = true;
    bool ShowFixedDrives = true;
    bool ShowNetworkDrives = true;
    bool ShowRamdisk = true;
    bool ShowOccuped = false;
    bool ShowFree = true;
    bool ShowLabels = false;
    bool ShowTotal = true;
    bool ShowAvail = false;
    bool ShowPercents = true;
    bool ShowUsedPercents = true;
    bool ClickThrough = false;
    bool DrawArrow = true;
    Color UpArrowColor = 0x58B666;
    Color DownArrowColor = 0x0033CC;
    uint16_t ShowIn = 3;
    bool UseColors = false;
    Color BarTextColor = 0;
    Color BarColor = 0x43E63A;
    Color BarColor1 = 0x35EEFB;
    Color BarColor2 = 0x3153F0;
    int32_t BarLimit1 = 25;
    int32_t BarLimit2 = 10;
    uint8_t BarUnits1 = 0;  // 0 percent, 1 megabytes
    uint8_t BarUnits2 = 0;
    std::string ToolsString;
    uint16_t UpdateInterval = 10;
    uint16_t ResQuanity = 100;
    std::string TempFilesExts =
        " *.bak, *.tmp, *.temp, *.$$$, *.@@@, *.~*, *.*~, *.---, *.chk, *.dmp, ~$*.*, *.___, "
        "*.ncb, thumbs.db";
    std::string CurrentLanguage = "zm_en.int";
    std::string DisabledDisks;  // names, each followed by CR LF
    std::string EnabledDisks;
    std::string TrayDisks;  // "C:0,D:1"
    int32_t ViewMode = 0;   // 0 classic, 1 sticker, 2 pies
    Color StickerColor = 0xD2FFFF;
    Color StickerFontColor = 0;
    uint16_t StickerFontSize = 9;
    bool StickerShowCols = true;
    bool StickerShowPercents = false;
    bool StayOnTop = true;
    bool StoreCurrentResult = true;
    int32_t Top = 0;
    int32_t Left = 0;  // screen width - 370 by default
    int32_t TipOfDayMode = 0;
    double TipOfDayDate = -1.0;
    bool LoadAtStartup = false;
    bool DisplaySplash = true;
    bool ExcludeSystemFiles = true;
    std::string StayOnTopShortCut = "Ctrl+F12";
    std::string HideToTrayShortCut = "Ctrl+F11";
    std::string SMTPSrv;
    std::string SMTPLogin;
    bool SMTPAuth = false;
    std::string SMTPPassword;  // stored form: reversed, then letter-encoded
    bool Visible = true;
    FontSpec PieLabelFont;
    std::string NtfConditions;
    std::array<int16_t, kColumnCount> Column = {-1, -1, -1, -1, -1, -1, -1};

    // Written on save, read on their own at start.
    int32_t Transparency = 100;

    // Derived, not stored.
    std::string StickerFontName = "TAHOMA";
};

}  // namespace app
