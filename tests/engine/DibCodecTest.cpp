#include "engine/DibCodec.h"
#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace pondlark;

namespace {
std::vector<uint32_t> Pattern(int w, int h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    return px;
}
// 5-6-5 keeps these exactly: top bits replicated into the low ones.
uint32_t To565(uint32_t p) {
    auto widen = [](uint32_t c, int bits) {
        c >>= 8 - bits;
        return (c << (8 - bits)) | (c >> (2 * bits - 8));
    };
    return widen((p >> 16) & 0xFF, 5) << 16 | widen((p >> 8) & 0xFF, 6) << 8 | widen(p & 0xFF, 5);
}
// A bottom-up RLE8 (or RLE4) DIB of width x height with the palette {black, 0xABCDEF} and
// `codes` as its pixel data.
std::vector<uint8_t> RleDib(int32_t width, int32_t height, bool four, std::vector<uint8_t> codes) {
    std::vector<uint8_t> d(40, 0);
    for (int i = 0; i < 4; ++i) {
        d[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(width >> (8 * i));
        d[8 + static_cast<size_t>(i)] = static_cast<uint8_t>(height >> (8 * i));
    }
    d[0] = 40, d[12] = 1, d[14] = four ? 4 : 8, d[16] = four ? 2 : 1, d[32] = 2;
    d.insert(d.end(), {0, 0, 0, 0, 0xEF, 0xCD, 0xAB, 0});
    d.insert(d.end(), codes.begin(), codes.end());
    return d;
}
} // namespace

TEST(DibCodec, EncoderRoundTripsThroughTheDecoder) {
    for (int bits : {16, 24, 32}) {
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {7, 5}}) { // odd widths need row padding
            const auto px = Pattern(w, h);
            const TDibImage img = DecodeDib(EncodeDib(px.data(), w, h, bits));
            ASSERT_EQ(img.Width, w);
            ASSERT_EQ(img.Height, h);
            EXPECT_EQ(img.BitCount, bits);
            for (size_t i = 0; i < px.size(); ++i)
                ASSERT_EQ(img.Pixels[i], bits == 16 ? To565(px[i]) : px[i])
                    << bits << " bits, pixel " << i;
        }
    }
}

TEST(DibCodec, EncoderRefusesWhatItCannotWrite) {
    const uint32_t px = 0;
    EXPECT_THROW(EncodeDib(&px, 1, 1, 8), EInvalidGraphic);
    EXPECT_THROW(EncodeDib(&px, 0, 1, 24), EInvalidGraphic);
}

namespace {
std::vector<uint8_t> ReadFixture(const std::string& name) {
    std::ifstream f(std::string(PONDLARK_TEST_DATA) + "/bmp/" + name, std::ios::binary);
    EXPECT_TRUE(f) << name;
    return {std::istreambuf_iterator<char>(f), {}};
}
} // namespace

TEST(DibCodec, DecodesForeignBitmapsExactly) {
    struct Case {
        const char* name;
        int bits;
    };
    for (Case c : {Case{"pal1", 1},
                   {"pal4", 4},
                   {"pal8", 8},
                   {"rle8", 8},
                   {"rle4", 4},
                   {"rgb24", 24},
                   {"rgb32", 32},
                   {"core4", 4},
                   {"core24", 24}}) {
        const auto file = ReadFixture(std::string(c.name) + ".bmp");
        const auto rgb = ReadFixture(std::string(c.name) + ".rgb");
        ASSERT_GT(file.size(), 14u);
        // A .bmp file is a 14-byte file header and then a packed DIB.
        const TDibImage img = DecodeDib(std::span(file).subspan(14));
        EXPECT_EQ(img.BitCount, c.bits) << c.name;
        ASSERT_EQ(static_cast<size_t>(img.Width) * img.Height * 3, rgb.size()) << c.name;
        for (size_t i = 0; i < img.Pixels.size(); ++i) {
            const uint32_t want =
                static_cast<uint32_t>(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
            ASSERT_EQ(img.Pixels[i], want) << c.name << " pixel " << i;
        }
        if (c.bits <= 8) {
            EXPECT_FALSE(img.Palette.empty()) << c.name;
        }
    }
}

TEST(DibCodec, TopDownBitfieldsAndRleEscapes) {
    // 2 x 2, 16 bits, BI_BITFIELDS 5-5-5, height -2 (top row first).
    std::vector<uint8_t> dib = {40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0,
                                16, 0, 3, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0, 0,
                                0,  0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0};
    for (uint32_t m : {0x7C00u, 0x03E0u, 0x001Fu})
        for (int i = 0; i < 4; ++i)
            dib.push_back(static_cast<uint8_t>(m >> (8 * i)));
    for (int p : {0x7C00, 0x03E0, 0x001F, 0x7FFF}) {
        dib.push_back(static_cast<uint8_t>(p));
        dib.push_back(static_cast<uint8_t>(p >> 8));
    }
    const TDibImage img = DecodeDib(dib);
    EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));

    // 3 x 3 RLE8: a delta skips to the middle row, a run fills it into the row's padding (stored
    // rows are 4 bytes; encoders may run into the padding, which is dropped).
    const TDibImage r = DecodeDib(RleDib(3, 3, false, {0, 2, 1, 1, 3, 1, 0, 1}));
    EXPECT_EQ(r.Pixels, (std::vector<uint32_t>{0, 0, 0, 0, 0xABCDEF, 0xABCDEF, 0, 0, 0}));
}

