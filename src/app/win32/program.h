// Program-wide values set once at start.
#pragma once
#include <string>

namespace app::win32 {

constexpr const wchar_t* kProductName = L"Zelmora";
constexpr const wchar_t* kMainWindowClass = L"TMainForm";
constexpr const char* kExecutableName = "ZM.exe";
constexpr const char* kEventSource = "Quillfen Zelmora";
constexpr const char* kAppPathsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZM.exe";

// Folder of the running executable, without and with the trailing backslash.
const std::string& ProgramFolder();
const std::string& ProgramFolderSlash();
std::string ExecutablePath();

// Margins of the window sizing, chosen by the Windows version.
struct FrameExtras {
    int width;
    int height;
};
FrameExtras ExtraFrame();

struct WindowsVersion {
    unsigned major = 10, minor = 0;
};
WindowsVersion RealWindowsVersion();

// The command-line arguments after the program name, as UTF-8.
const std::string& FirstArgument();

}  // namespace app::win32
