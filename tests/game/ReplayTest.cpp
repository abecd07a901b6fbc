// A recorded game replayed through the script runner, as pondlark-shot plays it: any change in
// the game's behaviour (rules, timing, the order of random draws) shows in where it ends.
#include "app/GameFixture.h"
#include "app/TScriptRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace pondlark;

namespace {

std::vector<TScriptLine> RecordedGame() {
    std::ifstream file(PONDLARK_TEST_DATA "/replay/game.txt");
    std::stringstream text;
    text << file.rdbuf();
    return ParseScript(text.str());
}

} // namespace

TEST_F(GameFixture, RecordedGameEndsWhereItAlwaysHas) {
    const std::vector<TScriptLine> script = RecordedGame();
    ASSERT_FALSE(script.empty()) << "missing replay script";
    bool seeded = false;
    const uint32_t seed = TScriptRunner::SeedOf(script, seeded);
    ASSERT_TRUE(seeded);
    ASSERT_TRUE(Start(seed));
    int shots = 0;
    TScriptRunner runner(platform, *form,
                         [&](const std::string&, const std::vector<uint32_t>&) { ++shots; });
    runner.Run(script);
    // Level 1 crossed and eaten through, level 2's pond lost three times over.
    const TGameState& s = form->State();
    EXPECT_EQ(s.Scene, TScene::GameOver);
    EXPECT_EQ(s.Level, 2);
    EXPECT_EQ(s.Score, 385);
    EXPECT_EQ(s.Lives, 1);
    EXPECT_EQ(shots, 4);
}

// Pictures are released when a scene leaves them and decoded again when one takes them up: the
// game must draw exactly what it draws with every picture kept.
TEST_F(GameFixture, PicturesReleasedBetweenScenesDrawTheSameGame) {
    const std::vector<TScriptLine> script = RecordedGame();
    ASSERT_FALSE(script.empty()) << "missing replay script";
    bool seeded = false;
    const uint32_t seed = TScriptRunner::SeedOf(script, seeded);
    std::vector<std::vector<uint32_t>> frames[2];
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "every picture kept" : "pictures released");
        HeadlessPlatform own;
        TMainForm game(own, dir.string(), PONDLARK_GAME_DIR);
        game.FixRandomSeed(seed);
        game.ImageList.Items.KeepDecoded = keep;
        ASSERT_TRUE(game.Start());
        TScriptRunner runner(own, game, [&](const std::string&, const std::vector<uint32_t>& f) {
            frames[keep].push_back(f);
        });
        runner.Run(script);
        frames[keep].push_back(own.LastFrame());
        ASSERT_EQ(game.State().Scene, TScene::GameOver);
        // The feast's backdrop and the stork belong to a scene that is over.
        const TPictureCollection& pictures = game.ImageList.Items;
        for (const char* name : {"bg2", "aist", "frogeat"})
            EXPECT_EQ(pictures.Find(name).Held(), keep) << name;
    }
    ASSERT_EQ(frames[0].size(), 5u);
    ASSERT_EQ(frames[1].size(), frames[0].size());
    for (size_t i = 0; i < frames[0].size(); ++i)
        EXPECT_TRUE(frames[0][i] == frames[1][i]) << "frame " << i << " differs";
}
