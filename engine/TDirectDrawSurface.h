// A software surface: 32-bit 0x00RRGGBB pixels, an optional source colour key and a lock count.
//
// Every transfer clips against both surfaces, so callers may pass any rectangle. A surface that
// is locked cannot be locked again until unlocked; transfers do not lock (there is no device to
// wait for), so a held lock never blocks drawing.
#pragma once

#include "engine/Geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace pondlark {

class TDirectDrawSurfaceCanvas;
class TFontCache;

class TDirectDrawSurface {
public:
    // A zero or negative size gives an empty surface that every operation leaves alone.
    TDirectDrawSurface(int width, int height, TFontCache* fonts = nullptr);
    // A surface holding a copy of `width` x `height` pixels read from `source`, rows
    // `sourcePitch` pixels apart. Nothing is cleared first: at start-up every picture of the
    // game is copied once, and writing its memory twice is a visible part of the wait.
    TDirectDrawSurface(const uint32_t* source, int sourcePitch, int width, int height);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitCount() const { return 32; }
    TRect ClientRect() const { return {0, 0, width_, height_}; }
    uint32_t* Pixels() { return pixels_.data(); }
    const uint32_t* Pixels() const { return pixels_.data(); }
    int Pitch() const { return width_; } // in pixels

    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value);

    // Source colour key: pixels equal to it are skipped by transparent transfers.
    void SetColorKey(uint32_t key) { colorKey_ = key & 0xFFFFFF; }
    std::optional<uint32_t> ColorKey() const { return colorKey_; }

    void Fill(uint32_t pixel);

    // Locks `rect` (clipped to the surface). Returns nullptr when already locked or when the
    // rectangle is empty; the pointer addresses the rectangle's top-left, rows `Pitch()` apart.
    uint32_t* Lock(const TRect& rect);
    void Unlock();

    // Copies `src`'s `srcRect` with its top-left at (x, y); with `transparent`, pixels equal
    // to the source's colour key are skipped (a source without a key copies everything).
    void Draw(int x, int y, const TDirectDrawSurface& src, const TRect& srcRect, bool transparent);

    // The text canvas, made on first use and kept with the surface.
    TDirectDrawSurfaceCanvas& Canvas();

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
    std::optional<uint32_t> colorKey_;
    int lockCount_ = 0;
    TFontCache* fonts_;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};

} // namespace pondlark
