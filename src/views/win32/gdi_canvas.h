// The painters' canvas on a GDI device context.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "views/canvas.h"

namespace views::win32 {

// A colour as GDI takes it: system colours (0xFF000000 + index) resolved.
COLORREF Resolve(Color c);

// Fonts by face, size and DPI, made once and freed together.
class FontCache {
  public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    HFONT Get(const std::string& face, int points, int dpi);

  private:
    std::map<std::string, HFONT> fonts_;
};

class GdiCanvas : public Canvas {
  public:
    // arrowPoints: size of the arrow font ("Times New Roman").
    GdiCanvas(HDC dc, int dpi, FontCache& fonts, int arrowPoints);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void Line(Point from, Point to, Color pen) override;
    void FillRect(const Rect& r, Color brush) override;
    void Rectangle(const Rect& r, Color pen, Color brush) override;
    void GradientV(const Rect& r, Color top, Color bottom) override;
    void SetFont(std::string_view face, int points) override;
    void UseFont(HFONT font);
    TextSize TextExtent(std::string_view text) override;
    void Text(Point p, std::string_view text, Color color) override;
    void Arrow(Point p, bool up, Color color, Color background, ArrowStyle style) override;
    TextSize ArrowSize() override;

  private:
    void DrawGlyph(Point origin, bool up, Color color);
    HDC dc_;
    int dpi_;
    FontCache& fonts_;
    int arrowPoints_;
    HGDIOBJ oldFont_;
    int oldBkMode_;
};

}  // namespace views::win32
