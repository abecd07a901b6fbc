// Every menu screen by the keys alone and by a controller alone: each case starts at the main
// menu, presses its steps and checks where the game stands.
#include "app/TScriptRunner.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "platform/VirtualKeys.h"
#include "screens/HotRects.h"
#include "screens/MenuFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace pondlark;

namespace {

struct Keys : Menus {
    // A key name (Up, Return, Y ...) or "pad:BUTTON" for a controller button held one frame.
    void Step(const std::string& step) {
        if (step.rfind("pad:", 0) == 0) {
            ControllerState pad;
            ASSERT_TRUE(PadButton(pad, step.substr(4))) << step;
            platform.SetController(pad);
            Frame();
            platform.SetController({});
            form->Pump();
            return;
        }
        const TKeyName key = ParseKeyName(step);
        Key(key.vk, key.alt, key.ctrl);
    }
    void Steps(const std::vector<std::string>& steps) {
        for (const std::string& s : steps) {
            Step(s);
            if (form->Terminated()) return;
        }
    }
    const TGameState& S() const { return form->State(); }
};

struct Case {
    const char* name;
    std::vector<std::string> steps;
    TScene scene;
    std::function<void(Keys&)> check = nullptr;
};

void NotTerminated(Keys& k) {
    EXPECT_FALSE(k.form->Terminated());
}

const Case kCases[] = {
    // The main menu: Enter with no arrow still starts a game; the first arrow lights Start Game
    // where the highlight starts, the next ones move and wrap.
    {"enter starts a game", {"Return"}, TScene::Pond},
    {"space starts a game", {"space"}, TScene::Pond},
    {"the first down lights start game", {"Down", "Return"}, TScene::Pond},
    {"the first up lights start game", {"Up", "Return"}, TScene::Pond},
    {"a second down opens options", {"Down", "Down", "Return"}, TScene::Options},
    {"three downs open the table", {"Down", "Down", "Down", "Return"}, TScene::HighScores},
    {"four downs open help", {"Down", "Down", "Down", "Down", "Return"}, TScene::Help},
    {"down and up come back", {"Down", "Down", "Up", "Return"}, TScene::Pond},
    {"five downs visit the web site",
     {"Down", "Down", "Down", "Down", "Down", "Return"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_EQ(k.platform.OpenedUrls().size(), 1u); }},
    {"up wraps to exit and asks",
     {"Up", "Up", "Return"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.S().Flags.GameMainExit); }},
    // The exit question starts on "no": Enter under it answers "no" and starts no game.
    {"enter under the question answers no",
     {"Escape", "Return"},
     TScene::MainMenu,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         NotTerminated(k);
     }},
    {"the first left lights no",
     {"Escape", "Left", "Return"},
     TScene::MainMenu,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         NotTerminated(k);
     }},
    {"left twice then enter answers yes",
     {"Escape", "Left", "Left", "Return"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.form->Terminated()); }},
    {"up twice then enter answers yes",
     {"Escape", "Up", "Up", "Return"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.form->Terminated()); }},
    {"right three times comes back to no",
     {"Escape", "Right", "Right", "Right", "Return"},
     TScene::MainMenu,
     NotTerminated},
    {"Y answers yes",
     {"Escape", "Y"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.form->Terminated()); }},
    {"N answers no",
     {"Escape", "N"},
     TScene::MainMenu,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         NotTerminated(k);
     }},
    {"escape takes the question back",
     {"Escape", "Escape"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_FALSE(k.S().Flags.GameMainExit); }},
    // Options: Display, Music, Sound, Country, Back; the highlight starts on Back.
    {"options: escape goes back", {"Down", "Down", "Return", "Escape"}, TScene::MainMenu},
    {"options: enter unlit while the country is typed changes nothing",
     {"Down", "Down", "Return", "Return", "space"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_TRUE(k.S().Flags.GameTyping);
         EXPECT_FALSE(k.S().Flags.GameFullScreen);
     }},
    {"options: enter unlit with a country kept goes back",
     {"Down", "Down", "Return", "F", "Return", "Return"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_EQ(k.form->CountryEntry, "F"); }},
    {"options: the first arrow lights back, left and right on it change nothing",
     {"Down", "Down", "Return", "Up", "Left", "Right"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_EQ(k.S().Menus.Cursor.Item, 4);
         EXPECT_FALSE(k.S().Flags.GameFullScreen);
         EXPECT_TRUE(k.S().Flags.GameMusic);
     }},
    {"options: right on display is full screen",
     {"Down", "Down", "Return", "Down", "Down", "Right"},
     TScene::Options,
     [](Keys& k) { EXPECT_TRUE(k.S().Flags.GameFullScreen); }},
    {"options: left on display is the window",
     {"Down", "Down", "Return", "Down", "Down", "Right", "Left"},
     TScene::Options,
     [](Keys& k) { EXPECT_FALSE(k.S().Flags.GameFullScreen); }},
    {"options: right on music switches it off",
     {"Down", "Down", "Return", "Down", "Down", "Down", "Right"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMusic);
         EXPECT_TRUE(k.S().Flags.GameSound);
     }},
    {"options: right on sound switches it off",
     {"Down", "Down", "Return", "Down", "Down", "Down", "Down", "Right"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameSound);
         EXPECT_TRUE(k.S().Flags.GameMusic);
     }},
    {"options: left on sound switches it back on",
     {"Down", "Down", "Return", "Down", "Down", "Down", "Down", "Right", "Left"},
     TScene::Options,
     [](Keys& k) { EXPECT_TRUE(k.S().Flags.GameSound); }},
    {"options: enter stops typing and on the country starts it again",
     {"Down", "Down", "Return", "F", "R", "Return"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_EQ(k.form->CountryText(), "FR");
         EXPECT_FALSE(k.S().Flags.GameTyping);
         k.Steps({"Up", "Up", "Return"}); // Back lit -> Country
         EXPECT_TRUE(k.S().Flags.GameTyping);
     }},
    // Help: the page keys and the arrows turn the pages; Enter on Back.
    {"help: right and page down turn on",
     {"Down", "Down", "Down", "Down", "Return", "Right", "PageDown"},
     TScene::Help,
     [](Keys& k) { EXPECT_EQ(k.S().Menus.HelpPage, 3); }},
    {"help: left and page up turn back",
     {"Down", "Down", "Down", "Down", "Return", "Right", "Right", "PageUp", "Left", "Left"},
     TScene::Help,
     [](Keys& k) { EXPECT_EQ(k.S().Menus.HelpPage, 1); }},
    {"help: enter is back",
     {"Down", "Down", "Down", "Down", "Return", "Right", "Return"},
     TScene::MainMenu},
    // High scores: Clear, View online, Back; the highlight starts on Back, so Enter before any
    // arrow never asks to clear.
    {"table: enter unlit goes back",
     {"Down", "Down", "Down", "Return", "Return"},
     TScene::MainMenu,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_EQ(k.S().HighScores[0].Name, "Tester");
     }},
    {"table: the first up lights back",
     {"Down", "Down", "Down", "Return", "Up", "Return"},
     TScene::MainMenu},
    {"table: view online",
     {"Down", "Down", "Down", "Return", "Up", "Up", "Return"},
     TScene::HighScores,
     [](Keys& k) { EXPECT_EQ(k.platform.OpenedUrls().size(), 1u); }},
    {"table: clear asks, enter answers no",
     {"Down", "Down", "Down", "Return", "Down", "Down", "Return", "Return"},
     TScene::HighScores,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_EQ(k.S().HighScores[0].Name, "Tester");
     }},
    {"table: clear, left and enter clears",
     {"Down", "Down", "Down", "Return", "Down", "Down", "Return", "Left", "Left", "Return"},
     TScene::HighScores,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_NE(k.S().HighScores[0].Name, "Tester");
     }},
    {"table: clear, Y clears",
     {"Down", "Down", "Down", "Return", "Down", "Down", "Return", "Y"},
     TScene::HighScores,
     [](Keys& k) { EXPECT_NE(k.S().HighScores[0].Name, "Tester"); }},
    {"table: clear, escape keeps the table",
     {"Down", "Down", "Down", "Return", "Down", "Down", "Return", "Escape"},
     TScene::HighScores,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_EQ(k.S().HighScores[0].Name, "Tester");
     }},
    // A controller alone.
    {"pad: A starts a game", {"pad:a"}, TScene::Pond},
    {"pad: the first d-pad press lights start game", {"pad:dpdown", "pad:a"}, TScene::Pond},
    {"pad: d-pad down twice and A open options",
     {"pad:dpdown", "pad:dpdown", "pad:a"},
     TScene::Options},
    {"pad: d-pad up wraps, A asks, A answers no",
     {"pad:dpup", "pad:dpup", "pad:a", "pad:a"},
     TScene::MainMenu,
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         NotTerminated(k);
     }},
    {"pad: B asks, left and A answer yes",
     {"pad:b", "pad:dpleft", "pad:dpleft", "pad:a"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.form->Terminated()); }},
    {"pad: back asks the question",
     {"pad:back"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.S().Flags.GameMainExit); }},
    {"pad: options, right on display, B goes back",
     {"pad:dpdown", "pad:dpdown", "pad:a", "pad:dpdown", "pad:dpdown", "pad:dpright", "pad:b"},
     TScene::MainMenu,
     [](Keys& k) { EXPECT_TRUE(k.S().Flags.GameFullScreen); }},
    {"pad: help pages by the d-pad",
     {"pad:dpdown", "pad:dpdown", "pad:dpdown", "pad:dpdown", "pad:a", "pad:dpright", "pad:dpright",
      "pad:dpleft"},
     TScene::Help,
     [](Keys& k) { EXPECT_EQ(k.S().Menus.HelpPage, 2); }},
    {"pad: the country spelt on its row, A ends the typing",
     {"pad:dpdown", "pad:dpdown", "pad:a", "pad:dpdown", "pad:dpdown", "pad:dpdown", "pad:dpdown",
      "pad:dpdown", "pad:a", "pad:x", "pad:y", "pad:dpleft", "pad:y", "pad:dpright", "pad:dpright",
      "pad:y", "pad:x"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_EQ(k.S().Menus.Cursor.Item, 3);
         EXPECT_EQ(k.form->CountryText(), "0C");
         EXPECT_TRUE(k.S().Flags.GameTyping);
         // Under the field, the line that names the buttons goes with the typing.
         const std::vector<uint32_t> named = k.Strip(400, 458, 770, 478);
         k.Step("pad:a");
         EXPECT_FALSE(k.S().Flags.GameTyping);
         EXPECT_FALSE(k.Strip(400, 458, 770, 478) == named);
         k.Steps({"pad:y", "pad:dpleft"}); // no longer typing: the row has no choices
         EXPECT_EQ(k.form->CountryText(), "0C");
     }},
    {"pad: X and Y type nothing while the marker is on another row",
     {"pad:dpdown", "pad:dpdown", "pad:a", "pad:dpdown", "pad:dpdown", "pad:x", "pad:y",
      "pad:dpright"},
     TScene::Options,
     [](Keys& k) {
         EXPECT_EQ(k.form->CountryText(), "") << "an empty country is being typed, off its row";
         EXPECT_TRUE(k.S().Flags.GameFullScreen) << "right still picks the display's choice";
     }},
    {"pad: table, clear asks, A answers no",
     {"pad:dpdown", "pad:dpdown", "pad:dpdown", "pad:a", "pad:dpdown", "pad:dpdown", "pad:a",
      "pad:a", "pad:a"},
     TScene::HighScores,
     [](Keys& k) { EXPECT_EQ(k.S().HighScores[0].Name, "Tester"); }},
    // Play: Start pauses and resumes; the question in play answers the same keys.
    {"pad: start pauses and resumes the pond",
     {"Return", "pad:start"},
     TScene::Pond,
     [](Keys& k) {
         EXPECT_TRUE(k.S().Shell.Paused);
         k.Step("pad:start");
         EXPECT_FALSE(k.S().Shell.Paused);
     }},
    {"pond: enter under the question goes on playing",
     {"Return", "Escape", "Return"},
     TScene::Pond,
     [](Keys& k) { EXPECT_FALSE(k.S().Flags.GameMainExit); }},
    {"pond: B asks, left and A leave the game",
     {"Return", "pad:b", "pad:dpleft", "pad:dpleft", "pad:a"},
     TScene::MainMenu},
};

