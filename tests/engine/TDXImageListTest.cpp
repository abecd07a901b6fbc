#include "engine/TDXImageList.h"
#include "engine/ArchiveWriter.h"
#include "engine/Errors.h"
#include "platform/HeadlessPlatform.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

using namespace pondlark;

namespace {

constexpr uint32_t kKey = 0xFF00FF;

// A picture whose pixel at (x, y) encodes its own position, so a pattern's content shows where
// on the picture it was cut from.
TDibImage PositionPicture(int w, int h) {
    TDibImage img;
    img.Width = w;
    img.Height = h;
    img.BitCount = 24;
    img.Pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.Pixels[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>(x << 12 | y);
    return img;
}

struct ImageListFixture : ::testing::Test {
    HeadlessPlatform platform;
    TDXDraw display{platform, ""};
    TDXImageList list;
    void SetUp() override {
        display.Initialize();
        list.SetDXDraw(&display);
    }
    TPictureCollectionItem& AddPicture(int w, int h, int pw, int ph, int skipW = 0, int skipH = 0) {
        TPictureCollectionItem& item = list.Items.Add();
        item.PatternWidth = pw;
        item.PatternHeight = ph;
        item.SkipWidth = skipW;
        item.SkipHeight = skipH;
        item.SetTransparentColor(ColorOfPixel(kKey));
        item.SetPicture(PositionPicture(w, h));
        item.Restore();
        return item;
    }
    // Where a pattern came from on the picture, read from its top-left pixel.
    static std::pair<int, int> Origin(const TPictureCollectionItem& item, int i) {
        const TRect r = item.PatternBox(i);
        const uint32_t p = item.PatternSurface(i)->Pixel(r.Left, r.Top);
        return {static_cast<int>(p >> 12), static_cast<int>(p & 0xFFF)};
    }
};

} // namespace

TEST_F(ImageListFixture, ChunkLayouts) {
    struct Case {
        int w, h, pw, ph, skipW;
        int patterns;
        std::vector<int> probe;       // pattern indexes to check
        std::vector<TRect> boxes;     // their rectangles on their chunk
        std::vector<int> chunkWidths; // width of the chunk each lies on
    };
    const Case cases[] = {
        {256,
         64,
         64,
         64,
         0,
         4,
         {0, 1, 3},
         {{0, 0, 64, 64}, {64, 0, 128, 64}, {192, 0, 256, 64}},
         {256, 256, 256}},
        {1300,
         40,
         100,
         0,
         0,
         13,
         {5, 6, 11, 12},
         {{500, 0, 600, 40}, {0, 0, 100, 40}, {500, 0, 600, 40}, {0, 0, 100, 40}},
         {600, 600, 600, 100}},
        {94,
         20,
         30,
         20,
         2,
         3,
         {0, 1, 2},
         {{0, 0, 30, 20}, {32, 0, 62, 20}, {64, 0, 94, 20}},
         {94, 94, 94}},
        {50, 30, 50, 30, 0, 1, {0}, {{0, 0, 50, 30}}, {50}},
    };
    for (const Case& c : cases) {
        list.Items.Clear();
        TPictureCollectionItem& item = AddPicture(c.w, c.h, c.pw, c.ph, c.skipW);
        ASSERT_EQ(item.PatternCount(), c.patterns) << c.w << "x" << c.h;
        for (size_t i = 0; i < c.probe.size(); ++i) {
            const int k = c.probe[i];
            EXPECT_EQ(item.PatternBox(k), c.boxes[i]) << c.w << " pattern " << k;
            EXPECT_EQ(item.PatternSurface(k)->Width(), c.chunkWidths[i]) << c.w << " pattern " << k;
            // Every frame shows the picture at its own stride position.
            EXPECT_EQ(Origin(item, k).first, k * (item.Width() + c.skipW))
                << c.w << " pattern " << k;
        }
    }
    // Patterns 6..11 of the 1300-wide strip share the second chunk; 12 is alone on the third.
    list.Items.Clear();
    auto& strip = AddPicture(1300, 40, 100, 0);
    EXPECT_EQ(strip.PatternSurface(6), strip.PatternSurface(11));
    EXPECT_NE(strip.PatternSurface(5), strip.PatternSurface(6));
    EXPECT_NE(strip.PatternSurface(11), strip.PatternSurface(12));
}

TEST_F(ImageListFixture, ChunkRowsAndSystemMemory) {
    // 3 x 5 frames of 200 x 200: chunks of 600 x 600 (3 frames a side), the last row 400 high.
    auto& grid = AddPicture(600, 1000, 200, 200);
    ASSERT_EQ(grid.PatternCount(), 15);
    EXPECT_EQ(grid.PatternBox(10), (TRect{200, 0, 400, 200})) << "row 3 starts chunk row 1";
    EXPECT_EQ(Origin(grid, 10), (std::pair{200, 600}));
    EXPECT_EQ(grid.PatternSurface(10)->Height(), 400);

    auto& one = AddPicture(600, 1000, 200, 200);
    one.SystemMemory = true;
    one.Restore();
    EXPECT_EQ(one.PatternBox(10), (TRect{200, 600, 400, 800}));
    EXPECT_EQ(one.PatternSurface(0), one.PatternSurface(14));
}

TEST_F(ImageListFixture, HostileFrameSizesBuildNoPatterns) {
    EXPECT_EQ(AddPicture(10, 10, 4, 4, -4, 0).PatternCount(), 0);
    EXPECT_EQ(AddPicture(10, 10, 20, 4).PatternCount(), 0) << "frame wider than the picture";
}

TEST_F(ImageListFixture, FindIgnoresCaseAndPrefersTheNewest) {
    auto& menu = list.Items.Add();
    menu.SetName("menu");
    EXPECT_EQ(&list.Items.Find("MENU"), &menu);
    auto& again = list.Items.Add();
    again.SetName("Menu");
    EXPECT_EQ(&list.Items.Find("menu"), &again);
    menu.SetName("mEnU"); // renaming makes it the newest of its bucket
    EXPECT_EQ(&list.Items.Find("menu"), &menu);
    list.Items.Delete(menu.Index());
    EXPECT_EQ(&list.Items.Find("menu"), &again);
    EXPECT_EQ(again.Index(), 0);
    try {
        list.Items.Find("bg1");
        FAIL();
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "Image 'bg1' not found");
    }
}

