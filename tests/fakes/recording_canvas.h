// A canvas that records what a painter draws, with a fixed-pitch text
// measure: every character is charWidth pixels wide, every text lineHeight
// high (the font size can change the height, as a real font would).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "views/canvas.h"

namespace fakes {

struct Drawn {
    enum Kind { Line, Fill, Rectangle, Gradient, Text, Arrow };
    Drawn(Kind k, views::Rect r, views::Color first = 0, views::Color second = 0)
        : kind(k), rect(r), a(first), b(second) {}
    Kind kind;
    views::Rect rect;  // lines: from (left, top) to (right, bottom)
    views::Color a = 0, b = 0;
    std::string text;
    std::string face;
    int points = 0;
    bool up = false;
    views::Canvas::ArrowStyle style = views::Canvas::ArrowStyle::Boxed;
};

class RecordingCanvas : public views::Canvas {
  public:
    int charWidth = 6;
    int arrowWidth = 10, arrowHeight = 12;
    // Text height for a font size; a point is a pixel and a half by default.
    int (*heightOf)(int points) = [](int points) { return points * 3 / 2; };

    std::vector<Drawn> drawn;
    std::string face;
    int points = 9;

    void Line(views::Point f, views::Point t, views::Color pen) override {
        drawn.push_back(Drawn(Drawn::Line, {f.x, f.y, t.x, t.y}, pen));
    }
    void FillRect(const views::Rect& r, views::Color c) override {
        drawn.push_back(Drawn(Drawn::Fill, r, c));
    }
    void Rectangle(const views::Rect& r, views::Color pen, views::Color brush) override {
        drawn.push_back(Drawn(Drawn::Rectangle, r, pen, brush));
    }
    void GradientV(const views::Rect& r, views::Color top, views::Color bottom) override {
        drawn.push_back(Drawn(Drawn::Gradient, r, top, bottom));
    }
    void SetFont(std::string_view f, int p) override {
        face = std::string(f);
        points = p;
    }
    views::TextSize TextExtent(std::string_view t) override {
        return {static_cast<int>(t.size()) * charWidth, heightOf(points)};
    }
    void Text(views::Point p, std::string_view t, views::Color c) override {
        Drawn d(Drawn::Text, {p.x, p.y, p.x, p.y}, c);
        d.text = std::string(t);
        d.face = face;
        d.points = points;
        drawn.push_back(d);
    }
    void Arrow(views::Point p, bool up, views::Color c, views::Color bg, ArrowStyle s) override {
        Drawn d(Drawn::Arrow, views::RectOfSize(p.x, p.y, arrowWidth, arrowHeight), c, bg);
        d.up = up;
        d.style = s;
        drawn.push_back(d);
    }
    views::TextSize ArrowSize() override { return {arrowWidth, arrowHeight}; }

    std::vector<Drawn> Of(Drawn::Kind k) const {
        std::vector<Drawn> out;
        for (const Drawn& d : drawn)
            if (d.kind == k) out.push_back(d);
        return out;
    }
    const Drawn* TextOf(std::string_view t) const {
        for (const Drawn& d : drawn)
            if (d.kind == Drawn::Text && d.text == t) return &d;
        return nullptr;
    }
};

// Fixed-pitch measure for the layout rules.
inline int MeasureFixed(std::string_view s) {
    return static_cast<int>(s.size()) * 6;
}

}  // namespace fakes
