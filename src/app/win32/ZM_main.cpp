// Program entry: the single running instance, "/Reset" and "/L", then the
// main window and its message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_messages.h"
#include "app/settings.h"
#include "app/win32/main_form.h"
#include "app/win32/program.h"
#include "disks/debug_log.h"
#include "intl/messages.h"
#include "os/win32/system.h"
#include "os/win32/wide.h"

using namespace app::win32;
using os::win32::Wide;

namespace {

app::ToolsEnvironment ToolsHere() {
    app::ToolsEnvironment env;
    WindowsVersion v = RealWindowsVersion();
    env.platformNT = true;
    env.majorVersion = static_cast<int>(v.major);
    wchar_t buf[MAX_PATH];
    if (GetSystemDirectoryW(buf, MAX_PATH)) env.systemFolder = os::win32::Utf8(buf) + "\\";
    if (GetWindowsDirectoryW(buf, MAX_PATH)) env.windowsFolder = os::win32::Utf8(buf) + "\\";
    env.fileExists = [](const std::string& path) {
        return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    return env;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::string& first = FirstArgument();
    std::unique_ptr<os::Registry> registry = os::win32::MakeRegistry();

    // 1-2: one monitor per desktop; a second start hands its request over.
    if (HWND running = FindWindowW(kMainWindowClass, kProductName)) {
        if (first == "/Reset") {
            SendMessageW(running, app::kWmCloseProgram, 0, 0);
        } else {
            SendMessageW(running, app::kWmShowAndRaise, 0, 0);
            SetForegroundWindow(running);
            return 0;
        }
    }

    // 3: "/Reset" asks first; No leaves everything as it is.
    if (first == "/Reset") {
        intl::InstallBuiltInMessages();
        std::wstring question = Wide(intl::Msg(137));
        if (MessageBoxW(nullptr, question.c_str(), kProductName, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return 0;
        app::DeleteRegKey(*registry, os::RegRoot::CurrentUser, app::kSettingsKey, true);
    }

    // 4: everything the program reads and writes lives next to it.
    SetCurrentDirectoryW(Wide(ProgramFolder()).c_str());
    if (first == "/L") disks::EnableDebugLog(disks::kDebugLogPath, os::SystemClock());

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    app::MonitorServices services;
    services.registry = registry.get();
    std::unique_ptr<os::Volumes> volumes = os::win32::MakeVolumes();
    services.volumes = volumes.get();
    services.makeWorkerVolumes = [] { return os::win32::MakeVolumes(); };
    services.locale = os::UserLocaleFormats();
    services.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    services.tools = ToolsHere();

    TMainForm form(std::move(services));
    if (!form.Create()) return 1;
    form.Show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