class KeyScenario : public Keys, public ::testing::WithParamInterface<Case> {};

TEST_P(KeyScenario, EndsWhereItShould) {
    Open();
    // A table entry of our own shows whether a clear question cleared.
    InsertHighScore(form->State().HighScores, "Tester", 99999);
    Steps(GetParam().steps);
    if (!form->Terminated()) {
        EXPECT_EQ(S().Scene, GetParam().scene);
    }
    if (GetParam().check) GetParam().check(*this);
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, KeyScenario, ::testing::ValuesIn(kCases), CaseName);

// One highlight for pointer and keys: the keys light the same sprite the pointer shows, with
// the item tick, and move on from wherever the pointer left the cursor.
TEST_F(Keys, PointerAndKeysShareOneHighlight) {
    Open();
    EXPECT_EQ(Live<TMenuGame>(), 0); // nothing lit before a key or the pointer
    const int ticks = Count("button_up");
    Step("Down"); // the first arrow shows where the highlight starts
    EXPECT_EQ(Live<TStartGameLight>(), 1);
    EXPECT_EQ(Live<TMenuGame>(), 1);
    EXPECT_EQ(Count("button_up"), ticks + 1);
    Step("Down");
    EXPECT_EQ(Live<TOptionsLight>(), 1);
    EXPECT_EQ(Live<TMenuGame>(), 1);
    const auto [x, y] = hot::kHelp.Centre();
    Move(x, y);
    EXPECT_EQ(Live<THelpLight>(), 1);
    EXPECT_EQ(Live<TMenuGame>(), 1);
    Step("Down"); // from Help, where the pointer put the cursor
    EXPECT_EQ(Live<TVisitWebSiteLight>(), 1);
    EXPECT_EQ(Live<TMenuGame>(), 1);
    Move(10, 10); // off every item: the highlight goes, as it always did
    EXPECT_EQ(Live<TMenuGame>(), 0);
    Step("Return");
    EXPECT_EQ(platform.OpenedUrls().size(), 1u);
}

