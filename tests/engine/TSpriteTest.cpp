#include "engine/TSprite.h"
#include "engine/Errors.h"
#include "engine/TDXImageList.h"
#include "engine/TDXSpriteEngine.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pondlark;

namespace {

// Records what the engine does to it.
class Probe : public TSprite {
public:
    Probe(TSprite* parent, std::vector<std::string>& log, std::string name, int size = 10)
        : TSprite(parent), log_(log), name_(std::move(name)) {
        Width = Height = size;
    }
    std::function<void(TSprite&, bool&)> onHit;
    std::function<void()> onStep;
    void Render() override { log_.push_back(name_); }
    void Step(int) override {
        log_.push_back("step " + name_);
        if (onStep) onStep();
    }
    void Hit(TSprite& other, bool& done) override {
        log_.push_back("hit " + static_cast<Probe&>(other).name_);
        if (onHit) onHit(other, done);
    }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

struct EngineFixture : ::testing::Test {
    TDirectDrawSurface surface{100, 80};
    TSpriteEngine engine;
    std::vector<std::string> log;
    void SetUp() override { engine.SetSurface(&surface); }
    Probe* Make(TSprite* parent, const std::string& name, int size = 10) {
        return new Probe(parent, log, name, size);
    }
};

} // namespace

TEST_F(EngineFixture, EqualDepthDrawsTheLaterSpriteBeneath) {
    Make(&engine, "a");
    Make(&engine, "b");
    auto* c = Make(&engine, "c");
    c->SetZ(-1);
    c->SetZ(-1); // same value: keeps its place
    Make(&engine, "d")->SetZ(5);
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "a", "d"}));
    EXPECT_EQ(engine.DrawnCount(), 4);
    EXPECT_EQ(engine.Child(2), c) << "children keep insertion order";
}

TEST_F(EngineFixture, HiddenAndFrozenSubtrees) {
    auto* parent = Make(&engine, "p");
    Make(parent, "kid");
    auto* far = Make(&engine, "far");
    far->X = 500; // off the surface: not rendered, but its children are visited
    auto* near = Make(far, "near");
    near->X = -500;
    parent->Visible = false;
    parent->Movable = false;
    engine.Move(16);
    engine.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"step far", "step near", "near"}));
    EXPECT_EQ(engine.DrawnCount(), 1);
}

TEST_F(EngineFixture, SpritesAddedDuringAPassWaitForTheNext) {
    auto* a = Make(&engine, "a");
    a->onStep = [&] {
        if (engine.ChildCount() < 3) Make(&engine, "late");
    };
    engine.Move(16);
    EXPECT_EQ(log, (std::vector<std::string>{"step a"}));
    log.clear();
    engine.Move(16);
    EXPECT_EQ(log, (std::vector<std::string>{"step a", "step late"}));
    EXPECT_EQ(engine.ChildCount(), 3);
}

TEST(TImageSprite, AnimationSteps) {
    struct Case {
        bool loop;
        int count;
        double pos, speed;
        int ticks;
        double wantPos, wantSpeed;
    };
    const Case cases[] = {
        {false, 4, 0, 0.5, 16, 3, 0},         // runs past the end: holds the last frame
        {true, 4, 3.5, 0.25, 4, 0.5, 0.25},   // wraps
        {true, 0, 2, 1, 16, 0, 1},            // nothing to loop over
        {true, 4, 0.5, -0.25, 4, 3.5, -0.25}, // wraps backwards to a positive remainder
        {false, 4, 1, -0.25, 8, 0, 0},        // runs before the start
        {false, 0, 0, 0, 16, 0, 0},           // no frames: -1 first, then back to 0
    };
    TSpriteEngine engine;
    for (const Case& c : cases) {
        TImageSprite s(nullptr);
        s.FrameLoop = c.loop;
        s.FrameCount = c.count;
        s.FramePos = c.pos;
        s.FrameSpeed = c.speed;
        s.Step(c.ticks);
        EXPECT_DOUBLE_EQ(s.FramePos, c.wantPos) << c.loop << " " << c.count << " " << c.pos;
        EXPECT_DOUBLE_EQ(s.FrameSpeed, c.wantSpeed) << c.loop << " " << c.count << " " << c.pos;
    }
}

