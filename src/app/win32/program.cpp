#include "app/win32/program.h"

#include <windows.h>
#include <shellapi.h>

#include "os/win32/wide.h"

namespace app::win32 {

using os::win32::Utf8;

std::string ExecutablePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            return Utf8(buf);
        }
        buf.resize(buf.size() * 2);
    }
}

const std::string& ProgramFolder() {
    static const std::string folder = [] {
        std::string exe = ExecutablePath();
        size_t slash = exe.find_last_of('\\');
        return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
    }();
    return folder;
}

const std::string& ProgramFolderSlash() {
    static const std::string folder = ProgramFolder() + "\\";
    return folder;
}

WindowsVersion RealWindowsVersion() {
    // GetVersionEx answers what the manifest claims; the kernel tells the truth.
    WindowsVersion v;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                          reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                    : nullptr;
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn && fn(&info) == 0) {
        v.major = info.dwMajorVersion;
        v.minor = info.dwMinorVersion;
    }
    return v;
}

FrameExtras ExtraFrame() {
    WindowsVersion v = RealWindowsVersion();
    if (v.major == 6 && v.minor == 0) return {21, 15};
    if (v.major == 6 && v.minor == 1) return {18, 16};
    return {10, 8};
}

const std::string& FirstArgument() {
    static const std::string arg = [] {
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::string first = argv && argc > 1 ? Utf8(argv[1]) : std::string();
        if (argv) LocalFree(argv);
        return first;
    }();
    return arg;
}

}  // namespace app::win32
