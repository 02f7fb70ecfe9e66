#include <doctest.h>
#include <windows.h>
#include <commctrl.h>

#include "disks/win32/file_icon.h"

TEST_CASE("a file's icon joins the image list; a missing file gives -1") {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    REQUIRE(list);
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    char notepad[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, windows, -1, notepad, sizeof notepad, nullptr, nullptr);
    std::string exe = std::string(notepad) + "\\notepad.exe";
    const COLORREF mask = RGB(255, 0, 255);
    CHECK(disks::win32::AddFileIcon(exe, false, mask, list) == 0);
    CHECK(disks::win32::AddFileIcon(exe, true, mask, list) == 1);
    CHECK(ImageList_GetImageCount(list) == 2);
    CHECK(disks::win32::AddFileIcon(exe + ".missing", false, mask, list) == -1);
    CHECK(ImageList_GetImageCount(list) == 2);

    // The mask colour is transparent: a corner of the drawn image shows the background.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    SelectObject(dc, bmp);
    RECT r = {0, 0, 16, 16};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &r, white);
    ImageList_Draw(list, 0, dc, 0, 0, ILD_TRANSPARENT);
    CHECK(GetPixel(dc, 0, 0) != mask);
    DeleteObject(white);
    DeleteDC(dc);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
    ImageList_Destroy(list);
}
