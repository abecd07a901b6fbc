// Packed device-independent bitmaps: the pixel format of the graphic archive.
//
// A packed DIB is a header (BITMAPINFOHEADER, 40 bytes, or BITMAPCOREHEADER, 12 bytes), three
// 32-bit masks when the compression is BI_BITFIELDS, a colour table (indexed formats: the
// header's colour count, or 2^bits when 0, at most 256 entries of 4 bytes, 3 after a core
// header; other formats: the header's colour count of 4-byte entries, skipped) and the rows,
// each padded to 4 bytes, bottom-up unless the height is negative. BI_RLE8 and BI_RLE4 rows are
// always bottom-up; their codes must reach the end-of-bitmap code and stay inside the stored rows
// (a run into a row's padding is dropped), and an early end-of-bitmap leaves the rest index 0.
//
// The decoder reads only inside its span and checks every size with 64-bit arithmetic; anything
// it cannot read raises EInvalidGraphic "DIB is invalid". Pictures above kMaxDibPixels are
// refused too, so that a 40-byte header (or a kilobyte of RLE codes) cannot demand more than
// 16 MB of pixels; the largest picture of the game is 800 x 600.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pondlark {

inline constexpr int64_t kMaxDibPixels = int64_t{1} << 22; // 2048 x 2048
inline constexpr const char* kDibIsInvalid = "DIB is invalid";

struct TDibImage {
    int Width = 0, Height = 0;
    int BitCount = 0;              // as stored: 1, 4, 8, 16, 24 or 32
    std::vector<uint32_t> Pixels;  // Width * Height, top row first, 0x00RRGGBB
    std::vector<uint32_t> Palette; // the colour table as read, 0x00RRGGBB (empty above 8 bits)
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// An empty span gives an empty image (an archive's empty picture).
TDibImage DecodeDib(std::span<const uint8_t> dib);

// The pixels `DecodeDib` would make of `dib`, from its header alone (0 for an empty span); a
// header it would refuse raises EInvalidGraphic the same way. Lets a caller budget a whole
// archive before it decodes anything.
int64_t DibPixelCount(std::span<const uint8_t> dib);

// A bottom-up BITMAPINFOHEADER DIB of `xrgb` (width * height pixels, top row first, 0x00RRGGBB).
// bitCount 16 writes BI_BITFIELDS with 5-6-5 masks; 24 and 32 write BI_RGB. Other bit counts or
// a non-positive size raise EInvalidGraphic.
std::vector<uint8_t> EncodeDib(const uint32_t* xrgb, int width, int height, int bitCount);

} // namespace pondlark