// Codes that stop before their end-of-bitmap or reach outside the stored rows are damage, never
// a picture with blank rows.
TEST(DibCodec, CutShortOrStrayRleIsInvalid) {
    ASSERT_EQ(DecodeDib(RleDib(4, 2, false, {4, 1, 0, 0, 4, 1, 0, 1})).Pixels,
              std::vector<uint32_t>(8, 0xABCDEF));
    ASSERT_EQ(DecodeDib(RleDib(4, 1, true, {4, 0x11, 0, 1})).Pixels,
              std::vector<uint32_t>(4, 0xABCDEF));
    const struct {
        const char* what;
        bool four;
        std::vector<uint8_t> codes;
    } cases[] = {
        {"every row but no end of bitmap", false, {4, 1, 0, 0, 4, 1, 0, 0}},
        {"codes end after the first row", false, {4, 1, 0, 0}},
        {"no codes at all", false, {}},
        {"half a code at the end", false, {4, 1, 0, 0, 4, 1, 0}},
        {"absolute run cut short", false, {0, 4, 1, 1}},
        {"delta cut short", false, {0, 2, 1}},
        {"run past the row", false, {5, 1, 0, 1}},
        {"absolute run past the row", false, {0, 6, 1, 1, 1, 1, 1, 1, 0, 1}},
        {"delta past the right edge", false, {0, 2, 5, 0, 0, 1}},
        {"delta past the top", false, {0, 2, 0, 3, 0, 1}},
        {"line ends past the top", false, {0, 0, 0, 0, 0, 0, 0, 1}},
        {"run above the top row", false, {0, 0, 0, 0, 1, 1, 0, 1}},
        {"RLE4 codes end after the first row", true, {4, 0x11, 0, 0}},
        {"RLE4 run past the row", true, {10, 0x11, 0, 1}},
    };
    for (const auto& c : cases)
        EXPECT_THROW(DecodeDib(RleDib(4, 2, c.four, c.codes)), EInvalidGraphic) << c.what;
}

TEST(DibCodec, HostileHeadersAreInvalid) {
    const auto good = EncodeDib(std::vector<uint32_t>(6, 0x123456).data(), 3, 2, 24);
    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        auto d = good;
        std::copy(bytes.begin(), bytes.end(), d.begin() + static_cast<ptrdiff_t>(at));
        return d;
    };
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"header size 41", patched(0, {41})},
        {"header size 0", patched(0, {0})},
        {"zero width", patched(4, {0, 0, 0, 0})},
        {"negative width", patched(4, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"height INT_MIN", patched(8, {0, 0, 0, 0x80})},
        {"huge picture", patched(4, {0, 0, 0, 0x10})},
        {"bit count 7", patched(14, {7})},
        {"compression 4 (JPEG)", patched(16, {4})},
        {"RLE8 at 24 bits", patched(16, {1})},
        {"rows cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
        {"palette larger than the data",
         [] {
             std::vector<uint8_t> d(40, 0);
             d[0] = 40, d[4] = 1, d[8] = 1, d[12] = 1, d[14] = 8; // 256 entries missing
             return d;
         }()},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_THROW(DecodeDib(bytes), EInvalidGraphic) << what;
    EXPECT_TRUE(DecodeDib({}).Empty()) << "no bytes at all: an empty picture";
}

TEST(DibCodec, AFewBytesOfRleCannotAskForMoreThanThePixelCap) {
    // An RLE8 header and a single "end of bitmap" code: 46 bytes for any size.
    auto rle = [](int32_t width, int32_t height) {
        std::vector<uint8_t> d(40, 0);
        for (int i = 0; i < 4; ++i) {
            d[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(width >> (8 * i));
            d[8 + static_cast<size_t>(i)] = static_cast<uint8_t>(height >> (8 * i));
        }
        d[0] = 40, d[12] = 1, d[14] = 8, d[16] = 1, d[32] = 1;
        d.insert(d.end(), {0, 0, 0, 0, 0, 1});
        return d;
    };
    const auto edge = rle(2048, 2048);
    EXPECT_EQ(DibPixelCount(edge), kMaxDibPixels);
    EXPECT_EQ(DecodeDib(edge).Pixels.size(), static_cast<size_t>(kMaxDibPixels));
    for (const auto& [w, h] : {std::pair{2049, 2048}, {4096, 4096}, {1, 4194305}}) {
        EXPECT_THROW(DibPixelCount(rle(w, h)), EInvalidGraphic) << w << "x" << h;
        EXPECT_THROW(DecodeDib(rle(w, h)), EInvalidGraphic) << w << "x" << h;
    }
    EXPECT_EQ(DibPixelCount({}), 0) << "an empty picture";
    EXPECT_EQ(DibPixelCount(EncodeDib(Pattern(7, 3).data(), 7, 3, 24)), 21);
}
