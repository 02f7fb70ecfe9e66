// Colour arithmetic of the bars and the move handle. Colours are 0x00BBGGRR.
#pragma once
#include <cstdint>

namespace views {

using Color = uint32_t;

constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) {
    return c & 0xFF;
}
constexpr int GreenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(Color c) {
    return (c >> 16) & 0xFF;
}

// Each channel k percent of the way to white (Lighten) or to black (Darken);
// k is capped at 100 and k <= 0 leaves the colour as it is.
Color LightenColor(Color c, int k);
Color DarkenColor(Color c, int k);

// A colour that stands out on c: each channel c -> 255 - c above 224, else
// c + 30, three times over.
Color ContrastColor(Color c);

}  // namespace views
