// Rectangles and colours as the game's rules write them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pondlark {

// Right and bottom are exclusive, as in the window system the rules come from.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool Empty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Bounds(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// Strict overlap: rectangles that only share an edge do not overlap.
constexpr bool OverlapRect(const TRect& a, const TRect& b) {
    return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top;
}

// The intersection, or the empty rectangle (0, 0, 0, 0) when there is none.
constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.Right <= r.Left || r.Bottom <= r.Top) return {};
    return r;
}

// A colour of the window framework: 0x00BBGGRR.
using TColor = uint32_t;
constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Surface pixels are 0x00RRGGBB.
constexpr uint32_t PixelOf(TColor c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor ColorOfPixel(uint32_t p) {
    return PixelOf(p & 0xFFFFFF);
}

} // namespace pondlark
