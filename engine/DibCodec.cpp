#include "engine/DibCodec.h"

#include "engine/Errors.h"
#include "platform/ByteSpan.h"

#include <algorithm>
#include <array>
#include <bit>

namespace pondlark {

namespace {

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(kDibIsInvalid);
}

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

// One channel of a BI_BITFIELDS pixel, widened to 8 bits.
struct MaskChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit MaskChannel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::countr_one(m >> shift);
    }
    uint32_t Get(uint32_t v) const {
        if (bits == 0) return 0;
        uint32_t c = (v & mask) >> shift;
        c &= (bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1);
        if (bits >= 8) return c >> (bits - 8);
        // Repeat the bits so that full scale maps to 255.
        uint32_t out = 0;
        int have = 0;
        while (have < 8) {
            out = (out << bits) | c;
            have += bits;
        }
        return out >> (have - 8);
    }
};

// A channel of at most 8 bits read through a table of its values: pictures are hundreds of
// thousands of pixels, and the bit repeating above is the slow part of each.
struct FastChannel {
    MaskChannel channel;
    bool small = false; // at most 8 bits: read through `table`
    std::array<uint8_t, 256> table{};
    explicit FastChannel(uint32_t m) : channel(m) {
        small = channel.bits <= 8;
        if (!small) return;
        for (uint32_t c = 0; c < (1u << channel.bits); ++c)
            table[c] = static_cast<uint8_t>(channel.Get(c << channel.shift));
    }
    uint32_t Small(uint32_t v) const { return table[(v & channel.mask) >> channel.shift]; }
    uint32_t Get(uint32_t v) const { return small ? Small(v) : channel.Get(v); }
};

// The codes must end with their end-of-bitmap and keep inside the stored rows: a run may reach
// into a row's padding (some encoders code whole stored rows; those pixels are dropped), nothing
// may reach past it or above the top row. Codes that stop short are damage, not blank rows.
void DecodeRle(TByteReader& in, int width, int height, bool four, std::vector<uint8_t>& index) {
    const int bitsPerPixel = four ? 4 : 8;
    const int64_t storedWidth = ((int64_t{width} * bitsPerPixel + 31) / 32) * 32 / bitsPerPixel;
    int64_t x = 0, y = 0; // y counts from the bottom row
    // Moves past a run of `count` pixels; returns where its visible part ends.
    auto advance = [&](int count) {
        if (y >= height || x + count > storedWidth) Invalid();
        x += count;
        return std::min<int64_t>(x, width);
    };
    // The stored row `y` (the index runs from the top row down).
    auto row = [&]() -> uint8_t* {
        return index.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width);
    };
    for (;;) {
        const uint8_t count = in.U8();
        const uint8_t value = in.U8();
        if (count > 0) {
            const int64_t from = x, to = advance(count);
            uint8_t* out = row();
            if (!four) {
                std::fill(out + from, out + std::max(from, to), value);
                continue;
            }
            for (int64_t c = from; c < to; ++c)
                out[c] = static_cast<uint8_t>(((c - from) & 1) ? (value & 0x0F) : (value >> 4));
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            if (++y > height) Invalid();
            break;
        case 1: // end of bitmap
            return;
        case 2: { // delta
            x += in.U8();
            y += in.U8();
            if (x > storedWidth || y > height) Invalid();
            break;
        }
        default: { // absolute run of `value` pixels, padded to a 16-bit boundary
            const int n = value;
            const int bytes = four ? (n + 1) / 2 : n;
            const auto codes = in.Bytes(static_cast<uint64_t>(bytes + (bytes & 1)));
            const int64_t from = x, to = advance(n);
            uint8_t* out = row();
            for (int64_t c = from; c < to; ++c) {
                const auto i = static_cast<size_t>(c - from);
                out[c] = four ? static_cast<uint8_t>((i & 1) ? (codes[i / 2] & 0x0F)
                                                             : (codes[i / 2] >> 4))
                              : codes[i];
            }
            break;
        }
        }
    }
}

} // namespace

