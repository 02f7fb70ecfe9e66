#include "ui/dpi.h"

namespace ui {

namespace {

template <class Fn>
Fn User32(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int DpiOf(HWND window) {
    using Fn = UINT(WINAPI*)(HWND);
    static Fn forWindow = User32<Fn>("GetDpiForWindow");
    if (forWindow && window) {
        UINT dpi = forWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int MetricFor(int index, int dpi) {
    using Fn = int(WINAPI*)(int, UINT);
    static Fn forDpi = User32<Fn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

HFONT CreatePointFont(const std::wstring& face, int points, int dpi, bool bold) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(points, dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

HFONT CreateMessageFont(int dpi) {
    using Fn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static Fn forDpi = User32<Fn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW m = {};
    m.cbSize = sizeof m;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, static_cast<UINT>(dpi)))
        return CreateFontIndirectW(&m.lfMessageFont);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    m.lfMessageFont.lfHeight = MulDiv(m.lfMessageFont.lfHeight, dpi, SystemDpi());
    return CreateFontIndirectW(&m.lfMessageFont);
}

int PointsOf(HFONT font, int dpi) {
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return 9;
    int h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    return h ? MulDiv(h, 72, dpi) : 9;
}

}  // namespace ui