TEST_F(Keys, QuestionsLightNoFirstAndMoveToYes) {
    Open();
    Step("Escape");
    EXPECT_EQ(Live<TMenuGame>(), 0);
    Step("Right"); // the first arrow lights "no" where it starts
    EXPECT_EQ(Live<TQuitNoLight>(), 1);
    Step("Right"); // from "no" round to "yes"
    EXPECT_EQ(Live<TQuitYesLight>(), 1);
    Step("Right");
    EXPECT_EQ(Live<TQuitNoLight>(), 1);
    EXPECT_EQ(Live<TMenuGame>(), 1);
}

} // namespace

// The name panel's send box by the keys and by the d-pad; the name typed stays as it was.
TEST_F(Keys, TheSendBoxTicksByTheArrows) {
    Open();
    form->SwitchScene(TScene::Pond);
    form->State().Score = 1200;
    form->SwitchScene(TScene::GameOver);
    Step("Down"); // during the game-over words: no panel, nothing to tick
    EXPECT_FALSE(S().Flags.GameSendResult);
    form->RunFor(5100);
    ASSERT_TRUE(S().Flags.GameEnterName);
    Steps({"A", "N", "N", "A"});
    for (const auto& [step, ticked] : std::vector<std::pair<std::string, bool>>{
             {"Down", true}, {"Up", false}, {"pad:dpdown", true}, {"pad:dpup", false}}) {
        Step(step);
        EXPECT_EQ(S().Flags.GameSendResult, ticked) << step;
        EXPECT_EQ(Live<TSendTick>(), ticked ? 1 : 0) << step;
    }
    EXPECT_EQ(form->NameEntry, "ANNA");
    Step("pad:a");
    EXPECT_EQ(S().Scene, TScene::HighScores);
}

