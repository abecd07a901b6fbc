// Packs the drawn sheets into the game's graphic archive.
//
// Sprites are mostly key colour, so each one is stored as whichever is smaller: a run-length
// 8-bit DIB (BI_RLE8, a palette of its 255 most used 5-6-5 colours plus the key) or a plain
// 5-6-5 DIB. Full-screen backgrounds stay 5-6-5. That keeps the archive well under 8 MB.
#include "tools/assetgen/pictures/Families.h"

#include "engine/DibCodec.h"
#include "platform/ByteSpan.h"

#include <algorithm>
#include <unordered_map>

namespace pondlark::assetgen {

namespace {

uint16_t To565(uint32_t p) {
    return static_cast<uint16_t>((((p >> 19) & 31) << 11) | (((p >> 10) & 63) << 5) |
                                 ((p >> 3) & 31));
}

uint32_t From565(uint16_t v) {
    const uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// A BI_RLE8 DIB: index 0 is the key; opaque pixels take the nearest of the 255 most used colours.
std::vector<uint8_t> EncodeRle8(const Sheet& s) {
    std::unordered_map<uint16_t, uint32_t> counts;
    for (uint32_t p : s.xrgb)
        if (p != kKeyColour) ++counts[To565(p)];
    std::vector<std::pair<uint32_t, uint16_t>> byUse;
    for (const auto& [c, n] : counts)
        byUse.emplace_back(n, c);
    std::sort(byUse.begin(), byUse.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    if (byUse.size() > 255) byUse.resize(255);
    std::vector<uint32_t> palette{kKeyColour};
    for (const auto& [n, c] : byUse)
        palette.push_back(From565(c));
    std::unordered_map<uint16_t, uint8_t> index;
    const auto nearest = [&](uint16_t c) {
        if (auto it = index.find(c); it != index.end()) return it->second;
        const uint32_t p = From565(c);
        int best = 1;
        long bestD = -1;
        for (size_t i = 1; i < palette.size(); ++i) {
            const long dr = long((p >> 16) & 255) - long((palette[i] >> 16) & 255);
            const long dg = long((p >> 8) & 255) - long((palette[i] >> 8) & 255);
            const long db = long(p & 255) - long(palette[i] & 255);
            const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestD < 0 || d < bestD) bestD = d, best = static_cast<int>(i);
        }
        return index[c] = static_cast<uint8_t>(best);
    };

    std::vector<uint8_t> bits;
    for (int y = s.height - 1; y >= 0; --y) { // bottom-up rows
        int x = 0;
        while (x < s.width) {
            const uint32_t p = s.At(x, y);
            const uint8_t v = p == kKeyColour ? 0 : nearest(To565(p));
            int run = 1;
            while (x + run < s.width && run < 255) {
                const uint32_t q = s.At(x + run, y);
                if ((q == kKeyColour ? 0 : nearest(To565(q))) != v) break;
                ++run;
            }
            bits.push_back(static_cast<uint8_t>(run));
            bits.push_back(v);
            x += run;
        }
        bits.push_back(0);
        bits.push_back(y == 0 ? 1 : 0); // end of bitmap after the top row, else end of line
    }

    TByteWriter dib;
    dib.U32(40);
    dib.U32(static_cast<uint32_t>(s.width));
    dib.U32(static_cast<uint32_t>(s.height));
    dib.U16(1);
    dib.U16(8);
    dib.U32(1); // BI_RLE8
    dib.U32(static_cast<uint32_t>(bits.size()));
    dib.U32(0);
    dib.U32(0);
    dib.U32(256);
    dib.U32(0);
    palette.resize(256, 0);
    for (uint32_t c : palette)
        dib.U32(c & 0xFFFFFF); // blue, green, red, 0
    dib.Bytes(bits);
    return std::move(dib.Data());
}

} // namespace

std::vector<PictureEntry> ToPictureEntries(const std::vector<Sheet>& sheets) {
    std::vector<PictureEntry> entries;
    entries.reserve(sheets.size());
    for (const Sheet& s : sheets) {
        PictureEntry e;
        e.name = s.name;
        e.patternWidth = s.frameWidth;
        e.patternHeight = s.frameHeight;
        e.transparent = true;
        e.transparentColor = kKeyColour; // clFuchsia: the same value in either byte order
        // 5-6-5 matches the game's 16-bit full screen and holds the magenta key exactly.
        e.dib = EncodeDib(s.xrgb.data(), s.width, s.height, 16);
        const bool background = s.width >= 800 && s.height >= 600;
        if (!background) {
            std::vector<uint8_t> rle = EncodeRle8(s);
            if (rle.size() < e.dib.size()) e.dib = std::move(rle);
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

} // namespace pondlark::assetgen
