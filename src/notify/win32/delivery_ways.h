// The system calls behind each way of delivery. Each runs on the calling
// (job) thread; failures are answered, never shown.
#pragma once
#include <windows.h>

#include <string>

namespace notify::win32 {

// The Windows folder, or empty when the system does not tell.
std::string WindowsFolder();

// The media control command that plays the sound of a way's parameter: a
// bare name from the MEDIA folder, a path through its short form.
std::string SoundCommandFor(const std::string& param);

// Plays the sound through the media control interface without waiting.
void PlaySoundNotification(const std::string& param);

// The information box owned by the main window; returns when it is closed.
void ShowNotificationBox(HWND owner, const std::string& text, const std::string& caption);

// NET SEND through NETAPI32, loaded for the call. A recipient longer than 20
// characters is refused.
bool SendNetMessage(const std::string& recipient, const std::string& text);

// A WinPopup record to the recipient computer's messenger mailslot.
bool SendWinPopup(const std::string& recipient, const std::string& text);

// Windows 9x/ME, where WinPopup takes the place of NET SEND.
bool IsWindows9x();

// The command line that starts the program of the parameter: a bare name is
// looked for along the system's search path, with ".exe" when it has no
// extension; the parameter itself otherwise.
std::string CommandLineFor(const std::string& param);

// Starts a process with the command line, shown normally, without waiting.
bool StartProgram(const std::string& commandLine);

}  // namespace notify::win32