// A player with a controller alone: a whole game to a score for the table, then the name made
// with the d-pad, Y and X, kept with A, and in the table and the saved file under that name.
TEST_F(Keys, AControllerAlonePlaysToTheTableAndKeepsAName) {
    ASSERT_TRUE(Start(9));
    Steps({"pad:a", "pad:a"}); // past the intro, then Start Game
    ASSERT_EQ(S().Scene, TScene::Pond);
    form->RunFor(3500); // the level banner
    // A held, the d-pad to and fro, until the lives run out.
    for (int turn = 0; turn < 500 && S().Scene != TScene::GameOver; ++turn) {
        ControllerState pad;
        pad.south = true;
        (turn % 2 ? pad.left : pad.right) = true;
        platform.SetController(pad);
        form->RunFor(400);
    }
    platform.SetController({});
    ASSERT_EQ(S().Scene, TScene::GameOver);
    const int32_t score = S().Score;
    ASSERT_GT(score, S().HighScores[9].Score) << "a score for the table";
    form->RunFor(5100);
    ASSERT_TRUE(S().Flags.GameEnterName);
    ASSERT_EQ(form->NameEntry, "");
    for (const auto& [step, name] : std::vector<std::pair<std::string, std::string>>{
             {"pad:dpright", "A"}, // an empty name gets its first letter
             {"pad:dpright", "B"},
             {"pad:y", "BA"},
             {"pad:dpleft", "B0"}, // round the alphabet's end
             {"pad:dpleft", "B9"},
             {"pad:y", "B9A"},
             {"pad:x", "B9"},
             {"pad:a", "B9"}}) {
        Step(step);
        EXPECT_EQ(form->NameEntry, name) << step;
    }
    ASSERT_EQ(S().Scene, TScene::HighScores);
    const auto& table = S().HighScores;
    const auto kept = std::find_if(table.begin(), table.end(),
                                   [](const THighScore& e) { return e.Name == "B9"; });
    ASSERT_NE(kept, table.end());
    EXPECT_EQ(kept->Score, score);
    const auto saved = ReadConfig((dir / "Config.cfg").string(), {});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->HighScores, table);
    EXPECT_EQ(saved->PlayerName, "B9");
}

