// Small text helpers shared by every subsystem. Texts are UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

std::string Trim(std::string_view s);  // blanks and control characters at both ends
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

// ASCII-only case folding: drive names, masks and switches are ASCII.
char LowerAscii(char c);
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Splits at CR LF, LF or CR. A final line break does not give an empty last line.
std::vector<std::string> SplitLines(std::string_view s);
// Splits at every occurrence of sep; empty fields are kept.
std::vector<std::string> Split(std::string_view s, std::string_view sep);
std::string Join(const std::vector<std::string>& parts, std::string_view sep);
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

// Decimal number with an optional sign, the whole text; false otherwise.
bool ParseInt64(std::string_view s, int64_t& out);

bool IsValidUtf8(std::string_view s);
// Windows-1252 bytes to UTF-8 (the fallback for files that are not UTF-8).
std::string AnsiToUtf8(std::string_view s);
// UTF-8 as it is when valid (a BOM removed), otherwise read as Windows-1252.
std::string DecodeTextFile(std::string_view bytes);

}  // namespace text
