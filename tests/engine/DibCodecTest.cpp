#include "engine/DibCodec.h"
#include "engine/Errors.h"

#include <gtest/gtest.h>

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
