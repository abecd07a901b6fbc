// A software surface: 32-bit 0x00RRGGBB pixels, an optional source colour key and a lock count.
//
// Every transfer clips against both surfaces, so callers may pass any rectangle. A surface that
// is locked cannot be locked again until unlocked; transfers do not lock (there is no device to
// wait for), so a held lock never blocks drawing.
//
// A transparent transfer from a surface copies only its runs of non-key pixels, found once and
// kept until the surface or its key changes. Writes through the surface's own operations are
// seen, and so are writes between `Lock` and `Unlock`; whoever writes through `Pixels` calls
// `Changed` afterwards.
#pragma once

#include "engine/Geometry.h"
#include "engine/OpaqueRunCopy.h"
#include "engine/PixelStore.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pondlark {

class TDirectDrawSurfaceCanvas;
class TFontCache;

class TDirectDrawSurface {
public:
    // A zero or negative size gives an empty surface that every operation leaves alone.
    TDirectDrawSurface(int width, int height, TFontCache* fonts = nullptr);
    // A surface over `width` x `height` pixels it does not own, starting at `pixels`, rows
    // `pitch` pixels apart: the image list's pictures are drawn from where they were decoded,
    // never copied. The owner keeps the pixels alive and in place for the surface's life, and
    // sees whatever is drawn onto the surface.
    TDirectDrawSurface(uint32_t* pixels, int pitch, int width, int height);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitCount() const { return 32; }
    TRect ClientRect() const { return {0, 0, width_, height_}; }
    // Pixels written through this pointer need a `Changed` before the next transparent
    // transfer from this surface.
    uint32_t* Pixels() { return pixels_; }
    const uint32_t* Pixels() const { return pixels_; }
    int Pitch() const { return pitch_; } // in pixels

    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value);

    // Source colour key: pixels equal to it are skipped by transparent transfers.
    void SetColorKey(uint32_t key) {
        colorKey_ = key & 0xFFFFFF;
        Changed();
    }
    // Forgets the runs of non-key pixels after a write through `Pixels`.
    void Changed() { runs_.reset(); }
    // True when a transparent transfer of `rect` (inside the surface) writes every pixel of it.
    bool Opaque(const TRect& rect) const;
    std::optional<uint32_t> ColorKey() const { return colorKey_; }

    void Fill(uint32_t pixel);

    // Locks `rect` (clipped to the surface). Returns nullptr when already locked or when the
    // rectangle is empty; the pointer addresses the rectangle's top-left, rows `Pitch()` apart.
    uint32_t* Lock(const TRect& rect);
    // Ends a lock; what was written through it counts as a change.
    void Unlock();
    // Ends a lock that only read: the runs of non-key pixels found before stay valid.
    void UnlockUnchanged() {
        if (lockCount_ > 0) --lockCount_;
    }

    // Copies `src`'s `srcRect` with its top-left at (x, y); with `transparent`, pixels equal
    // to the source's colour key are skipped (a source without a key copies everything).
    void Draw(int x, int y, const TDirectDrawSurface& src, const TRect& srcRect, bool transparent);

    // The text canvas, made on first use and kept with the surface.
    TDirectDrawSurfaceCanvas& Canvas();

private:
    // Per row, the [begin, end) columns of non-key pixels, for the key they were found with.
    struct OpaqueRuns {
        uint32_t key = 0;
        std::vector<uint32_t> rowStart; // height + 1 offsets into `runs`
        std::vector<OpaqueRun> runs;
    };
    const OpaqueRuns* Runs() const;
    // True when the two surfaces' pixel memory overlaps (a surface drawn onto itself, or two
    // views of one owner's pixels).
    bool SharesPixels(const TDirectDrawSurface& other) const;

    uint32_t* Row(int y) { return pixels_ + static_cast<size_t>(y) * pitch_; }
    const uint32_t* Row(int y) const { return pixels_ + static_cast<size_t>(y) * pitch_; }

    int width_;
    int height_;
    PixelStore owned_; // empty for a surface over another owner's pixels
    uint32_t* pixels_;
    int pitch_;
    std::optional<uint32_t> colorKey_;
    int lockCount_ = 0;
    TFontCache* fonts_;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
    // Found on the first transparent transfer from this surface (surfaces are drawn from one
    // thread at a time).
    mutable std::unique_ptr<OpaqueRuns> runs_;
};

} // namespace pondlark
