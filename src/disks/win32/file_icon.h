// The icon of a file, added to an image list for menus and lists.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace disks::win32 {

// Draws the file's first icon (large or small as asked) on a 16 x 16 bitmap
// filled with the mask colour and adds it to the list with that colour as its
// transparent colour. The new image's index, or -1 when the file does not
// exist or has no icon.
int AddFileIcon(const std::string& file, bool large, COLORREF mask, HIMAGELIST list);

}  // namespace disks::win32