// The keyboard keeps its rules beside the controller's: its arrows change no letter, and a name
// kept from the last game is not typed into until the field is pressed; the controller, which
// cannot press the field, starts the typing with its first letter.
TEST_F(Keys, TheKeyboardKeepsItsRulesOnTheNamePanel) {
    Open();
    form->NameEntry = "FROG";
    form->SwitchScene(TScene::Pond);
    form->State().Score = 1200;
    form->SwitchScene(TScene::GameOver);
    form->RunFor(5100);
    ASSERT_TRUE(S().Flags.GameEnterName);
    ASSERT_FALSE(S().Flags.GameTyping);
    // The strip under the send box, where the controller's buttons are named once it is used.
    auto strip = [this] { return Strip(220, 408, 580, 432); };
    const std::vector<uint32_t> bare = strip();
    Steps({"Left", "Right", "S", "BackSpace"});
    EXPECT_EQ(form->NameEntry, "FROG");
    EXPECT_TRUE(strip() == bare) << "the keys name no controller buttons";
    Step("pad:y");
    EXPECT_TRUE(S().Flags.GameTyping);
    EXPECT_EQ(form->NameEntry, "FROGA");
    EXPECT_FALSE(strip() == bare) << "a controller used on the panel has its buttons named";
    Steps({"BackSpace", "S", "Left", "Right"});
    EXPECT_EQ(form->NameEntry, "FROGS");
    Step("Return");
    EXPECT_EQ(S().Scene, TScene::HighScores);
    EXPECT_EQ(S().HighScores[4].Name, "FROGS");
}

