#include "persist/Config.h"
#include "TestFolder.h"
#include "persist/HighScores.h"
#include "persist/TextEncoding.h"

#include "app/GameFixture.h"
#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace pondlark;

namespace {
std::string Slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
void Spit(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}
} // namespace

TEST(TextEncoding, KnownLines) {
    struct Case {
        std::string plain, encoded, decoded;
    } cases[] = {
        {"false", "N3SY265F", "false"},
        {"3000%", "GN2DANBF", "3000%"},
        {"true", "B4HE7MF", std::string("\0true", 5)}, // not a multiple of 5 bytes
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeLine(c.plain), c.encoded) << c.plain;
        EXPECT_EQ(DecodeLine(c.encoded), c.decoded) << c.encoded;
    }
}

TEST(TextEncoding, DecodingSkipsCharactersOutsideTheAlphabet) {
    EXPECT_EQ(DecodeLine("N3 SY-26i5F0"), "false");
    EXPECT_EQ(DecodeLine("zzz"), "");
}

TEST(TextEncoding, PaddedValuesOfAnyBytesComeBackExactly) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '%') all.push_back(static_cast<char>(c));
    for (const std::string& v :
         {std::string("A"), std::string("Anonymous"), std::string("-7"), all})
        EXPECT_EQ(UnpadValue(DecodeLine(EncodeLine(PadValue(v)))), v);
}

struct ConfigFile : ::testing::Test {
    std::filesystem::path dir, path;
    void SetUp() override {
        dir = FreshTestFolder();
        path = dir / "Config.cfg";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(ConfigFile, EveryValueSurvivesARoundTrip) {
    THighScoreTable table;
    const char* names[10] = {"A",       "Bo",      "Cid",      "Dana",     "Emile",
                             "Frankie", "Gerhard", "Hortense", "Ignatius", "Jacqueline"};
    const int32_t scores[10] = {2147483647, 99999, 5000, 12, 7, 0, -1, -250, -99999, INT32_MIN};
    for (int i = 0; i < 10; ++i)
        table[i] = {names[i], scores[i]};
    WriteConfigFile(path.string(), FormatConfig({.FullScreen = true,
                                                 .Music = false,
                                                 .Sound = true,
                                                 .Country = "Espa\xF1"
                                                            "a",
                                                 .PlayerName = "",
                                                 .HighScores = table}));
    auto v = ReadConfig(path.string(), DefaultHighScores());
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->FullScreen);
    EXPECT_FALSE(v->Music);
    EXPECT_TRUE(v->Sound);
    EXPECT_EQ(v->Country, "Espa\xF1"
                          "a");
    EXPECT_EQ(v->PlayerName, "");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(v->HighScores[i].Name, names[i]);
        EXPECT_EQ(v->HighScores[i].Score, scores[i]);
    }
    EXPECT_TRUE(v->DamagedLines.empty());
    const std::string text = Slurp(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 25);
    EXPECT_NE(text.find("\r\n\r\n"), std::string::npos) << "the empty name is an empty line";
}

// A file the released game wrote: reading it gives what was written, and writing those values
// again gives the same bytes, so a player's settings and table carry over unchanged.
TEST(ConfigFormat, AFileWrittenByTheReleasedGameReadsBackAndIsWrittenAlike) {
    const std::filesystem::path file =
        std::filesystem::path(PONDLARK_TEST_DATA) / "config" / "version-1.0.cfg";
    THighScoreTable table = DefaultHighScores();
    table[0] = {"Pip", 9000};
    table[1] = {"Ana Li", -5};
    table[2] = {"Bo", 0};
    table[9] = {"Zed", 2147483647};
    const auto v = ReadConfig(file.string(), {});
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->FullScreen);
    EXPECT_FALSE(v->Music);
    EXPECT_TRUE(v->Sound);
    EXPECT_EQ(v->Country, "Peru");
    EXPECT_EQ(v->PlayerName, "Hopper");
    EXPECT_EQ(v->HighScores, table);
    EXPECT_TRUE(v->DamagedLines.empty());
    EXPECT_EQ(FormatConfig(*v), Slurp(file));
}

