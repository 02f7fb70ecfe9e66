// DPI of a window and what scales with it: system metrics, fonts in points.
// The functions of newer systems are looked up at run time, so the program
// also runs where they are missing.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

int DpiOf(HWND window);  // 96 when the system cannot tell
int MetricFor(int index, int dpi);
// A font of a face at a size in points for a DPI; the caller frees it.
HFONT CreatePointFont(const std::wstring& face, int points, int dpi, bool bold = false);
// The system's message font for a DPI; the caller frees it.
HFONT CreateMessageFont(int dpi);
// Size in points of a font at a DPI.
int PointsOf(HFONT font, int dpi);

}  // namespace ui
