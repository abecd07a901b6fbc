#include "platform/Presenting.h"

#include <algorithm>
#include <cstring>

namespace pondlark {

bool TFrameMemo::Differs(const uint32_t* pixels, int width, int height, int pitch) {
    const auto w = static_cast<size_t>(std::max(width, 0));
    const auto h = static_cast<size_t>(std::max(height, 0));
    const auto rowBytes = w * sizeof(uint32_t);
    bool same = width == width_ && height == height_;
    size_t y = 0;
    // Rows above the first change need no copy: they are what is remembered already.
    for (; same && y < h; ++y)
        same = std::memcmp(pixels + y * static_cast<size_t>(pitch), shown_.data() + y * w,
                           rowBytes) == 0;
    if (same) return false;
    if (width != width_ || height != height_) {
        shown_.assign(w * h, 0);
        width_ = width;
        height_ = height;
        y = 0;
    } else {
        --y; // the row that differed
    }
    for (; y < h; ++y)
        std::memcpy(shown_.data() + y * w, pixels + y * static_cast<size_t>(pitch), rowBytes);
    return true;
}

bool WholeNumberScale(int outW, int outH, int frameW, int frameH) {
    if (frameW <= 0 || frameH <= 0 || outW < frameW || outH < frameH) return false;
    // The letterbox scales by the smaller ratio; the frame fills that many output pixels.
    const int scale = std::min(outW / frameW, outH / frameH);
    const bool widthLimits =
        static_cast<int64_t>(outW) * frameH <= static_cast<int64_t>(outH) * frameW;
    return widthLimits ? outW == scale * frameW : outH == scale * frameH;
}

} // namespace pondlark
