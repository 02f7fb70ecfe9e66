// ZM.exe refreshing every second with a stored condition whose way runs a
// program: the program runs at every second evaluation while the condition
// holds, and not at all once it stops holding.
#include <doctest.h>

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/text.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Started as "--zm-mark <file>", this program only adds a line to that
// file: it is what the condition's way runs.
const bool kRunAsMarker = [] {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc == 3 && std::wstring(argv[1]) == L"--zm-mark") {
        HANDLE f = CreateFileW(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written;
        if (f != INVALID_HANDLE_VALUE) WriteFile(f, "run\n", 4, &written, nullptr);
        CloseHandle(f);
        ExitProcess(0);
    }
    return false;
}();

const wchar_t* const kKey = L"SOFTWARE\\Quillfen\\Zelmora";
const fs::path kLog = "C:\\zm.log";

std::wstring W(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

std::string ThisProgram() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return std::string(buf, buf + n);  // the build folder's path is ASCII
}

void SetString(HKEY key, const wchar_t* name, const std::string& value) {
    std::wstring w = W(value);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                   static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
}

void SetDword(HKEY key, const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Evaluations so far, from the debug log: one "CheckConditions" line each.
int Evaluations() {
    int n = 0;
    for (const std::string& line : text::SplitLines(ReadFile(kLog)))
        if (line.size() > 9 && line.substr(9) == "CheckConditions") ++n;
    return n;
}

int Runs(const fs::path& marks) {
    return static_cast<int>(text::SplitLines(ReadFile(marks)).size());
}

template <class Pred>
bool WaitFor(Pred done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

}  // namespace

TEST_CASE("a held condition runs its program at every second evaluation, then never") {
    fs::path folder =
        fs::temp_directory_path() / ("zm-cadence-" + std::to_string(GetCurrentProcessId()));
    fs::path marks = folder.string() + ".marks";
    fs::remove_all(folder);
    fs::remove(marks);
    fs::remove(kLog);
    fs::create_directories(folder);

    // Free space of the folder more than 0 bytes holds while the folder exists.
    std::string command = "\"";
    command.append(ThisProgram()).append("\" --zm-mark \"").append(marks.string()).append("\"");
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    HKEY key;
    REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS);
    SetDword(key, L"UpdateInterval", 1);
    SetDword(key, L"OnceStarted", 1);
    SetDword(key, L"DisplaySplash", 0);
    SetDword(key, L"TipOfDayMode", 2);
    SetString(key, L"FoldersList", folder.string());
    SetString(key, L"NtfConditions", "6|" + command + "|0|1|" + folder.string() + "|0|1|2||");
    RegCloseKey(key);

    std::wstring exe = W("Z:" + text::ReplaceAll(ZM_EXE_DIR, "/", "\\") + "\\ZM.exe");
    std::wstring line = L"\"" + exe + L"\" /L";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    REQUIRE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &pi));
    CloseHandle(pi.hThread);

    // The measured period: evaluations while the condition holds.
    auto start = std::chrono::steady_clock::now();
    CHECK(WaitFor([] { return Evaluations() >= 8; }, 40s));
    int before = Evaluations();
    auto held = std::chrono::steady_clock::now() - start;
    fs::remove_all(folder);  // from now on the condition does not hold
    int after = Evaluations();

    // Evaluations go on; the last firing's program has time to start.
    CHECK(WaitFor([&] { return Evaluations() >= after + 5; }, 30s));
    std::this_thread::sleep_for(2s);
    int total = Evaluations();

    if (HWND w = FindWindowW(L"TMainForm", L"Zelmora")) PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    std::this_thread::sleep_for(1s);

    int runs = Runs(marks);
    MESSAGE("held for " << std::chrono::duration_cast<std::chrono::milliseconds>(held).count()
                        << " ms: " << before << " evaluations; " << total - after
                        << " more after; program runs: " << runs);
    // Evaluations 1, 3, 5, ... while it held; the evaluation that raced the
    // folder's removal may or may not have seen it.
    CHECK(runs >= (before + 1) / 2);
    CHECK(runs <= (after + 1) / 2);
    CHECK(total - after >= 5);

    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    fs::remove(marks);
    fs::remove(kLog);
}