namespace {

// Where each menu's highlight starts, and what the first arrow (or d-pad press) shows there: it
// lights the start item instead of moving past it, and Enter with nothing lit acts on that item,
// which is always the safe one.
struct StartCase {
    const char* name;
    std::function<void(Keys&)> open;
    const char* firstKey;
    std::function<int(Keys&)> litStartItems; // live highlights of the start item
    std::function<void(Keys&)> afterEnterUnlit;
};

void OpenScene(Keys& k, TScene scene) {
    k.form->SwitchScene(scene);
    k.Frame();
}

const StartCase kStartCases[] = {
    {"main menu", [](Keys&) {}, "Down", [](Keys& k) { return k.Live<TStartGameLight>(); },
     [](Keys& k) { EXPECT_EQ(k.S().Scene, TScene::Pond); }},
    {"main menu by the d-pad", [](Keys&) {}, "pad:dpup",
     [](Keys& k) { return k.Live<TStartGameLight>(); },
     [](Keys& k) { EXPECT_EQ(k.S().Scene, TScene::Pond); }},
    {"options", [](Keys& k) { OpenScene(k, TScene::Options); }, "Down",
     [](Keys& k) { return k.Live<THelpBackLight>(); },
     [](Keys& k) {
         // An empty country is being typed: Enter stays with the typing.
         EXPECT_EQ(k.S().Scene, TScene::Options);
         EXPECT_FALSE(k.S().Flags.GameFullScreen);
     }},
    {"options with a country kept",
     [](Keys& k) {
         k.form->CountryEntry = "FR";
         OpenScene(k, TScene::Options);
     },
     "Up", [](Keys& k) { return k.Live<THelpBackLight>(); },
     [](Keys& k) {
         EXPECT_EQ(k.S().Scene, TScene::MainMenu);
         EXPECT_FALSE(k.S().Flags.GameFullScreen);
     }},
    {"high scores", [](Keys& k) { OpenScene(k, TScene::HighScores); }, "Up",
     [](Keys& k) { return k.Live<THighScoreBackLight>(); },
     [](Keys& k) {
         EXPECT_EQ(k.S().Scene, TScene::MainMenu);
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_EQ(k.S().HighScores[0].Name, "Tester");
     }},
    {"help", [](Keys& k) { OpenScene(k, TScene::Help); }, "pad:dpdown",
     [](Keys& k) { return k.Live<THelpBackLight>(); },
     [](Keys& k) { EXPECT_EQ(k.S().Scene, TScene::MainMenu); }},
    {"the quit question in the main menu", [](Keys& k) { k.Step("Escape"); }, "Left",
     [](Keys& k) { return k.Live<TQuitNoLight>(); },
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         EXPECT_FALSE(k.form->Terminated());
     }},
    {"the quit question in the pond",
     [](Keys& k) {
         k.Step("Return");
         k.Step("Escape");
     },
     "Up", [](Keys& k) { return k.Live<TQuitNoLight>(); },
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameMainExit);
         EXPECT_EQ(k.S().Scene, TScene::Pond);
     }},
    {"the clear question",
     [](Keys& k) {
         OpenScene(k, TScene::HighScores);
         k.form->GameClearHighScoreClick();
     },
     "Right", [](Keys& k) { return k.Live<TQuitNoLight>(); },
     [](Keys& k) {
         EXPECT_FALSE(k.S().Flags.GameClearHighScore);
         EXPECT_EQ(k.S().HighScores[0].Name, "Tester");
     }},
};

} // namespace

TEST_F(Keys, TheFirstArrowLightsTheStartItemAndEnterUnlitIsSafe) {
    for (const StartCase& c : kStartCases) {
        for (bool arrowFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (arrowFirst ? ", arrow first" : ", Enter unlit"));
            Open();
            InsertHighScore(form->State().HighScores, "Tester", 99999);
            c.open(*this);
            const TScene scene = S().Scene;
            EXPECT_EQ(Live<TMenuGame>(), 0) << "nothing lit before a key";
            if (arrowFirst) {
                Step(c.firstKey);
                EXPECT_EQ(S().Scene, scene);
                EXPECT_EQ(c.litStartItems(*this), 1);
                EXPECT_EQ(Live<TMenuGame>(), 1) << "the start item alone";
            } else {
                Step("Return");
                c.afterEnterUnlit(*this);
            }
            TearDown();
            SetUp();
            sounds.clear();
            songs.clear();
        }
    }
}

