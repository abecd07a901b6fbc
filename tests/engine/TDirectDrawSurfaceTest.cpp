#include "engine/TDirectDrawSurface.h"

#include <gtest/gtest.h>

using namespace pondlark;

TEST(TDirectDrawSurface, DrawClipsAgainstBothSurfacesAndSkipsTheKey) {
    TDirectDrawSurface src(4, 4), dst(6, 6);
    src.Fill(0x112233);
    src.SetPixel(1, 1, 0xFF00FF);
    src.SetColorKey(0xFF00FF);
    dst.Fill(0x000000);
    dst.Draw(-1, 4, src, src.ClientRect(), true); // hangs off the left and the bottom
    EXPECT_EQ(dst.Pixel(0, 4), 0x112233u);
    EXPECT_EQ(dst.Pixel(2, 5), 0x112233u);
    EXPECT_EQ(dst.Pixel(3, 4), 0x000000u);
    EXPECT_EQ(dst.Pixel(0, 5), 0x000000u) << "keyed source pixel (1,1) lands at (0,5)";
}

TEST(TDirectDrawSurface, LockIsNotReentrant) {
    TDirectDrawSurface s(8, 8);
    ASSERT_NE(s.Lock(s.ClientRect()), nullptr);
    EXPECT_EQ(s.Lock(s.ClientRect()), nullptr);
    s.Unlock();
    EXPECT_NE(s.Lock({2, 2, 4, 4}), nullptr);
    s.Unlock();
    EXPECT_NE(s.Lock(s.ClientRect()), nullptr);
    s.UnlockUnchanged(); // a lock that only read ends as well
    EXPECT_NE(s.Lock(s.ClientRect()), nullptr);
    s.Unlock();
    EXPECT_EQ(s.Lock({9, 9, 12, 12}), nullptr) << "outside the surface";
}

namespace {

// The plain rule a transparent transfer must follow, pixel by pixel.
void ReferenceDraw(std::vector<uint32_t>& dst, int dw, int dh, int x, int y,
                   const TDirectDrawSurface& src, const TRect& r, uint32_t key) {
    for (int sy = r.Top; sy < r.Bottom; ++sy)
        for (int sx = r.Left; sx < r.Right; ++sx) {
            const int dx = x + sx - r.Left, dy = y + sy - r.Top;
            if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
            if (dx < 0 || dy < 0 || dx >= dw || dy >= dh) continue;
            const uint32_t p = src.Pixel(sx, sy);
            if (p != key) dst[static_cast<size_t>(dy) * dw + dx] = p;
        }
}

} // namespace

TEST(TDirectDrawSurface, TransparentDrawMatchesThePixelRuleAtEveryClip) {
    constexpr uint32_t kKey = 0xFF00FF;
    TDirectDrawSurface src(13, 9);
    // Runs of every length, at both edges, rows all key and rows with no key.
    uint32_t seed = 7;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            seed = seed * 1103515245u + 12345u;
            const bool keyed = y == 2 || (y != 5 && (seed >> 16) % 3 == 0);
            src.SetPixel(x, y, keyed ? kKey : (seed >> 8) & 0xFFFFFF);
        }
    src.SetColorKey(kKey);
    const TRect rects[] = {src.ClientRect(), {3, 1, 11, 8}, {-4, -2, 20, 4}, {12, 0, 13, 9}};
    for (const TRect& r : rects)
        for (int y = -10; y <= 12; y += 3)
            for (int x = -14; x <= 16; x += 2) {
                TDirectDrawSurface dst(16, 12);
                dst.Fill(0x0A0B0C);
                std::vector<uint32_t> want(16 * 12, 0x0A0B0C);
                dst.Draw(x, y, src, r, true);
                ReferenceDraw(want, 16, 12, x, y, src, r, kKey);
                for (int py = 0; py < 12; ++py)
                    for (int px = 0; px < 16; ++px)
                        ASSERT_EQ(dst.Pixel(px, py), want[static_cast<size_t>(py) * 16 + px])
                            << "rect " << r.Left << "," << r.Top << " at " << x << "," << y
                            << " pixel " << px << "," << py;
            }
}

TEST(TDirectDrawSurface, TransparentDrawSeesEveryLaterChange) {
    TDirectDrawSurface src(4, 1), dst(4, 1);
    src.Fill(0x000001);
    src.SetColorKey(0x000001);
    auto drawn = [&] {
        dst.Fill(0x777777);
        dst.Draw(0, 0, src, src.ClientRect(), true);
        return std::vector<uint32_t>{dst.Pixel(0, 0), dst.Pixel(1, 0), dst.Pixel(2, 0),
                                     dst.Pixel(3, 0)};
    };
    using V = std::vector<uint32_t>;
    EXPECT_EQ(drawn(), (V{0x777777, 0x777777, 0x777777, 0x777777}));
    src.SetPixel(1, 0, 0x222222);
    EXPECT_EQ(drawn(), (V{0x777777, 0x222222, 0x777777, 0x777777})) << "SetPixel";
    uint32_t* locked = src.Lock({2, 0, 4, 1});
    ASSERT_NE(locked, nullptr);
    locked[0] = locked[1] = 0x333333;
    src.Unlock();
    EXPECT_EQ(drawn(), (V{0x777777, 0x222222, 0x333333, 0x333333})) << "a locked write";
    src.SetColorKey(0x333333);
    EXPECT_EQ(drawn(), (V{0x000001, 0x222222, 0x777777, 0x777777})) << "a new key";
    src.Pixels()[0] = 0x333333;
    src.Changed();
    EXPECT_EQ(drawn(), (V{0x777777, 0x222222, 0x777777, 0x777777})) << "a raw write";
    TDirectDrawSurface patch(1, 1);
    patch.Fill(0x444444);
    src.Draw(3, 0, patch, patch.ClientRect(), false);
    EXPECT_EQ(drawn(), (V{0x777777, 0x222222, 0x777777, 0x444444})) << "drawn onto";
}

TEST(TDirectDrawSurface, OpaqueOnlyWhenEveryPixelOfTheRectangleIsWritten) {
    TDirectDrawSurface s(6, 4);
    s.Fill(0x101010);
    EXPECT_TRUE(s.Opaque(s.ClientRect())) << "no key";
    s.SetPixel(0, 3, 0xFF00FF);
    s.SetPixel(5, 0, 0xFF00FF);
    s.SetColorKey(0xFF00FF);
    struct Case {
        TRect rect;
        bool opaque;
    } cases[] = {
        {{0, 0, 6, 4}, false}, {{0, 0, 5, 3}, true},   {{1, 0, 5, 4}, true},
        {{0, 0, 6, 1}, false}, {{1, 1, 6, 3}, true},   {{0, 3, 1, 4}, false},
        {{2, 2, 2, 3}, false}, {{-1, 0, 3, 2}, false}, {{4, 1, 7, 2}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.Opaque(c.rect), c.opaque)
            << c.rect.Left << "," << c.rect.Top << "," << c.rect.Right << "," << c.rect.Bottom;
}