TEST_F(EngineFixture, CheckHitsStopRules) {
    enum Stop { None, SetDone, MarkSelfDead, NotCollidable };
    for (Stop stop : {None, SetDone, MarkSelfDead, NotCollidable}) {
        engine.Clear();
        log.clear();
        auto* s = Make(&engine, "s");
        auto* own = Make(s, "own"); // a sprite hits its own children
        own->X = 2;
        Make(&engine, "t1")->X = 5;
        auto* t2 = Make(&engine, "t2");
        t2->X = 9;
        Make(t2, "t2kid")->X = 0;      // absolute 9
        Make(&engine, "edge")->X = 10; // shares an edge only
        s->onHit = [&](TSprite&, bool& done) {
            switch (stop) {
            case SetDone:
                done = true;
                break;
            case MarkSelfDead:
                s->MarkDead();
                break;
            case NotCollidable:
                s->Collidable = false;
                break;
            case None:
                break;
            }
        };
        const int hits = s->CheckHits();
        if (stop == None) {
            EXPECT_EQ(hits, 4);
            EXPECT_EQ(log, (std::vector<std::string>{"hit own", "hit t1", "hit t2", "hit t2kid"}));
        } else {
            EXPECT_EQ(hits, 1) << stop;
            EXPECT_EQ(log, (std::vector<std::string>{"hit own"})) << stop;
        }
    }
}

TEST_F(EngineFixture, DyingSpritesTestNothingButAreStillHit) {
    auto* s = Make(&engine, "s");
    auto* t = Make(&engine, "t");
    auto* ghost = Make(&engine, "ghost");
    ghost->Collidable = false;
    Make(ghost, "under ghost"); // not visited: its parent is not collidable
    t->MarkDead();
    EXPECT_EQ(s->CheckHits(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"hit t"}));
    s->MarkDead();
    EXPECT_EQ(s->CheckHits(), 0);
}

TEST_F(EngineFixture, MarkDeadAndSweep) {
    auto* a = Make(&engine, "a");
    Make(a, "a1");
    Make(a, "a2");
    auto* b = Make(&engine, "b");
    EXPECT_EQ(engine.SpriteCount(), 4);
    a->MarkDead();
    a->MarkDead();
    b->MarkDead();
    EXPECT_EQ(engine.DeadList().size(), 2u);
    engine.Sweep();
    EXPECT_EQ(engine.SpriteCount(), 0);
    EXPECT_EQ(engine.ChildCount(), 0);
    EXPECT_TRUE(engine.DeadList().empty());
    // A dead sprite freed through its parent's Clear leaves the dead list too.
    auto* c = Make(&engine, "c");
    auto* c1 = Make(c, "c1");
    c1->MarkDead();
    c->Clear();
    EXPECT_TRUE(engine.DeadList().empty());
    engine.Sweep();
    EXPECT_EQ(engine.SpriteCount(), 1);
}

TEST_F(EngineFixture, ChildOutsideTheListRaises) {
    try {
        engine.Child(0);
        FAIL();
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)");
    }
    Make(&engine, "a");
    EXPECT_THROW(engine.Child(1), ESpriteError);
    EXPECT_THROW(engine.Child(-1), ESpriteError);
}

// ---- pictures ----------------------------------------------------------------------------------

namespace {

constexpr uint32_t kKey = 0xFF00FF;

// A w x h picture of one colour.
TDibImage Plain(int w, int h, uint32_t colour) {
    TDibImage img;
    img.Width = w;
    img.Height = h;
    img.BitCount = 24;
    img.Pixels.assign(static_cast<size_t>(w) * h, colour);
    return img;
}

struct PictureFixture : ::testing::Test {
    HeadlessPlatform platform;
    TDXDraw display{platform, ""};
    TDXImageList list;
    TSpriteEngine engine;
    void SetUp() override {
        display.SetSurfaceWidth(200);
        display.SetSurfaceHeight(150);
        display.Initialize();
        list.SetDXDraw(&display);
        engine.SetSurface(display.Surface());
    }
    // Frames of `frame` x `frame` side by side, all transparent except the listed
    // (frame, x, y) pixels.
    TPictureCollectionItem& Strip(int frames, int frame,
                                  std::initializer_list<std::array<int, 3>> opaque) {
        TDibImage img;
        img.Width = frames * frame;
        img.Height = frame;
        img.BitCount = 24;
        img.Pixels.assign(static_cast<size_t>(img.Width) * img.Height, kKey);
        for (auto [f, x, y] : opaque)
            img.Pixels[static_cast<size_t>(y) * img.Width + f * frame + x] = 0x00FF00;
        auto& item = list.Items.Add();
        item.PatternWidth = frame;
        item.PatternHeight = frame;
        item.SetTransparentColor(ColorOfPixel(kKey));
        item.SetPicture(img);
        item.Restore();
        return item;
    }
};

} // namespace

