// A recorded game replayed through the script runner, as pondlark-shot plays it: any change in
// the game's behaviour (rules, timing, the order of random draws) shows in where it ends.
#include "app/GameFixture.h"
#include "app/TScriptRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace pondlark;

TEST_F(GameFixture, RecordedGameEndsWhereItAlwaysHas) {
    std::ifstream file(PONDLARK_TEST_DATA "/replay/game.txt");
    ASSERT_TRUE(file) << "missing replay script";
    std::stringstream text;
    text << file.rdbuf();
    const std::vector<TScriptLine> script = ParseScript(text.str());
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
