// What the painters need of a drawing surface. The Win32 side draws with GDI;
// tests record the calls. Coordinates are pixels; lines leave out their end
// point and rectangles their right and bottom edges, as GDI does.
#pragma once
#include <string>
#include <string_view>

#include "views/color.h"
#include "views/geometry.h"

namespace views {

struct TextSize {
    int width = 0, height = 0;
};

class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void Line(Point from, Point to, Color pen) = 0;
    virtual void FillRect(const Rect& r, Color brush) = 0;
    // A rectangle outlined in pen and filled with brush.
    virtual void Rectangle(const Rect& r, Color pen, Color brush) = 0;
    // Vertical two-colour gradient from the top edge to the bottom edge.
    virtual void GradientV(const Rect& r, Color top, Color bottom) = 0;
    // Selects a font by face and size in points (the surface knows its DPI).
    virtual void SetFont(std::string_view face, int points) = 0;
    virtual TextSize TextExtent(std::string_view text) = 0;
    // Text with a transparent background, its top-left at p.
    virtual void Text(Point p, std::string_view text, Color color) = 0;
    // The trend arrow glyph, its top-left at p. Classic: an opaque box in the
    // background colour with a 1-pixel black frame, as the arrow bitmap is
    // cleared. Sticker: only the glyph, columns 1 to width - 2 of the box.
    enum class ArrowStyle { Boxed, Bare };
    virtual void Arrow(Point p, bool up, Color color, Color background, ArrowStyle style) = 0;
    virtual TextSize ArrowSize() = 0;
};

}  // namespace views