TEST_F(PictureFixture, PixelTestOnFramesFromTheMiddleOfAStrip) {
    // 40 frames of 20 x 20 make chunks of 520 pixels; frames 26 and 27 sit on the second chunk.
    auto& a = Strip(40, 20, {{26, 15, 5}, {27, 0, 0}});
    auto& b = Strip(40, 20, {{13, 3, 5}, {14, 9, 9}});
    ASSERT_NE(a.PatternSurface(26), a.PatternSurface(0));
    struct Case {
        int frameA, frameB;
        double bx, by;
        bool hit;
    };
    const Case cases[] = {
        {26, 13, 12, 0, true},  // A(15,5) meets B(3,5)
        {26, 13, 11, 0, false}, // overlapping rectangles, only transparent pairs
        {27, 14, -9, -9, true}, // A(0,0) meets B(9,9)
        {27, 14, -9, -8, false}, {26, 13, 20, 0, false}, // rectangles touch at an edge only
    };
    for (const Case& c : cases) {
        TImageSprite sa(&engine), sb(&engine);
        for (TImageSprite* s : {&sa, &sb})
            s->Width = s->Height = 20;
        sa.Image = &a;
        sb.Image = &b;
        sa.FrameStart = c.frameA;
        sb.FrameStart = c.frameB;
        sb.X = c.bx;
        sb.Y = c.by;
        sa.PixelExact = true;
        EXPECT_EQ(PixelsOverlap(sa, sb), c.hit) << c.frameA << " vs " << c.frameB << " at " << c.bx;
        EXPECT_EQ(sa.CheckHits() == 1, c.hit && OverlapRect(sa.Extent(), sb.Extent()));
        EXPECT_TRUE(sb.Touches(sa)) << "B is not pixel-exact: its own direction always agrees";
    }
}

TEST_F(PictureFixture, PixelTestWithinOneSurfaceAndWhenLocked) {
    auto& a = Strip(3, 10, {{0, 5, 5}, {2, 5, 5}});
    TImageSprite s1(&engine), s2(&engine);
    for (TImageSprite* s : {&s1, &s2}) {
        s->Width = s->Height = 10;
        s->Image = &a;
        s->PixelExact = true;
    }
    s2.FrameStart = 2;
    ASSERT_EQ(a.PatternSurface(0), a.PatternSurface(2));
    EXPECT_TRUE(PixelsOverlap(s1, s2));
    a.PatternSurface(0)->Lock({0, 0, 1, 1});
    EXPECT_FALSE(PixelsOverlap(s1, s2)) << "a failed lock reports no hit";
    a.PatternSurface(0)->Unlock();
    s2.FrameStart = 3; // outside the patterns: an empty rectangle
    EXPECT_FALSE(PixelsOverlap(s1, s2));
}

TEST_F(PictureFixture, TiledBackgroundRows) {
    TDibImage img = Plain(50, 64, 0x0000FF);
    for (int x = 0; x < 50; ++x)
        img.Pixels[static_cast<size_t>(x)] = 0xFFFFFF; // top row marks
    auto& item = list.Items.Add();
    item.SetPicture(img);
    item.Transparent = false;
    item.Restore();
    auto* bg = new TBackgroundSprite(&engine);
    bg->Image = &item;
    bg->Tiled = true;
    bg->SetMapSize(1, 1);
    bg->Y = 37;
    display.Surface()->Fill(0);
    engine.Draw();
    const auto* s = display.Surface();
    // Row tops at 37 - 64 (off the surface), 37, 101: the whole 150-high surface is covered.
    for (int y : {37, 101})
        EXPECT_EQ(s->Pixel(10, y), 0xFFFFFFu) << y;
    for (int y : {0, 36, 38, 100, 149})
        EXPECT_EQ(s->Pixel(199, y), 0x0000FFu) << y;
    // Untiled, the single cell covers 50 x 64 at (0, 37) only.
    bg->Tiled = false;
    display.Surface()->Fill(0);
    engine.Draw();
    EXPECT_EQ(s->Pixel(10, 37), 0xFFFFFFu);
    EXPECT_EQ(s->Pixel(49, 100), 0x0000FFu);
    EXPECT_EQ(s->Pixel(50, 100), 0u);
    EXPECT_EQ(s->Pixel(10, 101), 0u);
    EXPECT_EQ(bg->Extent(), (TRect{0, 37, 50, 101}));
}

