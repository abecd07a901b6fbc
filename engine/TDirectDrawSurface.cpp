#include "engine/TDirectDrawSurface.h"

#include "engine/TDirectDrawSurfaceCanvas.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pondlark {

TDirectDrawSurface::TDirectDrawSurface(int width, int height, TFontCache* fonts)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, 0u), fonts_(fonts) {}

TDirectDrawSurface::TDirectDrawSurface(const uint32_t* source, int sourcePitch, int width,
                                       int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), fonts_(nullptr) {
    pixels_.reserve(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        const uint32_t* row = source + static_cast<size_t>(y) * sourcePitch;
        pixels_.insert(pixels_.end(), row, row + width_);
    }
}

TDirectDrawSurface::~TDirectDrawSurface() = default;

uint32_t TDirectDrawSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void TDirectDrawSurface::SetPixel(int x, int y, uint32_t value) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = value & 0xFFFFFF;
}

void TDirectDrawSurface::Fill(uint32_t pixel) {
    std::fill(pixels_.begin(), pixels_.end(), pixel & 0xFFFFFF);
}

uint32_t* TDirectDrawSurface::Lock(const TRect& rect) {
    if (lockCount_ > 0) return nullptr;
    TRect r = IntersectRect(rect, ClientRect());
    if (r.Empty()) return nullptr;
    ++lockCount_;
    return pixels_.data() + static_cast<size_t>(r.Top) * width_ + r.Left;
}

void TDirectDrawSurface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
}

void TDirectDrawSurface::Draw(int x, int y, const TDirectDrawSurface& src, const TRect& srcRect,
                              bool transparent) {
    // Clip the source rectangle to the source, then the destination to this surface, moving
    // the source origin by whatever the destination clip cut away.
    TRect s = IntersectRect(srcRect, src.ClientRect());
    if (s.Empty()) return;
    x += s.Left - srcRect.Left;
    y += s.Top - srcRect.Top;
    int w = s.Width(), h = s.Height();
    if (x < 0) {
        s.Left -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        s.Top -= y;
        h += y;
        y = 0;
    }
    w = std::min(w, width_ - x);
    h = std::min(h, height_ - y);
    if (w <= 0 || h <= 0) return;

    const bool keyed = transparent && src.colorKey_.has_value();
    const uint32_t key = src.colorKey_.value_or(0);
    for (int row = 0; row < h; ++row) {
        const uint32_t* from =
            src.pixels_.data() + static_cast<size_t>(s.Top + row) * src.width_ + s.Left;
        uint32_t* to = pixels_.data() + static_cast<size_t>(y + row) * width_ + x;
        if (!keyed) {
            std::copy_n(from, w, to);
            continue;
        }
        int col = 0;
#if defined(__SSE2__)
        // Four pixels at a time with a compare-and-blend: keeps keyed sprites at least as fast
        // as SDL's own keyed blit (see bench/engine_blit_bench.cpp).
        const __m128i k = _mm_set1_epi32(static_cast<int>(key));
        for (; col + 4 <= w; col += 4) {
            const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + col));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + col));
            const __m128i m = _mm_cmpeq_epi32(sp, k);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + col),
                             _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, sp)));
        }
#endif
        for (; col < w; ++col)
            if (from[col] != key) to[col] = from[col];
    }
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(*this, fonts_);
    return *canvas_;
}

} // namespace pondlark
