// A player's way from the main menu to a sent result, as the scenario tests play it.
#pragma once

#include "app/GameFixture.h"
#include "app/TScriptRunner.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pondlark {

// From the main menu of a started game: starts a game, gives it `score`, quits it, types
// `name` on the name panel and ticks "Send result"; Enter is left to the caller.
inline void PlayToTickedNamePanel(GameFixture& game, int32_t score, const std::string& name) {
    TScriptRunner runner(game.platform, *game.form, nullptr);
    runner.Run(ParseScript("key Escape\nkey Return\nwait 100\n"));
    ASSERT_EQ(game.form->State().Scene, TScene::Pond);
    game.form->State().Score = score;
    runner.Run(ParseScript(R"(key Escape
click 330 320        # yes: the score beats the tenth entry
wait 5100            # the game-over words, then the name panel
type )" + name + R"(
click 260 385        # the send box
)"));
    ASSERT_EQ(game.form->State().Scene, TScene::GameOver);
}

// The same, then Enter, and the transfer waited for. The game is then on the high-score
// screen, unless a fatal failure was recorded.
inline void PlayAndSendResult(GameFixture& game, int32_t score, const std::string& name) {
    PlayToTickedNamePanel(game, score, name);
    if (::testing::Test::HasFatalFailure()) return;
    game.Key(vk::Return);
    game.FinishSending();
    ASSERT_EQ(game.form->State().Scene, TScene::HighScores);
}

} // namespace pondlark
