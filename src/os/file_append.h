// Appends bytes to a file, creating it when missing; the file is shared for
// reading and writing while it is open. False when it cannot be opened.
#pragma once
#include <string>
#include <string_view>

namespace os {
bool AppendToFile(const std::string& path, std::string_view bytes);
}
