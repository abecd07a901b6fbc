#include "platform/Presenting.h"
#include "platform/SdlPlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace pondlark;

TEST(FrameMemo, OnlyAChangedFrameDiffersAndAForgottenOneAlways) {
    // 4x3 pixels in rows of 6 (a pitch wider than the frame): what lies past a row's end is
    // never looked at.
    std::vector<uint32_t> frame(6 * 3, 7);
    TFrameMemo memo;
    EXPECT_TRUE(memo.Differs(frame.data(), 4, 3, 6)) << "the first frame";
    EXPECT_FALSE(memo.Differs(frame.data(), 4, 3, 6)) << "the same again";
    frame[5] = 1; // past the first row's end
    EXPECT_FALSE(memo.Differs(frame.data(), 4, 3, 6));
    frame[6 * 2 + 3] = 9; // the last pixel of the last row
    EXPECT_TRUE(memo.Differs(frame.data(), 4, 3, 6));
    EXPECT_FALSE(memo.Differs(frame.data(), 4, 3, 6)) << "the change is remembered";
    frame[6 + 1] = 8; // a middle row: the rows below it are remembered too
    EXPECT_TRUE(memo.Differs(frame.data(), 4, 3, 6));
    frame[6 * 2] = 3;
    EXPECT_TRUE(memo.Differs(frame.data(), 4, 3, 6));
    EXPECT_FALSE(memo.Differs(frame.data(), 4, 3, 6));
    EXPECT_TRUE(memo.Differs(frame.data(), 3, 3, 6)) << "another size";
    memo.Forget();
    EXPECT_TRUE(memo.Differs(frame.data(), 3, 3, 6)) << "forgotten";
}

TEST(WholeNumberScale, OnlyWholeScalesOfTheLetterboxedFrame) {
    const struct {
        int w, h;
        bool whole;
    } cases[] = {
        {800, 600, true},    // 1:1
        {1600, 1200, true},  // 2:1
        {1920, 1200, true},  // 2:1, bars left and right
        {1600, 1300, true},  // 2:1, bars above and below
        {1920, 1080, false}, // 1.8
        {1024, 768, false},  // 1.28
        {1000, 600, true},   // 1:1 with bars
        {640, 480, false},   // smaller
        {0, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeNumberScale(c.w, c.h, 800, 600), c.whole) << c.w << "x" << c.h;
}

TEST(DesktopScale, ReadFromTheDesktopsDpiRoundedDown) {
    const struct {
        const char* resources;
        int scale;
    } cases[] = {
        {"", 1},
        {"Xft.dpi:\t96\n", 1},
        {"Xcursor.size:\t48\nXft.dpi:\t192\nXft.antialias:\t1\n", 2},
        {"Xft.dpi: 288", 3},
        {"Xft.dpi:\t144\n", 1},               // one and a half: a whole factor would overshoot
        {"Xft.dpi:\t192\nXft.dpi:\t96\n", 1}, // the last line wins
        {"Xft.dpi:\tlarge\n", 1},
        {"Xft.dpi:\t-192\n", 1},
        {"Xft.dpi:\t99999999999\n", 1},
        {"Xft.dpix:\t192\n", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopScaleFromResources(c.resources), c.scale) << c.resources;
}

TEST(DesktopScale, TheWindowOpensAtTheLargestWholeFactorThatFits) {
    const struct {
        int scale, workW, workH, factor;
    } cases[] = {
        {1, 3840, 2112, 1}, // a 4K screen at scale 1
        {2, 3840, 2112, 2}, // at scale 2: 1600x1200
        {3, 3840, 2112, 3}, // 2400x1800 still fits
        {4, 3840, 2112, 3}, // 3200x2400 does not: 3
        {2, 1920, 1050, 1}, // a full-HD work area cannot hold 1600x1200
        {2, 700, 500, 1},   // smaller than the frame: 1 all the same
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpeningFactor(c.scale, c.workW, c.workH, 800, 600), c.factor)
            << c.scale << " " << c.workW << "x" << c.workH;
}

TEST(SdlPresent, AFrameEqualToTheOneShownIsNotHandedToTheWindowSystem) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || std::string(driver) != "dummy")
        GTEST_SKIP() << "needs SDL's dummy video driver (SDL_VIDEODRIVER=dummy), as ctest sets";
    setenv("PONDLARK_PRESENT", "shm", 1); // no GL probe in a test
    SdlPlatform sdl;
    unsetenv("PONDLARK_PRESENT");
    std::vector<uint32_t> frame(800 * 600, 0x102030);
    sdl.Present(frame.data(), 800, 600, 800);
    sdl.Present(frame.data(), 800, 600, 800);
    EXPECT_EQ(sdl.FramesShown(), 1u) << "a menu at rest";
    frame[800 * 599 + 799] = 0xffffff;
    sdl.Present(frame.data(), 800, 600, 800);
    EXPECT_EQ(sdl.FramesShown(), 2u);
}
