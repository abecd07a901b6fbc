#include "engine/TDXDraw.h"
#include "engine/Errors.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {
struct Recorder : IDXDrawListener {
    std::vector<TDXDrawNotifyType> seen;
    void DXDrawNotify(TDXDraw&, TDXDrawNotifyType t) override { seen.push_back(t); }
};

int CountNonBlack(const TDirectDrawSurface& s, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            n += s.Pixel(x, y) != 0;
    return n;
}
// An 800 x 600 display with the game's face, headless.
struct TextDisplay {
    HeadlessPlatform platform;
    TDXDraw draw{platform, PONDLARK_GAME_DIR "/Data/GameFont.otf"};
    TextDisplay() {
        draw.SetSurfaceWidth(800);
        draw.SetSurfaceHeight(600);
        draw.Initialize();
    }
    TDirectDrawSurface& Surface() { return *draw.Surface(); }
};
} // namespace

TEST(TDXDraw, EffectiveOptionsOfWindowAndFullScreen) {
    HeadlessPlatform p;
    TDXDraw d(p, "");
    TDXDrawOptions form{doAllowReboot, doWaitVBlank,   doAllowPalette256, doStretch,     doCenter,
                        doFlip,        doRetainedMode, doHardware,        doSelectDriver};
    d.SetOptions(form);
    EXPECT_EQ(d.NowOptions(), (TDXDrawOptions{doWaitVBlank, doStretch, doCenter}));
    form.Add(doFullScreen);
    d.SetOptions(form);
    EXPECT_EQ(d.NowOptions(), (TDXDrawOptions{doFullScreen, doAllowReboot, doWaitVBlank,
                                              doAllowPalette256, doStretch, doCenter, doFlip}));
}

TEST(TDXDraw, InitializeNotifiesInOrderAndFinalizeReleases) {
    HeadlessPlatform p;
    Recorder r; // outlives the display, which still tells it of its destruction
    TDXDraw d(p, "");
    d.RegisterNotifyEvent(&r);
    d.SetSurfaceWidth(800);
    d.SetSurfaceHeight(600);
    EXPECT_FALSE(d.CanDraw());
    d.Initialize();
    ASSERT_TRUE(d.CanDraw());
    EXPECT_EQ(d.Surface()->Width(), 800);
    d.Finalize();
    EXPECT_FALSE(d.CanDraw());
    using T = TDXDrawNotifyType;
    EXPECT_EQ(r.seen,
              (std::vector<T>{T::Initializing, T::SetSurfaceSize, T::Initialize,
                              T::InitializeSurface, T::Restore, T::FinalizeSurface, T::Finalize}));
}

TEST(TDXDraw, RefusedFullScreenRaisesAndLeavesTheDisplayReleased) {
    HeadlessPlatform p;
    p.RefuseFullScreen(true);
    TDXDraw d(p, "");
    d.SetOptions({doFullScreen});
    d.SetDisplayWidth(800);
    d.SetDisplayHeight(600);
    d.SetDisplayBitCount(16);
    try {
        d.Initialize();
        FAIL() << "expected an error";
    } catch (const EDXDrawError& e) {
        EXPECT_STREQ(e.what(), "Display mode cannot be changed (800x600 16bit)");
    }
    EXPECT_FALSE(d.Initialized());
    EXPECT_FALSE(d.CanDraw());
    EXPECT_THROW(d.SetDisplayBitCount(15), EDXDrawError);
}

TEST(TDXDraw, FlipInFullScreenPresentsNothingWhileInTheBackground) {
    HeadlessPlatform p;
    TDXDraw d(p, "");
    d.SetOptions({doFullScreen});
    d.SetDisplayWidth(800);
    d.SetDisplayHeight(600);
    d.Initialize();
    d.Flip();
    EXPECT_EQ(p.PresentCount(), 1);
    p.Focus(false);
    d.Flip();
    EXPECT_EQ(p.PresentCount(), 1);
}

TEST(TDXDraw, TextLandsOnTheSurfaceAndSurvivesRelease) {
    TextDisplay display;
    TDirectDrawSurface& s = display.Surface();
    s.Fill(0);
    auto& c = s.Canvas();
    c.Font.Color = RGBColor(255, 255, 0);
    c.Font.Size = 25;
    c.TextOut(300, 290, "Level 1");
    const int width = c.TextWidth("Level 1");
    c.Release();
    c.TextOut(100, 100, "Pause");
    c.Release();
    EXPECT_GT(width, 40);
    EXPECT_GT(CountNonBlack(s, {300, 290, 300 + width, 330}), 100);
    EXPECT_GT(CountNonBlack(s, {100, 100, 200, 140}), 100) << "second text after Release";
    EXPECT_EQ(CountNonBlack(s, {0, 400, 800, 600}), 0) << "nothing drawn elsewhere";
    // Pure yellow somewhere inside the glyphs.
    bool yellow = false;
    for (int y = 290; y < 330 && !yellow; ++y)
        for (int x = 300; x < 300 + width; ++x)
            yellow |= s.Pixel(x, y) == 0xFFFF00;
    EXPECT_TRUE(yellow);
}

TEST(TDXDraw, ARunawayTextIsMeasuredAndDrawnOnlyAsFarAsALineCanShow) {
    TextDisplay display;
    TDirectDrawSurface& s = display.Surface();
    auto& c = s.Canvas();
    c.Font.Color = RGBColor(255, 255, 0);
    c.Font.Size = 8; // the smallest size of the game: the most characters on one line
    const std::string runaway(1'000'000, 'i');
    const std::string line(400, 'i');
    EXPECT_GT(c.TextWidth(line), 800) << "400 characters already overflow the surface";
    EXPECT_EQ(c.TextWidth(runaway), c.TextWidth(line));
    s.Fill(0);
    c.TextOut(0, 10, line);
    const int drawn = CountNonBlack(s, {0, 0, 800, 40});
    s.Fill(0);
    c.TextOut(0, 10, runaway);
    c.Release();
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(CountNonBlack(s, {0, 0, 800, 40}), drawn);
}
