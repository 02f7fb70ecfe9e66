#include "notify/win32/delivery_ways.h"

#include <mmsystem.h>

#include <vector>

#include "disks/debug_log.h"
#include "notify/delivery_rules.h"
#include "os/win32/wide.h"

namespace notify::win32 {

using os::win32::Utf8;
using os::win32::Wide;

namespace {

std::string Oem(const std::string& utf8) {
    std::wstring w = Wide(utf8);
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_OEMCP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_OEMCP, 0, w.data(), static_cast<int>(w.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

std::string UserName() {
    wchar_t buf[257];
    DWORD size = static_cast<DWORD>(std::size(buf));
    return GetUserNameW(buf, &size) ? Utf8(buf) : std::string();
}

// The 8.3 form when the system has one that fits 255 characters.
std::wstring ShortPathOf(const std::wstring& path) {
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring buf(n, L'\0');
    DWORD m = GetShortPathNameW(path.c_str(), buf.data(), n);
    if (m == 0 || m >= n || m > 255) return {};
    buf.resize(m);
    return buf;
}

}  // namespace

std::string WindowsFolder() {
    wchar_t buf[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    return n && n < MAX_PATH ? Utf8(std::wstring_view(buf, n)) : std::string();
}

std::string SoundCommandFor(const std::string& param) {
    std::string file = SoundFileFor(param, WindowsFolder());
    std::wstring shortPath = ShortPathOf(Wide(file));
    return PlayCommandFor(shortPath.empty() ? file : Utf8(shortPath));
}

void PlaySoundNotification(const std::string& param) {
    mciSendStringW(Wide(SoundCommandFor(param)).c_str(), nullptr, 0, nullptr);
}

void ShowNotificationBox(HWND owner, const std::string& text, const std::string& caption) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool SendNetMessage(const std::string& recipient, const std::string& text) {
    if (!NetSendRecipientFits(recipient)) {
        disks::LogLine("NET SEND: the recipient name " + recipient +
                       " is longer than 20 characters; nothing sent");
        return false;
    }
    using SendFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPBYTE, DWORD);
    HMODULE lib = LoadLibraryW(L"NETAPI32.DLL");
    if (!lib) return false;
    auto send = reinterpret_cast<SendFn>(
        reinterpret_cast<void*>(GetProcAddress(lib, "NetMessageBufferSend")));
    bool ok = false;
    if (send) {
        wchar_t name[kNetSendMaxRecipient + 1] = {};
        std::wstring w = Wide(recipient);
        w.copy(name, kNetSendMaxRecipient);
        std::wstring body = Wide(text);
        ok = send(nullptr, name, nullptr, reinterpret_cast<LPBYTE>(body.data()),
                  static_cast<DWORD>(body.size() * sizeof(wchar_t))) == 0;
    }
    FreeLibrary(lib);
    return ok;
}

bool SendWinPopup(const std::string& recipient, const std::string& text) {
    std::string sender = UserName();
    if (sender.empty()) sender = recipient;
    std::string record = WinPopupRecord(Oem(sender), Oem(recipient), Oem(text));
    HANDLE slot =
        CreateFileW(Wide(WinPopupMailslot(recipient)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok =
        WriteFile(slot, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
        written == record.size();
    CloseHandle(slot);
    return ok;
}

bool IsWindows9x() {
    // There is no 64-bit Windows 9x; a 32-bit build asks the system.
#ifdef _WIN64
    return false;
#else
    return (GetVersion() & 0x80000000u) != 0;
#endif
}

std::string CommandLineFor(const std::string& param) {
    if (param.empty() || HasFolderPart(param)) return param;
    std::wstring name = Wide(param);
    DWORD n = SearchPathW(nullptr, name.c_str(), L".exe", 0, nullptr, nullptr);
    if (n == 0) return param;
    std::wstring buf(n, L'\0');
    DWORD m = SearchPathW(nullptr, name.c_str(), L".exe", n, buf.data(), nullptr);
    if (m == 0 || m >= n) return param;
    buf.resize(m);
    std::string found = Utf8(buf);
    // Unquoted, "C:\Program Files\x.exe" could start "C:\Program.exe" first.
    return found.find(' ') == std::string::npos ? found : "\"" + found + "\"";
}

bool StartProgram(const std::string& commandLine) {
    std::wstring line = Wide(commandLine);
    std::vector<wchar_t> buf(line.begin(), line.end());
    buf.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace notify::win32
