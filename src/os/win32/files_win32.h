// The file interface over the Win32 API.
#pragma once
#include <memory>
#include <string>

#include "os/files.h"

namespace os::win32 {

std::unique_ptr<Files> MakeFiles();

// The path as the W functions take it: with the "\\?\" prefix when it is too
// long for the classic limit.
std::wstring LongPath(const std::string& path);

}  // namespace os::win32