TEST_F(ConfigFile, AShortFileSetsTheSwitchesAndKeepsTheRest) {
    Spit(path,
         EncodeLine("false") + "\r\n" + EncodeLine("false") + "\r\n" + EncodeLine("true") + "\r\n");
    auto v = ReadConfig(path.string(), DefaultHighScores());
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->FullScreen);
    EXPECT_FALSE(v->Music);
    EXPECT_TRUE(v->Sound) << "\"\\0true\" is not \"false\"";
    EXPECT_EQ(v->Country, "");
    EXPECT_EQ(v->HighScores, DefaultHighScores());
    EXPECT_FALSE(ReadConfig((dir / "absent.cfg").string(), DefaultHighScores()));
}

TEST_F(ConfigFile, ADamagedScoreKeepsItsDefaultAndReadingGoesOn) {
    THighScoreTable table = DefaultHighScores();
    table[2] = {"Zed", 2100};
    table[5] = {"Yan", 600};
    std::string text = FormatConfig({.FullScreen = false,
                                     .Music = true,
                                     .Sound = true,
                                     .Country = "",
                                     .PlayerName = "",
                                     .HighScores = table});
    // Replace the third score's line (line 11) with letters.
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    lines[10] = EncodeLine(PadValue("12ab")) + "\r";
    std::string damaged;
    for (auto& l : lines)
        damaged += l + "\n";
    Spit(path, damaged);
    auto v = ReadConfig(path.string(), DefaultHighScores());
    ASSERT_TRUE(v);
    EXPECT_EQ(v->HighScores[2].Name, "Zed");
    EXPECT_EQ(v->HighScores[2].Score, 2000) << "default score of the third place";
    EXPECT_EQ(v->HighScores[5].Score, 600) << "entries after the damage are still read";
    EXPECT_EQ(v->DamagedLines, std::vector<int>{11});
}

