#include "engine/TDirectDrawSurface.h"

#include "engine/OpaqueRunCopy.h"
#include "engine/TDirectDrawSurfaceCanvas.h"

#include <algorithm>
#include <cstring>

namespace pondlark {

TDirectDrawSurface::TDirectDrawSurface(int width, int height, TFontCache* fonts)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      owned_(static_cast<size_t>(width_) * height_), pixels_(owned_.Data()), pitch_(width_),
      fonts_(fonts) {}

TDirectDrawSurface::TDirectDrawSurface(uint32_t* pixels, int pitch, int width, int height)
    : width_(pixels ? std::max(width, 0) : 0), height_(pixels ? std::max(height, 0) : 0),
      pixels_(pixels), pitch_(pitch), fonts_(nullptr) {}

TDirectDrawSurface::~TDirectDrawSurface() = default;

uint32_t TDirectDrawSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Row(y)[x];
}

void TDirectDrawSurface::SetPixel(int x, int y, uint32_t value) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Row(y)[x] = value & 0xFFFFFF;
    Changed();
}

void TDirectDrawSurface::Fill(uint32_t pixel) {
    if (!pixels_) return;
    // Black, the frame's clear, is the C library's fast zeroing.
    if (pitch_ == width_ && (pixel & 0xFFFFFF) == 0) {
        std::memset(pixels_, 0, static_cast<size_t>(width_) * height_ * sizeof(uint32_t));
    } else if (pitch_ == width_) {
        std::fill_n(pixels_, static_cast<size_t>(width_) * height_, pixel & 0xFFFFFF);
    } else {
        for (int y = 0; y < height_; ++y)
            std::fill_n(Row(y), width_, pixel & 0xFFFFFF);
    }
    Changed();
}

uint32_t* TDirectDrawSurface::Lock(const TRect& rect) {
    if (lockCount_ > 0) return nullptr;
    TRect r = IntersectRect(rect, ClientRect());
    if (r.Empty()) return nullptr;
    ++lockCount_;
    return Row(r.Top) + r.Left;
}

void TDirectDrawSurface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
    Changed(); // a lock is taken to write
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

    Changed();
    const uint32_t* from = src.Row(s.Top) + s.Left;
    uint32_t* to = Row(y) + x;
    if (!(transparent && src.colorKey_.has_value())) {
        for (int row = 0; row < h; ++row, from += src.pitch_, to += pitch_)
            std::copy_n(from, w, to);
        return;
    }
    // Only the runs of non-key pixels are copied, cut to the clipped columns.
    const OpaqueRuns& runs = *src.Runs();
    OpaqueRunCopy job;
    job.from = from;
    job.fromPitch = src.pitch_;
    job.to = to;
    job.toPitch = pitch_;
    job.rows = h;
    job.runs = runs.runs.data();
    job.rowStart = runs.rowStart.data() + s.Top;
    job.left = s.Left;
    job.right = s.Left + w;
    job.wholeRows = s.Left == 0 && w == src.width_;
    job.mayOverlap = SharesPixels(src);
    CopyOpaqueRuns(job);
}

bool TDirectDrawSurface::SharesPixels(const TDirectDrawSurface& other) const {
    auto extent = [](const TDirectDrawSurface& s) {
        const auto begin = reinterpret_cast<uintptr_t>(s.pixels_);
        return std::pair{begin, begin + static_cast<uintptr_t>(s.pitch_) * s.height_ * 4};
    };
    const auto [a, aEnd] = extent(*this);
    const auto [b, bEnd] = extent(other);
    return a < bEnd && b < aEnd;
}

const TDirectDrawSurface::OpaqueRuns* TDirectDrawSurface::Runs() const {
    const uint32_t key = colorKey_.value_or(0);
    if (runs_ && runs_->key == key) return runs_.get();
    auto r = std::make_unique<OpaqueRuns>();
    r->key = key;
    r->rowStart.reserve(static_cast<size_t>(height_) + 1);
    for (int y = 0; y < height_; ++y) {
        r->rowStart.push_back(static_cast<uint32_t>(r->runs.size()));
        const uint32_t* row = Row(y);
        int x = 0;
        while (x < width_) {
            while (x < width_ && row[x] == key)
                ++x;
            const int begin = x;
            while (x < width_ && row[x] != key)
                ++x;
            if (begin < x) r->runs.emplace_back(begin, x);
        }
    }
    r->rowStart.push_back(static_cast<uint32_t>(r->runs.size()));
    runs_ = std::move(r);
    return runs_.get();
}

bool TDirectDrawSurface::Opaque(const TRect& rect) const {
    if (rect.Empty() || IntersectRect(rect, ClientRect()) != rect) return false;
    if (!colorKey_) return true;
    const OpaqueRuns& runs = *Runs();
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const auto* run = runs.runs.data() + runs.rowStart[static_cast<size_t>(y)];
        const auto* end = runs.runs.data() + runs.rowStart[static_cast<size_t>(y) + 1];
        // Runs are maximal, so one of them must hold the whole width.
        while (run != end && run->second < rect.Right)
            ++run;
        if (run == end || run->first > rect.Left) return false;
    }
    return true;
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(*this, fonts_);
    return *canvas_;
}

} // namespace pondlark