namespace {

struct TDibHeader {
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = BI_RGB, colorsUsed = 0;
    bool core = false, topDown = false;
};

// The header of a packed DIB, checked for everything the decoder relies on: a size within
// kMaxDibPixels and a bit count and compression that go together.
TDibHeader ReadHeader(TByteReader& in) {
    TDibHeader h;
    const uint32_t headerSize = in.U32();
    if (headerSize == 40) {
        h.width = in.I32();
        h.height = in.I32();
        in.U16(); // planes
        h.bits = in.U16();
        h.compression = in.U32();
        in.Skip(12); // image size, resolution
        h.colorsUsed = in.U32();
        in.U32(); // important colours
    } else if (headerSize == 12) {
        h.core = true;
        h.width = in.U16();
        h.height = in.U16();
        in.U16();
        h.bits = in.U16();
        if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24) Invalid();
    } else {
        Invalid();
    }

    h.topDown = h.height < 0;
    if (h.topDown) h.height = -h.height;
    if (h.width <= 0 || h.height <= 0 || h.width * h.height > kMaxDibPixels) Invalid();
    switch (h.compression) {
    case BI_RGB:
        if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 &&
            h.bits != 32)
            Invalid();
        break;
    case BI_RLE8:
        if (h.bits != 8 || h.topDown) Invalid();
        break;
    case BI_RLE4:
        if (h.bits != 4 || h.topDown) Invalid();
        break;
    case BI_BITFIELDS:
        if (h.bits != 16 && h.bits != 32) Invalid();
        break;
    default:
        Invalid();
    }
    return h;
}

} // namespace

int64_t DibPixelCount(std::span<const uint8_t> dib) {
    if (dib.empty()) return 0;
    TByteReader in(dib, &Invalid);
    const TDibHeader h = ReadHeader(in);
    return h.width * h.height;
}