TEST(HashBucket, FollowsTheNameIndexRule) {
    EXPECT_EQ(HashBucket(""), 0);
    EXPECT_EQ(HashBucket("a"), 16);
    EXPECT_EQ(HashBucket("bg1"), (3 * 16 + 'b' + 'g') % 256);
    EXPECT_EQ(HashBucket("MENU"), HashBucket("menu"));
}

TEST_F(ImageListFixture, DrawSkipsTheKeyAndBadIndexes) {
    auto& item = AddPicture(4, 2, 2, 2);
    // Pattern 1's top-left pixel becomes the key colour.
    item.PatternSurface(1)->SetPixel(item.PatternBox(1).Left, 0, kKey);
    TDirectDrawSurface dest(8, 8);
    dest.Fill(0x123456);
    for (int bad : {-1, item.PatternCount()})
        item.Draw(&dest, 0, 0, bad);
    EXPECT_EQ(dest.Pixel(0, 0), 0x123456u) << "out-of-range indexes draw nothing";
    item.Draw(&dest, 6, 6, 1);
    EXPECT_EQ(dest.Pixel(6, 6), 0x123456u) << "keyed pixel skipped";
    EXPECT_EQ(dest.Pixel(7, 6), static_cast<uint32_t>(3 << 12 | 0));
    item.Transparent = false;
    item.Draw(&dest, 6, 6, 1);
    EXPECT_EQ(dest.Pixel(6, 6), kKey);
}

TEST_F(ImageListFixture, NothingIsDrawnBeforeRestoreOrAfterFinalize) {
    auto& item = AddPicture(4, 4, 0, 0);
    TDirectDrawSurface dest(4, 4);
    display.Finalize();
    EXPECT_EQ(item.PatternCount(), 0);
    item.Draw(&dest, 0, 0, 0);
    EXPECT_EQ(dest.Pixel(1, 1), 0u);
    display.Initialize(); // the restore notification rebuilds the surfaces
    ASSERT_EQ(item.PatternCount(), 1);
    item.Draw(&dest, 0, 0, 0);
    EXPECT_EQ(dest.Pixel(1, 1), static_cast<uint32_t>(1 << 12 | 1));
}

TEST_F(ImageListFixture, InitializingOnAClosedDisplayFails) {
    HeadlessPlatform p;
    TDXDraw closed(p, "");
    EXPECT_THROW(list.Items.Initialize(closed), EPictureCollectionError);
}

