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
