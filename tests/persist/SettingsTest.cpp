// Settings.cfg: bounded reading, keys the game does not know kept, atomic writing.
#include "persist/Settings.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using namespace pondlark;

namespace {

struct SettingsFile : ::testing::Test {
    std::filesystem::path dir = FreshTestFolder();
    std::string path = (dir / "Settings.cfg").string();
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Plant(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Contents() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

} // namespace

TEST_F(SettingsFile, AMissingFileIsEmptyAndNoProblem) {
    std::string problem = "x";
    const TSettings s = ReadSettings(path, problem);
    EXPECT_TRUE(s.Entries().empty());
    EXPECT_EQ(problem, "");
    EXPECT_TRUE(s.Flag("first-game-hints", true));
}

TEST_F(SettingsFile, ReadsKeysAndKeepsUnknownOnesWhenWrittenBack) {
    Plant("# a comment\r\nfirst-game-hints = off\r\nmusic.volume=70\n\nwindow.x=12\n");
    std::string problem;
    TSettings s = ReadSettings(path, problem);
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(s.Flag("first-game-hints", true));
    EXPECT_EQ(s.Get("music.volume"), "70");
    s.SetFlag("first-game-hints", true);
    ASSERT_EQ(WriteSettingsFile(path, FormatSettings(s)), "");
    const TSettings again = ReadSettings(path, problem);
    EXPECT_TRUE(again.Flag("first-game-hints", false));
    EXPECT_EQ(again.Get("music.volume"), "70");
    EXPECT_EQ(again.Get("window.x"), "12");
    EXPECT_EQ(again.Entries().size(), 3u);
}

TEST_F(SettingsFile, DamagedLinesAreSkippedAndTheRestRead) {
    struct Case {
        const char* name;
        std::string line;
    };
    const Case cases[] = {
        {"over-long", "first-game-hints=off" + std::string(300, ' ')},
        {"no equals sign", "first-game-hints off"},
        {"a key with capitals", "First-Game-Hints=off"},
        {"an empty key", "=off"},
        {"a control character", "first-game-hints=o\x01"
                                "ff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TSettings s = ParseSettings(c.line + "\nmusic.volume=5\n");
        EXPECT_EQ(s.Get("first-game-hints"), std::nullopt);
        EXPECT_EQ(s.Get("music.volume"), "5");
    }
}

TEST_F(SettingsFile, KeysAreBoundedInNumber) {
    std::string text;
    for (size_t i = 0; i < kMaxSettingsKeys + 10; ++i)
        text += "key" + std::to_string(i) + "=1\n";
    TSettings s = ParseSettings(text);
    EXPECT_EQ(s.Entries().size(), kMaxSettingsKeys);
    EXPECT_FALSE(s.Set("one-more", "1"));
    EXPECT_TRUE(s.Set("key0", "2")) << "a known key may still change";
}

TEST_F(SettingsFile, AnythingButASmallRegularFileIsAProblemAndReadsAsDefaults) {
    Plant(std::string(kMaxSettingsBytes + 1, '#'));
    std::string problem;
    EXPECT_TRUE(ReadSettings(path, problem).Entries().empty());
    EXPECT_NE(problem, "") << "too large";
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_TRUE(ReadSettings(path, problem).Entries().empty());
    EXPECT_NE(problem.find("Settings.cfg"), std::string::npos) << "a FIFO, never a hang";
}

TEST_F(SettingsFile, WritingReplacesTheFileWhole) {
    Plant("old=1\n");
    TSettings s;
    ASSERT_TRUE(s.Set("first-game-hints", "off"));
    ASSERT_EQ(WriteSettingsFile(path, FormatSettings(s)), "");
    EXPECT_EQ(Contents(), "# Pondlark's own settings (Config.cfg keeps the rest), one key=value a "
                          "line\nfirst-game-hints=off\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator{}),
              1)
        << "no temporary file left";
    EXPECT_FALSE(s.Set("bad key", "1"));
    EXPECT_FALSE(s.Set("ok", "line\nbreak"));
}

// Each line alone, read as the game reads the file: the values it gives and whether it warns.
TEST_F(SettingsFile, PlayerLinesGiveTheirValuesOrTheDefaultWithAWarning) {
    struct Case {
        const char* name;
        std::string line;
        int music = 100, sound = 100;
        Scaling scaling = Scaling::Sharp;
        bool warns = false;
    };
    const Case cases[] = {
        {"music volume", "music-volume=35", 35},
        {"sound volume, spaces", "  sound-volume = 0 ", 100, 0},
        {"volume at the top", "music-volume=100"},
        {"smooth scaling", "scaling=smooth", 100, 100, Scaling::Smooth},
        {"sharp scaling", "scaling=sharp"},
        {"volume over 100", "music-volume=101", 100, 100, Scaling::Sharp, true},
        {"negative volume", "sound-volume=-1", 100, 100, Scaling::Sharp, true},
        {"volume not a number", "sound-volume=loud", 100, 100, Scaling::Sharp, true},
        {"volume with a tail", "sound-volume=50%", 100, 100, Scaling::Sharp, true},
        {"huge volume", "music-volume=99999999999999999999", 100, 100, Scaling::Sharp, true},
        {"unknown scaling", "scaling=blurry", 100, 100, Scaling::Sharp, true},
        {"unknown key", "volume=30", 100, 100, Scaling::Sharp, true},
        {"too long", "music-volume=20" + std::string(300, ' '), 100, 100, Scaling::Sharp, true},
        {"binary", std::string("music-volume=2\x00\xff", 16), 100, 100, Scaling::Sharp, true},
        {"no equals sign", "music-volume 20", 100, 100, Scaling::Sharp, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> warnings;
        const TSettings s = ParseSettings(c.line + "\n", &warnings);
        const TPlayerSettings p = ReadPlayerSettings(s, warnings);
        EXPECT_EQ(p.musicVolume, c.music);
        EXPECT_EQ(p.soundVolume, c.sound);
        EXPECT_EQ(p.scaling, c.scaling);
        EXPECT_FALSE(p.window.has_value());
        EXPECT_EQ(warnings.size(), c.warns ? 1u : 0u);
    }
}

TEST_F(SettingsFile, TheWindowCountsOnlyWhenWholeAndSound) {
    const std::string whole = "window-x=40\nwindow-y=-20\nwindow-width=1000\nwindow-height=700\n";
    struct Case {
        const char* name;
        std::string text;
        std::optional<WindowPlacement> window;
    } cases[] = {
        {"whole", whole, WindowPlacement{40, -20, 1000, 700, WindowState::Normal}},
        {"maximized", whole + "window-maximized=on\n",
         WindowPlacement{40, -20, 1000, 700, WindowState::Maximized}},
        {"no height", "window-x=40\nwindow-y=-20\nwindow-width=1000\n", std::nullopt},
        {"too small", whole + "window-width=100\n", std::nullopt},
        {"too large", whole + "window-height=20000\n", std::nullopt},
        {"far off", whole + "window-x=-40000\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> warnings;
        const TPlayerSettings p = ReadPlayerSettings(ParseSettings(c.text), warnings);
        ASSERT_EQ(p.window.has_value(), c.window.has_value());
        if (!c.window) continue;
        EXPECT_EQ(p.window->x, c.window->x);
        EXPECT_EQ(p.window->y, c.window->y);
        EXPECT_EQ(p.window->width, c.window->width);
        EXPECT_EQ(p.window->height, c.window->height);
        EXPECT_EQ(p.window->state, c.window->state);
    }
}

TEST_F(SettingsFile, PlayerSettingsWrittenReadBackTheSameBesideOtherKeys) {
    TSettings s = ParseSettings("first-game-hints=off\nsomething.newer=1\n");
    const TPlayerSettings stored{.musicVolume = 0,
                                 .soundVolume = 64,
                                 .scaling = Scaling::Smooth,
                                 .window =
                                     WindowPlacement{7, 9, 1280, 960, WindowState::Maximized}};
    StorePlayerSettings(stored, s);
    ASSERT_EQ(WriteSettingsFile(path, FormatSettings(s)), "");
    std::string problem;
    std::vector<std::string> warnings;
    const TSettings again = ReadSettings(path, problem, &warnings);
    const TPlayerSettings p = ReadPlayerSettings(again, warnings);
    EXPECT_EQ(p.musicVolume, 0);
    EXPECT_EQ(p.soundVolume, 64);
    EXPECT_EQ(p.scaling, Scaling::Smooth);
    ASSERT_TRUE(p.window);
    EXPECT_EQ(p.window->width, 1280);
    EXPECT_EQ(p.window->state, WindowState::Maximized);
    EXPECT_FALSE(again.Flag("first-game-hints", true));
    // Only the key this game does not know is warned about, and it is kept.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("something.newer"), std::string::npos);
    EXPECT_EQ(again.Get("something.newer"), "1");
}