TEST_F(ImageListFixture, DrawRotatedPlacesTheCornersByTheRule) {
    // A 20 x 10 solid picture turned about its centre; the filled area's extreme pixels must
    // sit at the turned corners.
    TDibImage solid;
    solid.Width = 20, solid.Height = 10, solid.BitCount = 24;
    solid.Pixels.assign(200, 0x00FF00);
    auto& item = list.Items.Add();
    item.SetPicture(solid);
    item.Restore();
    for (int angle : {0, 64, 32, 200}) {
        TDirectDrawSurface dest(100, 100);
        item.DrawRotated(&dest, 50, 50, 20, 10, 0, 0.5, 0.5, angle + 256 * 3);
        const double t = angle * 2 * std::numbers::pi / 256;
        int minX = 100, maxX = -1, minY = 100, maxY = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (dest.Pixel(x, y) == 0x00FF00)
                    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
                    maxY = std::max(maxY, y);
        double eMinX = 1e9, eMaxX = -1e9, eMinY = 1e9, eMaxY = -1e9;
        for (int du : {-10, 10})
            for (int dv : {-5, 5}) {
                const double cx = 50 + std::trunc(du * std::cos(t) - dv * std::sin(t));
                const double cy = 50 + std::trunc(du * std::sin(t) + dv * std::cos(t));
                eMinX = std::min(eMinX, cx), eMaxX = std::max(eMaxX, cx);
                eMinY = std::min(eMinY, cy), eMaxY = std::max(eMaxY, cy);
            }
        // Pixel centres inside the box: the filled span ends within a pixel of each corner.
        EXPECT_NEAR(minX, eMinX, 1.0) << angle;
        EXPECT_NEAR(maxX + 1, eMaxX, 1.0) << angle;
        EXPECT_NEAR(minY, eMinY, 1.0) << angle;
        EXPECT_NEAR(maxY + 1, eMaxY, 1.0) << angle;
    }
    // Angle 64 is a quarter turn clockwise: the picture's left end goes to the top.
    TDibImage halves = solid;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            halves.Pixels[static_cast<size_t>(y) * 20 + x] = 0xFF0000;
    item.SetPicture(halves);
    item.Restore();
    TDirectDrawSurface dest(100, 100);
    item.DrawRotated(&dest, 50, 50, 20, 10, 0, 0.5, 0.5, 64);
    EXPECT_EQ(dest.Pixel(50, 42), 0xFF0000u);
    EXPECT_EQ(dest.Pixel(50, 57), 0x00FF00u);
}

TEST_F(ImageListFixture, LoadFromFileReadsTheArchiveAndReportsAMissingFile) {
    try {
        list.Items.LoadFromFile("/nonexistent/Graphic.dxg");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"/nonexistent/Graphic.dxg\". ", 0),
                  0u);
    }
    std::vector<uint32_t> px(8 * 4, 0x00FF00);
    PictureEntry e;
    e.name = "bg1";
    e.patternWidth = 4;
    e.dib = EncodeDib(px.data(), 8, 4, 32);
    const auto bytes = WriteGraphicArchive({e});
    list.Items.LoadFromMemory(bytes);
    auto& bg = list.Items.Find("BG1");
    EXPECT_EQ(bg.PatternCount(), 2) << "the display is up, so surfaces are built at once";
    EXPECT_EQ(bg.Width(), 4);
    EXPECT_EQ(bg.Height(), 4);
}

TEST_F(ImageListFixture, BuildColorTableAddsPaletteColoursOnce) {
    TDibImage indexed;
    indexed.Width = indexed.Height = 1;
    indexed.BitCount = 8;
    indexed.Pixels = {0};
    indexed.Palette = {0x102030, 0xFF0000, 0x102030, 0x405060};
    auto& a = list.Items.Add();
    a.SetPicture(indexed);
    auto& deep = list.Items.Add();
    TDibImage truecolour = indexed;
    truecolour.BitCount = 24;
    truecolour.Palette = {0x777777};
    deep.SetPicture(truecolour);
    list.Items.BuildColorTable();
    const auto& t = list.Items.ColorTable;
    EXPECT_EQ(t[7], 0xC0C0C0u);
    EXPECT_EQ(t[249], 0xFF0000u);
    EXPECT_EQ(t[8], 0x102030u) << "first new colour in the lowest free entry";
    EXPECT_EQ(t[9], 0x405060u) << "duplicates and fixed colours are not added again";
    EXPECT_EQ(t[10], 0u);
    EXPECT_EQ(std::count(t.begin(), t.end(), 0x777777u), 0) << "only indexed pictures count";
}