TEST_F(ConfigFile, AFailedWriteLeavesTheOldFileWhole) {
    const std::string old = FormatConfig({.FullScreen = false,
                                          .Music = true,
                                          .Sound = true,
                                          .Country = "Wales",
                                          .PlayerName = "Bryn",
                                          .HighScores = DefaultHighScores()});
    WriteConfigFile(path.string(), old);
    // A file size limit below the new file's size: the write fails part way (not by a signal).
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(WriteConfigFile(path.string(), old + old), EFOpenError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(Slurp(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "no temp left";
}

TEST_F(ConfigFile, ASaveKeepsTheModeOfTheFileItReplaces) {
    namespace fs = std::filesystem;
    const std::string text = FormatConfig({.FullScreen = false,
                                           .Music = true,
                                           .Sound = true,
                                           .Country = "",
                                           .PlayerName = "",
                                           .HighScores = DefaultHighScores()});
    for (const unsigned mode : {0600u, 0640u, 0604u, 0200u}) {
        WriteConfigFile(path.string(), text);
        fs::permissions(path, static_cast<fs::perms>(mode));
        WriteConfigFile(path.string(), text);
        EXPECT_EQ(static_cast<unsigned>(fs::status(path).permissions()), mode) << std::oct << mode;
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    }
}

TEST_F(ConfigFile, ReadingIsBoundedLineByLine) {
    const auto lineOf = [](std::string text, size_t length) {
        text.resize(length, ' '); // spaces are skipped by the decoding
        return text;
    };
    const std::string zed = EncodeLine(PadValue("Zed"));
    struct Case {
        const char* what;
        int line;
        std::string text;
        std::vector<int> damaged;
        std::function<void(const TConfigValues&)> check;
    } cases[] = {
        {"a flag line of 300 symbols",
         1,
         std::string(300, 'N'),
         {1},
         [](const TConfigValues& v) { EXPECT_FALSE(v.FullScreen) << "window mode, the default"; }},
        {"a country line of 257 bytes",
         4,
         lineOf(EncodeLine(PadValue("Peru")), 257),
         {4},
         [](const TConfigValues& v) { EXPECT_EQ(v.Country, ""); }},
        {"a table name of exactly 256 bytes",
         6,
         lineOf(zed, 256),
         {},
         [](const TConfigValues& v) { EXPECT_EQ(v.HighScores[0].Name, "Zed"); }},
        {"a table name of 256 bytes and CR",
         6,
         lineOf(zed, 256) + "\r",
         {},
         [](const TConfigValues& v) { EXPECT_EQ(v.HighScores[0].Name, "Zed"); }},
        {"a table name of 257 bytes",
         6,
         lineOf(zed, 257),
         {6},
         [](const TConfigValues& v) { EXPECT_EQ(v.HighScores[0].Name, "Anonymous"); }},
        {"a score of a thousand digits",
         7,
         EncodeLine(PadValue(std::string(1000, '9'))),
         {7},
         [](const TConfigValues& v) { EXPECT_EQ(v.HighScores[0].Score, 3000); }},
        {"a name of 15 characters",
         5,
         EncodeLine(PadValue("Maximilianus123")),
         {},
         [](const TConfigValues& v) { EXPECT_EQ(v.PlayerName, "Maximilian"); }},
    };
    THighScoreTable table = DefaultHighScores();
    table[9] = {"Last", 5};
    std::vector<std::string> lines;
    std::stringstream in(FormatConfig({.FullScreen = false,
                                       .Music = false,
                                       .Sound = true,
                                       .Country = "Chile",
                                       .PlayerName = "Ana",
                                       .HighScores = table}));
    for (std::string l; std::getline(in, l);)
        lines.push_back(l + "\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto edited = lines;
        edited[static_cast<size_t>(c.line - 1)] = c.text + "\n";
        std::string text;
        for (const std::string& l : edited)
            text += l;
        Spit(path, text);
        const auto v = ReadConfig(path.string(), DefaultHighScores());
        ASSERT_TRUE(v);
        EXPECT_EQ(v->DamagedLines, c.damaged);
        c.check(*v);
        EXPECT_FALSE(v->Music) << "the lines around are read";
        EXPECT_EQ(v->HighScores[9], (THighScore{"Last", 5})) << "the lines after are read";
    }
}

TEST_F(GameFixture, FirstStartWritesTheDefaultsAndTheNextStartReadsThemBack) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(std::filesystem::exists(dir / "Config.cfg"));
    auto v = ReadConfig((dir / "Config.cfg").string(), {});
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->FullScreen);
    EXPECT_TRUE(v->Music);
    EXPECT_EQ(v->HighScores, DefaultHighScores());
    EXPECT_EQ(form->State().Scene, TScene::Intro);
}

TEST_F(GameFixture, AConfigAskingForFullScreenOpensInFullScreen) {
    THighScoreTable table = DefaultHighScores();
    table[0] = {"Pip", 9000};
    Spit(dir / "Config.cfg", FormatConfig({.FullScreen = true,
                                           .Music = false,
                                           .Sound = false,
                                           .Country = "Peru",
                                           .PlayerName = "Pip",
                                           .HighScores = table}));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(platform.IsFullScreen());
    EXPECT_FALSE(form->State().Flags.GameMusic);
    EXPECT_FALSE(form->State().Flags.GameSound);
    EXPECT_EQ(form->CountryEntry, "Peru");
    EXPECT_EQ(form->State().PlayerName, "Pip");
    EXPECT_EQ(form->State().HighScores[0].Score, 9000);
    EXPECT_EQ(form->State().Scene, TScene::Intro) << "start-up reaches the intro";
}

TEST(HighScores, InsertMovesLowerEntriesDown) {
    struct Case {
        int32_t score;
        int place;
    } cases[] = {{1200, 4}, {3000, 0}, {150, 9}, {99999, 0}};
    for (const Case& c : cases) {
        THighScoreTable t = DefaultHighScores();
        ASSERT_TRUE(Qualifies(t, c.score));
        InsertHighScore(t, "New", c.score);
        EXPECT_EQ(t[c.place].Name, "New") << c.score;
        EXPECT_EQ(t[c.place].Score, c.score);
        for (int k = 0; k < c.place; ++k)
            EXPECT_EQ(t[k], DefaultHighScores()[k]);
        for (int k = c.place + 1; k < 10; ++k)
            EXPECT_EQ(t[k], DefaultHighScores()[k - 1]);
    }
    EXPECT_FALSE(Qualifies(DefaultHighScores(), 100)) << "a tie with the tenth does not enter";
}