TEST_F(PictureFixture, BackgroundTouchesOnlySolidCells) {
    const TDibImage img = Plain(10, 10, 0);
    auto& item = list.Items.Add();
    item.SetPicture(img);
    item.Restore();
    auto* bg = new TBackgroundSprite(&engine);
    bg->Image = &item;
    bg->SetMapSize(3, 1);
    bg->SetSolid(1, 0, false);
    TSprite probe(&engine);
    probe.Width = probe.Height = 4;
    struct Case {
        double x;
        bool touches;
    };
    for (Case c :
         {Case{2, true}, Case{13, false}, Case{8, true}, Case{10, false}, Case{17, true}}) {
        probe.X = c.x;
        EXPECT_EQ(bg->Touches(probe), c.touches) << c.x;
    }
    EXPECT_FALSE(bg->Collidable);
    bg->SetMapSize(0, 5);
    EXPECT_TRUE(bg->Touches(probe)) << "an empty map touches everything";
    EXPECT_EQ(bg->Cell(0, 0), -1);
}

TEST_F(PictureFixture, SpriteComponentFollowsTheDisplay) {
    TDXSpriteEngine component;
    component.SetDXDraw(&display);
    EXPECT_EQ(component.Engine.Surface(), display.Surface());
    EXPECT_EQ(component.Engine.Width, 200);
    std::vector<std::string> log;
    new Probe(&component.Engine, log, "p");
    display.Finalize();
    EXPECT_EQ(component.Engine.Surface(), nullptr);
    component.Draw();
    EXPECT_TRUE(log.empty()) << "nothing is drawn while the display is down";
    display.Initialize();
    EXPECT_EQ(component.Engine.Surface(), display.Surface());
    component.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"p"}));
}

TEST_F(PictureFixture, SurfaceCoveredOnlyByAnOpaqueFirstSpriteOverTheWholeSurface) {
    // A 220 x 170 picture, opaque but for one key pixel at (215, 15): off the surface when the
    // sprite stands at (-10, -10), on it when the sprite stands at (-20, -10).
    TDibImage img = Plain(220, 170, 0x204060);
    img.Pixels[15 * 220 + 215] = kKey;
    auto& item = list.Items.Add();
    item.SetTransparentColor(ColorOfPixel(kKey));
    item.SetPicture(img);
    item.Restore();
    struct Case {
        double x, y;
        bool transparent, visible, covered;
    } cases[] = {
        {-10, -10, true, true, true},  {-20, -10, true, true, false},
        {-20, -10, false, true, true}, {-10, -10, true, false, false},
        {-10, 0, true, true, true},    {-10, -25, true, true, false},
        {0, -30, true, true, false},
    };
    for (const Case& c : cases) {
        engine.Clear();
        auto* back = new TImageSprite(&engine);
        back->Image = &item;
        back->Width = 220;
        back->Height = 170;
        back->X = c.x;
        back->Y = c.y;
        back->SetZ(-1);
        back->Visible = c.visible;
        item.Transparent = c.transparent;
        new TImageSprite(&engine); // above it, no picture
        EXPECT_EQ(engine.SurfaceCovered(), c.covered) << c.x << "," << c.y;
        if (!engine.SurfaceCovered()) continue;
        // What the skipped clear would have left is painted over.
        display.Surface()->Fill(0x123456);
        engine.Draw();
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_NE(display.Surface()->Pixel(x, y), 0x123456u) << x << "," << y;
    }
    engine.Clear();
    EXPECT_FALSE(engine.SurfaceCovered()) << "nothing to draw";
}

TEST_F(PictureFixture, ATiledBackdropCoversWhenEveryCellIsOpaque) {
    // Tiles of 30 x 20: the first picture opaque, the second with one key pixel.
    auto tiles = [&](bool withKeyPixel) -> TPictureCollectionItem& {
        TDibImage img = Plain(30, 20, 0x336699);
        if (withKeyPixel) img.Pixels[10 * 30 + 15] = kKey;
        auto& item = list.Items.Add();
        item.SetTransparentColor(ColorOfPixel(kKey));
        item.SetPicture(img);
        item.Restore();
        return item;
    };
    TPictureCollectionItem& opaque = tiles(false);
    TPictureCollectionItem& holed = tiles(true);
    struct Case {
        bool tiled;
        bool holed;
        bool covered;
    } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        engine.Clear();
        auto* bg = new TBackgroundSprite(&engine);
        bg->Image = c.holed ? &holed : &opaque;
        bg->Tiled = c.tiled;
        bg->SetMapSize(2, 1);
        bg->X = -7;
        bg->Y = 13;
        EXPECT_EQ(engine.SurfaceCovered(), c.covered) << c.tiled << " " << c.holed;
        if (!c.covered) continue;
        display.Surface()->Fill(0x123456);
        engine.Draw();
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_NE(display.Surface()->Pixel(x, y), 0x123456u) << x << "," << y;
    }
}
