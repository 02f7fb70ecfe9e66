#include "views/win32/gdi_canvas.h"

#include "os/win32/wide.h"
#include "ui/dpi.h"

namespace views::win32 {

namespace {

constexpr wchar_t kUp[] = L"\u25B2";
constexpr wchar_t kDown[] = L"\u25BC";

// Some systems (and Wine without the Microsoft fonts) substitute a face that
// lacks the triangles; the arrow is then drawn as a polygon of the same size.
bool HasGlyph(HDC dc, const wchar_t* glyph) {
    WORD index = 0xFFFF;
    return GetGlyphIndicesW(dc, glyph, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
           index != 0xFFFF && index != 0;
}

}  // namespace

COLORREF Resolve(Color c) {
    if (c & 0xFF000000) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT FontCache::Get(const std::string& face, int points, int dpi) {
    std::string key = face + "/" + std::to_string(points) + "/" + std::to_string(dpi);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    HFONT f = ui::CreatePointFont(os::win32::Wide(face), points, dpi);
    fonts_[key] = f;
    return f;
}

GdiCanvas::GdiCanvas(HDC dc, int dpi, FontCache& fonts, int arrowPoints)
    : dc_(dc), dpi_(dpi), fonts_(fonts), arrowPoints_(arrowPoints) {
    oldFont_ = GetCurrentObject(dc_, OBJ_FONT);
    oldBkMode_ = SetBkMode(dc_, TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
    SelectObject(dc_, oldFont_);
    SetBkMode(dc_, oldBkMode_);
}

void GdiCanvas::Line(Point from, Point to, Color pen) {
    HPEN p = CreatePen(PS_SOLID, 1, Resolve(pen));
    HGDIOBJ old = SelectObject(dc_, p);
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
    SelectObject(dc_, old);
    DeleteObject(p);
}

void GdiCanvas::FillRect(const Rect& r, Color brush) {
    HBRUSH b = CreateSolidBrush(Resolve(brush));
    RECT rc = {r.left, r.top, r.right, r.bottom};
    ::FillRect(dc_, &rc, b);
    DeleteObject(b);
}

void GdiCanvas::Rectangle(const Rect& r, Color pen, Color brush) {
    HPEN p = CreatePen(PS_SOLID, 1, Resolve(pen));
    HBRUSH b = CreateSolidBrush(Resolve(brush));
    HGDIOBJ op = SelectObject(dc_, p), ob = SelectObject(dc_, b);
    ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
    SelectObject(dc_, op);
    SelectObject(dc_, ob);
    DeleteObject(p);
    DeleteObject(b);
}

void GdiCanvas::GradientV(const Rect& r, Color top, Color bottom) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    COLORREF a = Resolve(top), b = Resolve(bottom);
    TRIVERTEX v[2] = {};
    v[0] = {r.left,
            r.top,
            static_cast<COLOR16>(GetRValue(a) << 8),
            static_cast<COLOR16>(GetGValue(a) << 8),
            static_cast<COLOR16>(GetBValue(a) << 8),
            0};
    v[1] = {r.right,
            r.bottom,
            static_cast<COLOR16>(GetRValue(b) << 8),
            static_cast<COLOR16>(GetGValue(b) << 8),
            static_cast<COLOR16>(GetBValue(b) << 8),
            0};
    GRADIENT_RECT g = {0, 1};
    GradientFill(dc_, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void GdiCanvas::SetFont(std::string_view face, int points) {
    SelectObject(dc_, fonts_.Get(std::string(face), points, dpi_));
}

void GdiCanvas::UseFont(HFONT font) {
    SelectObject(dc_, font);
}

TextSize GdiCanvas::TextExtent(std::string_view text) {
    std::wstring w = os::win32::Wide(std::string(text));
    SIZE s = {};
    GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &s);
    return {s.cx, s.cy};
}

void GdiCanvas::Text(Point p, std::string_view text, Color color) {
    std::wstring w = os::win32::Wide(std::string(text));
    SetTextColor(dc_, Resolve(color));
    TextOutW(dc_, p.x, p.y, w.c_str(), static_cast<int>(w.size()));
}

TextSize GdiCanvas::ArrowSize() {
    HGDIOBJ old = SelectObject(dc_, fonts_.Get("Times New Roman", arrowPoints_, dpi_));
    SIZE s = {};
    GetTextExtentPoint32W(dc_, kUp, 1, &s);
    SelectObject(dc_, old);
    return {s.cx, s.cy};
}

void GdiCanvas::DrawGlyph(Point o, bool up, Color color) {
    HGDIOBJ old = SelectObject(dc_, fonts_.Get("Times New Roman", arrowPoints_, dpi_));
    const wchar_t* glyph = up ? kUp : kDown;
    if (HasGlyph(dc_, glyph)) {
        SetTextColor(dc_, Resolve(color));
        TextOutW(dc_, o.x, o.y, glyph, 1);
    } else {
        // The triangle of the glyph: the box's width, two thirds of its height.
        SIZE s = {};
        GetTextExtentPoint32W(dc_, kUp, 1, &s);
        int w = s.cx - 2, h = s.cy * 2 / 3, x = o.x + 1, y = o.y + (s.cy - h) / 2;
        POINT pts[3];
        if (up)
            pts[0] = {x + w / 2, y}, pts[1] = {x + w, y + h}, pts[2] = {x, y + h};
        else
            pts[0] = {x, y}, pts[1] = {x + w, y}, pts[2] = {x + w / 2, y + h};
        HBRUSH b = CreateSolidBrush(Resolve(color));
        HPEN p = CreatePen(PS_SOLID, 1, Resolve(color));
        HGDIOBJ ob = SelectObject(dc_, b), op = SelectObject(dc_, p);
        Polygon(dc_, pts, 3);
        SelectObject(dc_, ob);
        SelectObject(dc_, op);
        DeleteObject(b);
        DeleteObject(p);
    }
    SelectObject(dc_, old);
}

void GdiCanvas::Arrow(Point p, bool up, Color color, Color background, ArrowStyle style) {
    TextSize s = ArrowSize();
    if (style == ArrowStyle::Boxed) {
        Rectangle(RectOfSize(p.x, p.y, s.width, s.height), 0, background);
        DrawGlyph(p, up, color);
        return;
    }
    // The bitmap is copied back from its second column on, without its last.
    int saved = SaveDC(dc_);
    IntersectClipRect(dc_, p.x, p.y, p.x + s.width - 2, p.y + s.height);
    DrawGlyph({p.x - 1, p.y}, up, color);
    RestoreDC(dc_, saved);
}

}  // namespace views::win32
