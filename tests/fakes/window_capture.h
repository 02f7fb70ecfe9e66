// Reading back what a window shows: its pixels as the screen has them, and
// pumping messages until it has painted.
#pragma once
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace fakes {

inline void Pump(std::chrono::milliseconds d) {
    auto end = std::chrono::steady_clock::now() + d;
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// The window's pixels, copied from the screen (frame included).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    explicit Capture(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        pixels.resize(static_cast<size_t>(width) * height);
        const auto* src = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < pixels.size(); ++i) {
            uint32_t p = src[i];  // 0x00RRGGBB in a DIB
            pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
        SelectObject(mem, old);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }
    // A pixel in client coordinates of the window.
    COLORREF At(HWND h, int x, int y) const {
        POINT p = {x, y};
        ClientToScreen(h, &p);
        RECT r;
        GetWindowRect(h, &r);
        int cx = p.x - r.left, cy = p.y - r.top;
        if (cx < 0 || cy < 0 || cx >= width || cy >= height) return CLR_INVALID;
        return pixels[static_cast<size_t>(cy) * width + cx];
    }
};

inline bool Near(COLORREF a, COLORREF b, int tolerance = 8) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace fakes