// Alt+Enter ends the typing (the display switch); the entry's own keys take it up again, so a
// player without a mouse is never locked out of the name panel or the country field.
TEST_F(Keys, TypingKeysTakeTheTypingUpAgainAfterAltEnter) {
    struct Entry {
        const char* name;
        std::function<void(Keys&)> open;
        std::function<std::string(Keys&)> field;
        const char* keep; // the key that keeps the text and leaves, writing Config.cfg
        std::function<std::string(const TConfigValues&)> saved;
    };
    const Entry entries[] = {
        {"name panel",
         [](Keys& k) {
             k.form->SwitchScene(TScene::Pond);
             k.form->State().Score = 1200;
             k.form->SwitchScene(TScene::GameOver);
             k.form->RunFor(5100);
             ASSERT_TRUE(k.S().Flags.GameEnterName);
         },
         [](Keys& k) { return k.form->NameEntry; }, "Return",
         [](const TConfigValues& v) { return v.PlayerName; }},
        {"country row",
         [](Keys& k) {
             k.Steps({"Down", "Down", "Return"});
         },
         [](Keys& k) { return k.form->CountryEntry; }, "Escape",
         [](const TConfigValues& v) { return v.Country; }},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name);
        Open();
        e.open(*this);
        ASSERT_TRUE(S().Flags.GameTyping) << "an empty entry is typed at once";
        Steps({"A", "B", "alt+Return"});
        EXPECT_FALSE(S().Flags.GameTyping) << "the display switch ends the typing";
        Step("alt+Return");
        EXPECT_FALSE(S().Flags.GameFullScreen);
        Steps({"C", "BackSpace", "C"});
        EXPECT_TRUE(S().Flags.GameTyping);
        EXPECT_EQ(e.field(*this), "ABC");
        Step(e.keep);
        const auto saved = ReadConfig((dir / "Config.cfg").string(), {});
        ASSERT_TRUE(saved);
        EXPECT_EQ(e.saved(*saved), "ABC");
        TearDown();
        SetUp();
    }
}

// A question dims the screen behind it, and takes the dimming away with it.
TEST_F(Keys, AQuestionDimsTheScreenBehindIt) {
    Open();
    auto left = [this] { return Strip(20, 280, 180, 320); }; // left of every panel
    const std::vector<uint32_t> bright = left();
    Step("Escape");
    const std::vector<uint32_t> dimmed = left();
    ASSERT_EQ(dimmed.size(), bright.size());
    int darker = 0;
    for (size_t i = 0; i < bright.size(); ++i) {
        for (int shift : {0, 8, 16})
            EXPECT_LE((dimmed[i] >> shift) & 255, (bright[i] >> shift) & 255);
        darker += dimmed[i] != bright[i];
    }
    EXPECT_GT(darker, static_cast<int>(bright.size()) / 2);
    Step("Escape");
    EXPECT_EQ(left(), bright);
}

// The table opened after a game lights the result just stored, and only until it is left.
TEST_F(Keys, TheTableLightsTheNewEntryAfterAGame) {
    Open();
    form->SwitchScene(TScene::Pond);
    form->State().Score = 1200; // between the defaults 1500 and 1000: the fifth place
    form->SwitchScene(TScene::GameOver);
    form->RunFor(5100);
    Steps({"Z", "O", "E", "Return"});
    ASSERT_EQ(S().Scene, TScene::HighScores);
    ASSERT_EQ(S().HighScores[4].Name, "ZOE");
    EXPECT_EQ(S().Menus.NewEntry, 4);
    auto lit = [this] {
        std::vector<double> rows;
        ForEachChild<TPicture>(form->Engine(), [&](TPicture& p) {
            if (!p.Dying() && p.Image && p.Image->Name() == "HighScore_Lit") rows.push_back(p.Y);
        });
        return rows;
    };
    EXPECT_EQ(lit(), std::vector<double>{219 + 37 * 4});
    Step("Escape");
    form->SwitchScene(TScene::HighScores);
    EXPECT_TRUE(lit().empty()) << "seen once: the table opened from the menu lights nothing";
}
