// Starting and driving ZM.exe from a test that runs in the same Wine prefix.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "os/win32/wide.h"

namespace zmtest {

// ZM_EXE_DIR is a Linux path; Wine shows the Linux root as drive Z:.
inline std::wstring ExeDir() {
    std::string dir = ZM_EXE_DIR;
    for (char& c : dir)
        if (c == '/') c = '\\';
    return os::win32::Wide("Z:" + dir);
}
inline std::wstring ExePath() {
    return ExeDir() + L"\\ZM.exe";
}

// Polls until done() or the time is up.
inline bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

inline HWND MainWindow() {
    return FindWindowW(L"TMainForm", L"Zelmora");
}

struct Process {
    PROCESS_INFORMATION pi = {};
    bool started = false;

    explicit Process(const std::wstring& args = L"") {
        std::wstring cmd = L"\"" + ExePath() + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 ExeDir().c_str(), &si, &pi) != FALSE;
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 9);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool Exited(int ms) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    // The process's main window, once it exists.
    HWND Window(int ms = 15000) {
        HWND found = nullptr;
        WaitFor(
            [&] {
                HWND h = MainWindow();
                DWORD pid = 0;
                if (h) GetWindowThreadProcessId(h, &pid);
                found = pid == pi.dwProcessId ? h : nullptr;
                return found != nullptr;
            },
            ms);
        return found;
    }
    // Closes the program the normal way and waits for it to end.
    bool Close(int ms = 15000) {
        if (HWND h = Window(100)) PostMessageW(h, WM_CLOSE, 0, 0);
        return Exited(ms);
    }
};

// Ends every instance left over from an earlier test.
inline void EndRunningInstances() {
    for (int i = 0; i < 5; ++i) {
        HWND h = MainWindow();
        if (!h) return;
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(p, 9);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
    }
}

inline int CountMainWindows() {
    int n = 0;
    EnumWindows(
        [](HWND h, LPARAM l) -> BOOL {
            wchar_t cls[64];
            if (GetClassNameW(h, cls, 64) && std::wstring(cls) == L"TMainForm")
                ++*reinterpret_cast<int*>(l);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

// A message box captioned "Zelmora" and the text it shows.
inline HWND FindMessageBox(int ms = 15000) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindWindowW(L"#32770", L"Zelmora")) != nullptr; }, ms);
    return box;
}
inline std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    wchar_t buf[1024] = {};
    if (text) GetWindowTextW(text, buf, 1024);
    return os::win32::Utf8(buf);
}

}  // namespace zmtest