TEST_F(ImageListFixture, SurfacesShowThePictureItselfAndGoWithIt) {
    // Chunked (600 x 40 in frames of 50), whole, and one surface for all frames.
    for (auto [pw, systemMemory] : {std::pair{50, false}, {0, false}, {50, true}}) {
        TPictureCollectionItem& item = list.Items.Add();
        item.PatternWidth = pw;
        item.SystemMemory = systemMemory;
        item.SetPicture(PositionPicture(600, 40));
        item.Restore();
        ASSERT_GT(item.PatternCount(), 0);
        const uint32_t* begin = item.Picture().Pixels.data();
        const uint32_t* end = begin + item.Picture().Pixels.size();
        for (int i = 0; i < item.PatternCount(); ++i) {
            const TDirectDrawSurface* s = item.PatternSurface(i);
            EXPECT_TRUE(s->Pixels() >= begin && s->Pixels() < end) << "pattern " << i;
            EXPECT_EQ(s->Pitch(), 600);
        }
        // A display switch builds the views again over the same pixels.
        list.Items.Finalize();
        list.Items.Initialize(display);
        list.Items.Restore();
        ASSERT_GT(item.PatternCount(), 0);
        EXPECT_EQ(Origin(item, item.PatternCount() - 1), (std::pair{pw ? 550 : 0, 0}));
        // A new picture takes the old views with the old pixels.
        item.SetPicture(PositionPicture(10, 10));
        EXPECT_EQ(item.PatternCount(), 0);
        EXPECT_EQ(item.PatternSurface(0), nullptr);
        TDibImage short_ = PositionPicture(10, 10);
        short_.Pixels.resize(99);
        item.SetPicture(short_);
        item.Restore();
        EXPECT_EQ(item.PatternCount(), 0) << "a picture short of its pixels gets no surfaces";
    }
}

TEST_F(ImageListFixture, AnEarlyLoadDecodesTheFirstPicturesAndTheRestOnFinishing) {
    const std::filesystem::path dir = FreshTestFolder();
    const std::string path = (dir / "Graphic.dxg").string();
    std::vector<PictureEntry> entries;
    for (const char* name : {"menu", "bg1", "frog", "stork"}) {
        PictureEntry e;
        e.name = name;
        const TDibImage picture = PositionPicture(16 + static_cast<int>(entries.size()), 8);
        e.dib = EncodeDib(picture.Pixels.data(), picture.Width, picture.Height, 32);
        entries.push_back(e);
    }
    auto write = [&](const std::vector<PictureEntry>& items) {
        const std::vector<uint8_t> bytes = WriteGraphicArchive(items);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    };
    const std::string_view first[] = {"MENU", "not in the archive"};

    write(entries);
    list.Items.LoadFromFile(path, first);
    ASSERT_EQ(list.Items.Count(), 4);
    EXPECT_TRUE(list.Items.Find("menu").HasPicture());
    EXPECT_GT(list.Items.Find("menu").PatternCount(), 0) << "the display is up";
    EXPECT_FALSE(list.Items.Find("frog").HasPicture()) << "named and laid out, no picture yet";
    EXPECT_EQ(list.Items.Find("frog").PatternCount(), 0);
    EXPECT_TRUE(list.Items.Loading());
    list.Items.BeginChecking();
    // The running scene asks for the frog while it is still being checked: it is decoded on
    // finishing; bg1 and the stork, which no scene has asked for, are checked and released.
    list.Items.BeginScene();
    list.Items.Use("menu");
    EXPECT_EQ(list.Items.Use("frog").PatternCount(), 0) << "not decoded twice";
    list.Items.FinishLoading();
    EXPECT_FALSE(list.Items.Loading());
    for (int i = 0; i < 4; ++i) {
        const TPictureCollectionItem& item = list.Items[i];
        SCOPED_TRACE(item.Name());
        ASSERT_TRUE(item.HasPicture());
        EXPECT_EQ(item.Picture().Width, 16 + i);
        const bool used = i == 0 || i == 2;
        EXPECT_EQ(item.Held(), used);
        EXPECT_EQ(item.PatternCount() > 0, used);
        if (used) {
            EXPECT_EQ(item.Picture().Pixels, PositionPicture(16 + i, 8).Pixels);
        }
    }
    EXPECT_EQ(list.Items.Use("STORK").Picture().Pixels, PositionPicture(19, 8).Pixels);
    EXPECT_GT(list.Items.Find("stork").PatternCount(), 0);
    list.Items.FinishLoading(); // nothing left: returns at once

    // A released picture is read from the file again; a file changed since is refused.
    list.Items.BeginScene();
    list.Items.Use("menu");
    list.Items.ReleaseUnused();
    ASSERT_FALSE(list.Items.Find("frog").Held());
    std::vector<PictureEntry> grown = entries;
    grown.push_back(entries[0]);
    write(grown);
    EXPECT_THROW(list.Items.Use("frog"), EFOpenError);
    EXPECT_FALSE(list.Items.Find("frog").Held());

    // A picture cut short passes the archive's checks and fails only when decoded.
    std::vector<PictureEntry> damaged = entries;
    damaged[2].dib.resize(damaged[2].dib.size() - 8);
    write(damaged);
    list.Items.LoadFromFile(path, first);
    EXPECT_THROW(list.Items.FinishLoading(), EInvalidGraphic);
    EXPECT_FALSE(list.Items.Loading());
    EXPECT_FALSE(list.Items.Find("stork").HasPicture()) << "no picture given after a failure";

    // A new load, and the collection's end, wait for a decoding still running and drop it.
    list.Items.LoadFromFile(path, first);
    list.Items.BeginChecking();
    list.Items.LoadFromFile(path, first);
    list.Items.BeginChecking();
    EXPECT_EQ(list.Items.Count(), 4);
    EXPECT_TRUE(list.Items.Loading());

    // The same load begun early on a thread of its own, before the collection takes it: the
    // first pictures decoded, the others checked later; a file that cannot be read raises what
    // the plain load raises and leaves the items as they were.
    write(entries);
    TEarlyPictures early(path, {"menu"});
    list.Items.LoadFromFile(early);
    EXPECT_TRUE(list.Items.Find("menu").HasPicture());
    EXPECT_FALSE(list.Items.Find("frog").HasPicture());
    list.Items.FinishLoading();
    EXPECT_TRUE(list.Items.Find("frog").HasPicture());
    TEarlyPictures missing((dir / "none.dxg").string(), {"menu"});
    EXPECT_THROW(list.Items.LoadFromFile(missing), EFOpenError);
    EXPECT_EQ(list.Items.Count(), 4) << "the items stay";
    std::filesystem::remove_all(dir);
}

