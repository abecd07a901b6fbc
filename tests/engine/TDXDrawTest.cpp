#include "engine/TDXDraw.h"
#include "engine/Errors.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pondlark;

namespace {
struct Recorder : IDXDrawListener {
    std::vector<TDXDrawNotifyType> seen;
    void DXDrawNotify(TDXDraw&, TDXDrawNotifyType t) override { seen.push_back(t); }
};

// A display with the game's font and a surface of w × h.
std::unique_ptr<TDXDraw> TextDisplay(HeadlessPlatform& p, int w, int h) {
    auto d = std::make_unique<TDXDraw>(p, PONDLARK_GAME_DIR "/Data/GameFont.otf");
    d->SetSurfaceWidth(w);
    d->SetSurfaceHeight(h);
    d->Initialize();
    return d;
}

int CountNonBlack(const TDirectDrawSurface& s, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            n += s.Pixel(x, y) != 0;
    return n;
}

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
    HeadlessPlatform p;
    const auto d = TextDisplay(p, 800, 600);
    TDirectDrawSurface& s = *d->Surface();
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
    HeadlessPlatform p;
    const auto d = TextDisplay(p, 800, 600);
    TDirectDrawSurface& s = *d->Surface();
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

TEST(TDXDraw, OutlinedTextKeepsItsColourInsideADarkRim) {
    // Over a bright ground, plain text leaves the ground as it was around the letters; outlined
    // text darkens a rim around them and keeps its own colour inside.
    for (const bool outlined : {false, true}) {
        SCOPED_TRACE(outlined ? "outlined" : "plain");
        HeadlessPlatform p;
        const auto d = TextDisplay(p, 200, 60);
        TDirectDrawSurface& s = *d->Surface();
        constexpr uint32_t kGround = 0xC0E0C0;
        s.Fill(kGround);
        auto& c = s.Canvas();
        c.Font.Color = RGBColor(255, 255, 0);
        c.Font.Size = 15;
        c.Font.Outlined = outlined;
        c.TextOut(20, 10, "Level: 1");
        c.Release();
        int yellow = 0, dark = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                const uint32_t v = s.Pixel(x, y);
                yellow += v == 0xFFFF00;
                dark += ((v >> 8) & 0xFF) < 0x60; // far darker than both ground and text
            }
        EXPECT_GT(yellow, 30);
        if (outlined)
            EXPECT_GT(dark, 100);
        else
            EXPECT_EQ(dark, 0);
    }
}

TEST(TDXDraw, TextCutByAnEdgeShowsThePartThatFalls) {
    // Drawn over an edge of a 120 x 40 display, a text shows exactly what the same text shows
    // on a display 100 pixels larger on every side, in the part the two share.
    HeadlessPlatform p;
    const auto small = TextDisplay(p, 120, 40);
    const auto large = TextDisplay(p, 320, 240);
    for (const auto& [x, y] : {std::pair{-15, 10}, {90, 10}, {20, -12}, {20, 28}, {-20, -15}}) {
        SCOPED_TRACE(testing::Message() << "at " << x << ", " << y);
        for (TDirectDrawSurface* s : {small->Surface(), large->Surface()}) {
            s->Fill(0x405060);
            auto& c = s->Canvas();
            c.Font.Color = RGBColor(255, 255, 0);
            c.Font.Size = 20;
            c.Font.Outlined = true;
            const int shift = s == large->Surface() ? 100 : 0;
            c.TextOut(x + shift, y + shift, "Edge");
            c.Release();
        }
        int differ = 0, text = 0;
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 120; ++px) {
                const uint32_t v = small->Surface()->Pixel(px, py);
                differ += v != large->Surface()->Pixel(px + 100, py + 100);
                text += v != 0x405060;
            }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(text, 20) << "some of the text falls on the display";
    }
}