TDibImage DecodeDib(std::span<const uint8_t> dib) {
    TDibImage img;
    if (dib.empty()) return img;
    TByteReader in(dib, &Invalid);
    const TDibHeader header = ReadHeader(in);
    const int64_t width = header.width, height = header.height;
    const int bits = header.bits;
    const uint32_t compression = header.compression, colorsUsed = header.colorsUsed;
    const bool core = header.core, topDown = header.topDown;

    uint32_t masks[3] = {0, 0, 0};
    if (compression == BI_BITFIELDS)
        for (uint32_t& m : masks)
            m = in.U32();
    else if (bits == 16)
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    else if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;

    if (bits <= 8) {
        uint64_t n = colorsUsed ? colorsUsed : (1u << bits);
        if (n > 256) n = 256;
        const int entry = core ? 3 : 4;
        auto table = in.Bytes(n * entry);
        img.Palette.resize(static_cast<size_t>(n));
        for (size_t i = 0; i < n; ++i)
            img.Palette[i] = static_cast<uint32_t>(table[i * entry]) |
                             (static_cast<uint32_t>(table[i * entry + 1]) << 8) |
                             (static_cast<uint32_t>(table[i * entry + 2]) << 16);
    } else if (colorsUsed) {
        in.Skip(uint64_t{colorsUsed} * 4); // an optional table that only helps palette displays
    }

    img.Width = static_cast<int>(width);
    img.Height = static_cast<int>(height);
    img.BitCount = bits;
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    img.Pixels.assign(w * h, 0);
    // Every index a stored pixel can hold has an entry; those past the palette are black.
    std::array<uint32_t, 256> lut{};
    for (size_t i = 0; i < img.Palette.size() && i < lut.size(); ++i)
        lut[i] = img.Palette[i];

    if (compression == BI_RLE8 || compression == BI_RLE4) {
        std::vector<uint8_t> index(w * h, 0);
        DecodeRle(in, img.Width, img.Height, compression == BI_RLE4, index);
        for (size_t i = 0; i < index.size(); ++i)
            img.Pixels[i] = lut[index[i]];
        return img;
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    auto rows = in.Bytes(stride * h);
    const FastChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    // One loop per depth: the depth is the same for every pixel of the picture.
    for (size_t row = 0; row < h; ++row) {
        const uint8_t* src = rows.data() + (topDown ? row : h - 1 - row) * stride;
        uint32_t* dst = img.Pixels.data() + row * w;
        switch (bits) {
        case 1:
            for (size_t x = 0; x < w; ++x)
                dst[x] = lut[(src[x / 8] >> (7 - x % 8)) & 1];
            break;
        case 4:
            for (size_t x = 0; x < w; ++x)
                dst[x] = lut[(src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F];
            break;
        case 8:
            for (size_t x = 0; x < w; ++x)
                dst[x] = lut[src[x]];
            break;
        case 24:
            for (size_t x = 0; x < w; ++x)
                dst[x] = static_cast<uint32_t>(src[3 * x]) | (src[3 * x + 1] << 8) |
                         (src[3 * x + 2] << 16);
            break;
        case 16:
            if (red.small && green.small && blue.small) {
                for (size_t x = 0; x < w; ++x) {
                    const uint32_t v = static_cast<uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
                    dst[x] = (red.Small(v) << 16) | (green.Small(v) << 8) | blue.Small(v);
                }
                break;
            }
            for (size_t x = 0; x < w; ++x) {
                const uint32_t v = static_cast<uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
                dst[x] = (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
            }
            break;
        case 32:
            for (size_t x = 0; x < w; ++x) {
                const uint32_t v = static_cast<uint32_t>(src[4 * x]) | (src[4 * x + 1] << 8) |
                                   (src[4 * x + 2] << 16) |
                                   (static_cast<uint32_t>(src[4 * x + 3]) << 24);
                dst[x] = (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
            }
            break;
        }
    }
    return img;
}

std::vector<uint8_t> EncodeDib(const uint32_t* xrgb, int width, int height, int bitCount) {
    if (width <= 0 || height <= 0 || (bitCount != 16 && bitCount != 24 && bitCount != 32) ||
        int64_t{width} * height > kMaxDibPixels)
        Invalid();
    const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    TByteWriter out;
    out.U32(40);
    out.I32(width);
    out.I32(height);
    out.U16(1);
    out.U16(static_cast<uint16_t>(bitCount));
    out.U32(bitCount == 16 ? BI_BITFIELDS : BI_RGB);
    out.U32(static_cast<uint32_t>(stride * height));
    out.U32(2835); // 72 dpi
    out.U32(2835);
    out.U32(0);
    out.U32(0);
    if (bitCount == 16) {
        out.U32(0xF800);
        out.U32(0x07E0);
        out.U32(0x001F);
    }
    const size_t headerEnd = out.Size();
    out.Data().resize(headerEnd + stride * height, 0);
    for (int row = 0; row < height; ++row) {
        const uint32_t* src = xrgb + static_cast<size_t>(height - 1 - row) * width;
        uint8_t* dst = out.Data().data() + headerEnd + static_cast<size_t>(row) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = src[x];
            const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            switch (bitCount) {
            case 16: {
                const uint32_t v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                dst[2 * x] = static_cast<uint8_t>(v);
                dst[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            }
            case 24:
                dst[3 * x] = static_cast<uint8_t>(b);
                dst[3 * x + 1] = static_cast<uint8_t>(g);
                dst[3 * x + 2] = static_cast<uint8_t>(r);
                break;
            default:
                dst[4 * x] = static_cast<uint8_t>(b);
                dst[4 * x + 1] = static_cast<uint8_t>(g);
                dst[4 * x + 2] = static_cast<uint8_t>(r);
                dst[4 * x + 3] = 0;
                break;
            }
        }
    }
    return std::move(out.Data());
}

} // namespace pondlark
