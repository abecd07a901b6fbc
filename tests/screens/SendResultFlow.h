// A player's way from the main menu to a sent result, as the scenario tests play it.
#pragma once

#include "app/GameFixture.h"
#include "app/TScriptRunner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pondlark {

// From the main menu of a started game: starts a game, gives it `score`, quits it, types
// `name` on the name panel, ticks "Send result" and presses Enter. The game is then on the
// high-score screen, unless a fatal failure was recorded.
inline void PlayAndSendResult(GameFixture& game, int32_t score, const std::string& name) {
    TScriptRunner runner(game.platform, *game.form, nullptr);
    runner.Run(ParseScript("key Escape\nkey Return\nwait 100\n"));
    ASSERT_EQ(game.form->State().Scene, TScene::Pond);
    game.form->State().Score = score;
    runner.Run(ParseScript(R"(key Escape
click 330 320        # yes: the score beats the tenth entry
wait 5100            # the game-over words, then the name panel
type )" + name + R"(
click 260 385        # the send box
key Return
)"));
    ASSERT_EQ(game.form->State().Scene, TScene::HighScores);
}

} // namespace pondlark
