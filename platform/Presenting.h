// What the window's presenter decides without SDL: whether a frame is worth handing to the
// window system at all, and how the frame is filtered when it is scaled.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pondlark {

// Remembers the last frame shown. A menu at rest draws the same picture 33 times a second; the
// window already shows it, so copying it to the window system again is wasted work.
class TFrameMemo {
public:
    // Whether `pixels` (width x height, `pitch` pixels a row) differ from the frame remembered;
    // remembers them when they do. A frame of another size always differs.
    bool Differs(const uint32_t* pixels, int width, int height, int pitch);
    // The window lost what it showed (exposed, resized, made anew): the next frame differs.
    void Forget() { width_ = height_ = 0; }

private:
    std::vector<uint32_t> shown_;
    int width_ = 0;
    int height_ = 0;
};

// Whether a `frameW` x `frameH` frame letterboxed into `outW` x `outH` output pixels is shown at
// a whole-number scale (1:1 included): there every frame pixel becomes a square of output
// pixels, and nearest-neighbour filtering keeps it sharp at the lowest cost.
bool WholeNumberScale(int outW, int outH, int frameW, int frameH);

// The desktop's whole scale from its X resources (the RESOURCE_MANAGER text, "Xft.dpi:\t192"
// lines): the dpi over 96, rounded down, at least 1; 1 when the resources name no dpi.
int DesktopScaleFromResources(std::string_view resources);

// The whole factor a window opens at: the desktop's scale, or the largest whole factor at
// which the frame fits the `workW` x `workH` work area when the scale does not; at least 1.
int OpeningFactor(int desktopScale, int workW, int workH, int frameW, int frameH);

} // namespace pondlark
