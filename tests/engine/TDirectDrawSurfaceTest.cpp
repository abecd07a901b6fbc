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
    EXPECT_EQ(s.Lock({9, 9, 12, 12}), nullptr) << "outside the surface";
}
