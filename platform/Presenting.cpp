#include "platform/Presenting.h"

#include <algorithm>
#include <charconv>
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

int DesktopScaleFromResources(std::string_view resources) {
    constexpr std::string_view kKey = "Xft.dpi:";
    int scale = 1;
    while (!resources.empty()) {
        const size_t end = std::min(resources.find('\n'), resources.size());
        std::string_view line = resources.substr(0, end);
        resources.remove_prefix(std::min(end + 1, resources.size()));
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        // Desktops write whole numbers; a fraction ends the number where it starts.
        int dpi = 0;
        const auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), dpi);
        if (ec == std::errc() && ptr != line.data() && dpi > 0 && dpi < 96 * 16)
            scale = std::max(1, dpi / 96); // the last line wins, as in the X resource database
    }
    return scale;
}

int OpeningFactor(int desktopScale, int workW, int workH, int frameW, int frameH) {
    if (frameW <= 0 || frameH <= 0) return 1;
    const int fits = std::min(workW / frameW, workH / frameH);
    return std::max(1, std::min(desktopScale, fits));
}

} // namespace pondlark
