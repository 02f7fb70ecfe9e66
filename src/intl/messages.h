// The numbered message table: every text the program builds at run time is
// asked for by number. Language files overwrite entries by position.
#pragma once
#include <string>
#include <vector>

namespace intl {

constexpr int kBuiltInMessageCount = 182;

// The built-in English text of message n, or "" when n is out of range.
const char* BuiltInMessage(int n);

// Message n of the current table. A table that is shorter than the built-in
// one (a short language file) still answers with the English text, so every
// number the program uses yields a text. Safe to call from any thread.
std::string Msg(int n);

// Number of entries in the current table (0 until something is installed).
int MessageCount();

// Fills the table with the built-in texts when it is empty; a filled table is
// left as it is. Main thread only, like every change below.
void InstallBuiltInMessages();

// Replaces entry n, appending empty entries up to it when the table is shorter.
void SetMessage(int n, std::string text);

// Empties the table (language switch, tests).
void ClearMessages();

}  // namespace intl
