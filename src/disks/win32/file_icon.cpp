#include "disks/win32/file_icon.h"

#include <shellapi.h>

#include "os/win32/wide.h"

namespace disks::win32 {

int AddFileIcon(const std::string& file, bool large, COLORREF mask, HIMAGELIST list) {
    std::wstring path = os::win32::Wide(file);
    if (!list || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return -1;
    HICON big = nullptr, small = nullptr;
    if (ExtractIconExW(path.c_str(), 0, &big, &small, 1) == 0) return -1;
    HICON icon = large ? big : small;
    if (!icon) icon = large ? small : big;
    int index = -1;
    if (icon) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r = {0, 0, 16, 16};
        HBRUSH fill = CreateSolidBrush(mask);
        FillRect(dc, &r, fill);
        DeleteObject(fill);
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        index = ImageList_AddMasked(list, bmp, mask);
        DeleteObject(bmp);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    if (big) DestroyIcon(big);
    if (small) DestroyIcon(small);
    return index;
}

}  // namespace disks::win32
