// UTF-8 inside, UTF-16 at the Win32 boundary: the one pair of conversions.
#pragma once
#include <string>
#include <string_view>

namespace os::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace os::win32