TEST_F(ImageListFixture, AScenesPicturesAreHeldWhileItUsesThemAndComeBackTheSame) {
    std::vector<PictureEntry> entries;
    for (const char* name : {"menu", "frog", "plain"}) {
        PictureEntry e;
        e.name = name;
        e.patternWidth = 8;
        const TDibImage picture = PositionPicture(32, 8);
        e.dib = EncodeDib(picture.Pixels.data(), picture.Width, picture.Height, 32);
        entries.push_back(e);
    }
    list.Items.LoadFromMemory(WriteGraphicArchive(entries));
    TPictureCollectionItem& menu = list.Items.Find("menu");
    TPictureCollectionItem& frog = list.Items.Find("frog");
    TDirectDrawSurface target(32, 8);
    auto drawn = [&](TPictureCollectionItem& item) {
        target.Fill(0);
        for (int i = 0; i < item.PatternCount(); ++i)
            item.Draw(&target, 8 * i, 0, i);
        return std::vector<uint32_t>(target.Pixels(), target.Pixels() + 32 * 8);
    };
    const std::vector<uint32_t> frogBefore = drawn(frog);

    // A scene that uses only the menu: the frog goes, its size stays.
    list.Items.BeginScene();
    list.Items.Use("menu");
    list.Items.ReleaseUnused();
    EXPECT_TRUE(menu.Held());
    EXPECT_FALSE(frog.Held());
    EXPECT_EQ(frog.PatternCount(), 0);
    EXPECT_EQ(frog.Width(), 8);
    EXPECT_TRUE(frog.Picture().Pixels.empty());
    // A display switch meanwhile builds no surfaces for it.
    list.Items.Finalize();
    list.Items.Initialize(display);
    list.Items.Restore();
    EXPECT_EQ(frog.PatternCount(), 0);
    EXPECT_EQ(menu.PatternCount(), 4);

    // The next scene uses the frog again: the same pixels and frames.
    list.Items.BeginScene();
    EXPECT_EQ(&list.Items.Use("FROG"), &frog);
    list.Items.ReleaseUnused();
    EXPECT_FALSE(menu.Held());
    ASSERT_EQ(frog.PatternCount(), 4);
    EXPECT_EQ(drawn(frog), frogBefore);

    // Kept decoded, nothing is released; an item not from an archive never is.
    list.Items.KeepDecoded = true;
    list.Items.BeginScene();
    list.Items.ReleaseUnused();
    EXPECT_TRUE(frog.Held());
    list.Items.KeepDecoded = false;
    TPictureCollectionItem& own = AddPicture(16, 8, 8, 8);
    list.Items.BeginScene();
    list.Items.ReleaseUnused();
    EXPECT_TRUE(own.Held());
    EXPECT_EQ(own.PatternCount(), 2);
}
