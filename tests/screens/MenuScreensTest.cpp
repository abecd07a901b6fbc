#include "persist/Config.h"
#include "persist/HighScores.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuFixture.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pondlark;

TEST_F(GameFixture, IntroGivesWayToEscapeAndALeftPressButNotARightOne) {
    ASSERT_TRUE(Start());
    platform.MouseDown(10, 10, MouseButton::Right);
    form->Pump();
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    platform.MouseDown(10, 10, MouseButton::Left);
    form->Pump();
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_FALSE(form->SceneTimer().Enabled());
}

TEST_F(Menus, EveryMainMenuItemLeadsWhereItSays) {
    Open();
    struct Case {
        int x, y;
        TScene scene;
    } cases[] = {{355, 165, TScene::Pond},
                 {735, 205, TScene::Pond},
                 {500, 260, TScene::Options},
                 {500, 335, TScene::HighScores},
                 {550, 410, TScene::Help}};
    for (const Case& c : cases) {
        Click(c.x, c.y);
        EXPECT_EQ(form->State().Scene, c.scene) << c.x << "," << c.y;
        EXPECT_EQ(sounds.back(), "button_down");
        form->SwitchScene(TScene::MainMenu);
    }
    Click(500, 480); // Visit web site
    ASSERT_EQ(platform.OpenedUrls().size(), 1u);
    EXPECT_EQ(platform.OpenedUrls()[0], "http://pondlark.tallowgate.example/");
    Click(550, 550); // Exit
    EXPECT_TRUE(form->State().Flags.GameMainExit);
    EXPECT_EQ(Live<TQuitPanel>(), 1);
}

TEST_F(Menus, PressesOutsideItemsOrWithTheRightButtonDoNothing) {
    Open();
    Click(354, 165);
    Click(500, 185, MouseButton::Right);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_EQ(Count("button_down"), 0);
}

TEST_F(Menus, HoverTicksOnceOnEnteringAnItem) {
    Open();
    Move(100, 100); // outside every item
    Move(500, 185);
    Move(520, 190);
    Move(600, 200);
    EXPECT_EQ(Count("button_up"), 1) << "moving inside the item stays quiet";
    EXPECT_EQ(Live<TStartGameLight>(), 1) << "one highlight, made anew on each move";
    Move(500, 260); // straight into Options, never outside
    EXPECT_EQ(Count("button_up"), 1);
    EXPECT_EQ(Live<TOptionsLight>(), 1);
    EXPECT_EQ(Live<TStartGameLight>(), 0);
    Move(100, 100);
    Move(500, 260);
    EXPECT_EQ(Count("button_up"), 2);
    EXPECT_EQ(platform.CurrentCursor(), Cursor::Hand);
}

TEST_F(Menus, HelpPagesTurnBetweenOneAndFiveAndReopenOnOne) {
    Open();
    Click(550, 410);
    ASSERT_EQ(form->State().Scene, TScene::Help);
    for (int page = 2; page <= 5; ++page) {
        Click(650, 520);
        EXPECT_EQ(form->State().Menus.HelpPage, page);
    }
    const int presses = Count("button_down");
    Click(650, 520); // no sixth page
    EXPECT_EQ(form->State().Menus.HelpPage, 5);
    EXPECT_EQ(Count("button_down"), presses);
    for (int page = 4; page >= 1; --page) {
        Click(600, 565);
        EXPECT_EQ(form->State().Menus.HelpPage, page);
    }
    Click(600, 565);
    EXPECT_EQ(form->State().Menus.HelpPage, 1);
    Click(650, 520);
    Key(vk::Escape);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    Click(550, 410);
    EXPECT_EQ(form->State().Menus.HelpPage, 1);
}

TEST_F(Menus, OptionSwitchesActOnlyOnTheChoiceNotInForce) {
    Open();
    Click(500, 260);
    ASSERT_EQ(form->State().Scene, TScene::Options);
    const int before = Count("button_down");
    Click(300, 230); // window mode, already in force
    Click(290, 295); // music on, already on
    EXPECT_EQ(Count("button_down"), before);
    Click(400, 295); // music off
    EXPECT_FALSE(form->State().Flags.GameMusic);
    EXPECT_EQ(form->Song, 0u) << "the song stops at once";
    Click(290, 295); // music on again
    EXPECT_TRUE(form->State().Flags.GameMusic);
    EXPECT_EQ(songs.back(), "1");
    Click(400, 350); // sound off: its own click is silent
    EXPECT_FALSE(form->State().Flags.GameSound);
    const int silent = Count("button_down");
    Click(290, 350);
    EXPECT_TRUE(form->State().Flags.GameSound);
    EXPECT_EQ(Count("button_down"), silent + 1);
    Click(600, 230); // full screen
    EXPECT_TRUE(platform.IsFullScreen());
    Click(300, 230);
    EXPECT_FALSE(platform.IsFullScreen());
    Frame();
    EXPECT_EQ(Live<TWindowModeChoice>(), 1);
    EXPECT_EQ(Live<TMusicOnChoice>(), 1);
    Key(vk::Escape);
    auto saved = ReadConfig((dir / "Config.cfg").string(), DefaultHighScores());
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->Music);
    EXPECT_TRUE(saved->Sound);
}

TEST_F(Menus, CountryEntryStopsAtTenCharactersOrTheWidthLimit) {
    Open();
    Click(500, 260);
    ASSERT_TRUE(form->State().Flags.GameTyping) << "an empty country starts typing at once";
    Type("ABCDEFGHIJKL");
    EXPECT_LE(form->CountryEntry.size(), 10u);
    EXPECT_EQ(form->CountryEntry.substr(0, 3), "ABC");
    Frame();
    EXPECT_TRUE(form->CountryEntry.size() == 10u || form->State().Menus.EntryTextWidth + 37 > 375)
        << "it stops only at one of the two limits";
    const size_t full = form->CountryEntry.size();
    Key(vk::Back);
    EXPECT_EQ(form->CountryEntry.size(), full - 1);
    Key(vk::Space); // not in the alphabet
    EXPECT_EQ(form->CountryEntry.size(), full - 1);
    Click(100, 100); // any press ends typing with a country
    EXPECT_FALSE(form->State().Flags.GameTyping);
    Key('Q');
    EXPECT_EQ(form->CountryEntry.size(), full - 1);
    Click(500, 420); // the field resumes it
    EXPECT_TRUE(form->State().Flags.GameTyping);
    Key(vk::Escape);
    EXPECT_EQ(form->State().Country, form->CountryEntry);
}

// Typing one letter a frame while the caret shows must not leave a caret behind each letter:
// after the typing there is one caret place, at the end of the text.
TEST_F(Menus, FastTypingLeavesOneCaretAtTheEndOfTheText) {
    struct Case {
        const char* screen;
        bool nameEntry;
        int y;
        int halves; // the text's width counts whole (options) or half (the centred name)
    } cases[] = {{"options", false, 440, 2}, {"name entry", true, 343, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        Open();
        if (c.nameEntry) {
            form->SwitchScene(TScene::Pond);
            form->State().Score = 1200;
            form->SwitchScene(TScene::GameOver);
            form->RunFor(5100);
            ASSERT_TRUE(form->State().Flags.GameEnterName);
        } else {
            Click(500, 260);
        }
        ASSERT_TRUE(form->State().Flags.GameTyping);
        form->State().Shell.CaretBlink = 30;
        Type("WAVES");
        Frame();
        ASSERT_GT(form->State().Shell.CaretBlink, 15) << "the caret still shows";
        const double x = 400 + form->State().Menus.EntryTextWidth * c.halves / 2.0;
        int carets = 0;
        ForEachChild<TCaret>(form->Engine(), [&](TCaret& p) {
            if (p.Dying()) return;
            ++carets;
            EXPECT_EQ(p.X, x);
            EXPECT_EQ(p.Y, c.y);
        });
        EXPECT_GT(carets, 0);
        form.reset();
    }
}

TEST_F(Menus, TheClearQuestionHidesTheTableAndYesRestoresTheDefaults) {
    Open();
    form->State().HighScores[0] = {"Pip", 99999};
    Click(500, 335);
    ASSERT_EQ(form->State().Scene, TScene::HighScores);
    Click(100, 235); // Clear
    EXPECT_TRUE(form->State().Flags.GameClearHighScore);
    EXPECT_EQ(Live<TClearPanel>(), 1);
    Key(vk::Escape); // closes the question, stays on the screen
    EXPECT_EQ(form->State().Scene, TScene::HighScores);
    EXPECT_FALSE(form->State().Flags.GameClearHighScore);
    EXPECT_EQ(form->State().HighScores[0].Score, 99999);
    Click(100, 235);
    Click(450, 330); // no
    EXPECT_EQ(form->State().HighScores[0].Score, 99999);
    Click(100, 235);
    Click(340, 330); // yes
    EXPECT_EQ(form->State().HighScores, DefaultHighScores());
    EXPECT_FALSE(form->State().Flags.GameClearHighScore);
    auto saved = ReadConfig((dir / "Config.cfg").string(), {});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->HighScores, DefaultHighScores()) << "written at once";
    Click(100, 350); // View online
    EXPECT_EQ(platform.OpenedUrls().back(),
              "http://pondlark.tallowgate.example/cgi/version.pl?prg=Pondlark&type=0&show");
}

TEST_F(Menus, ExitQuestionInTheMenu) {
    Open();
    Key(vk::Escape);
    ASSERT_TRUE(form->State().Flags.GameMainExit);
    EXPECT_EQ(sounds.back(), "pause");
    Key(vk::Escape);
    EXPECT_FALSE(form->State().Flags.GameMainExit);
    EXPECT_EQ(sounds.back(), "after_pause");
    EXPECT_EQ(platform.Caption(), "PONDLARK");
    Key(vk::Escape);
    Click(460, 325, MouseButton::Right); // only the left button answers in the menu
    EXPECT_TRUE(form->State().Flags.GameMainExit);
    Click(460, 325); // no: the menu is rebuilt
    EXPECT_FALSE(form->State().Flags.GameMainExit);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_FALSE(form->Terminated());
    Key(vk::Escape);
    Click(330, 320); // yes
    EXPECT_TRUE(form->Terminated());
}

TEST_F(Menus, ExitQuestionInAPlayStageEndsTheGameByScore) {
    struct Case {
        int32_t score;
        TScene scene;
    } cases[] = {{100, TScene::MainMenu}, {101, TScene::GameOver}};
    for (const Case& c : cases) {
        Open();
        Key(vk::Return);
        ASSERT_EQ(form->State().Scene, TScene::Pond);
        form->State().Score = c.score;
        Key(vk::Escape);
        ASSERT_TRUE(form->State().Flags.GameMainExit);
        Click(330, 320, MouseButton::Right); // any button answers during play
        EXPECT_EQ(form->State().Scene, c.scene) << c.score;
        EXPECT_FALSE(form->State().Flags.GameMainExit);
        form.reset();
    }
}

TEST_F(Menus, NameEntryStoresAQualifyingScoreAndLetsATieLeave) {
    Open();
    form->SwitchScene(TScene::Pond);
    form->State().Score = 1200;
    form->SwitchScene(TScene::GameOver);
    EXPECT_EQ(songs.back(), "3");
    form->RunFor(5100);
    ASSERT_TRUE(form->State().Flags.GameEnterName);
    ASSERT_TRUE(form->State().Flags.GameTyping) << "an empty name starts typing";
    Key(vk::Return); // empty name: nothing
    EXPECT_EQ(form->State().Scene, TScene::GameOver);
    Type("WWWWWWWWWWWW");
    EXPECT_EQ(form->NameEntry, "WWWWWWWWWW") << "the eleventh character is refused";
    while (!form->NameEntry.empty())
        Key(vk::Back);
    // The width table: the next character must fit within 360 pixels with the drawn name.
    form->State().Menus.EntryTextWidth = 320;
    NameEntryKey(*form, 'W', false); // 320 + 53
    EXPECT_EQ(form->NameEntry, "");
    NameEntryKey(*form, 'I', false); // 320 + 17
    EXPECT_EQ(form->NameEntry, "I");
    Key(vk::Back);
    Key(vk::Back); // on an empty name: nothing
    Type("ANNA");
    Frame();
    Click(260, 385); // the send box
    EXPECT_TRUE(form->State().Flags.GameSendResult);
    EXPECT_EQ(Live<TSendTick>(), 1);
    Click(260, 385);
    EXPECT_FALSE(form->State().Flags.GameSendResult);
    Key(vk::Return);
    EXPECT_EQ(form->State().Scene, TScene::HighScores);
    EXPECT_EQ(form->State().HighScores[4].Name, "ANNA");
    EXPECT_EQ(form->State().HighScores[4].Score, 1200);
    EXPECT_EQ(form->State().HighScores[5].Score, 1000) << "lower entries move down";
}

TEST_F(Menus, AScoreEqualToTheTenthShowsThePanelButStoresNothing) {
    Open();
    form->SwitchScene(TScene::Pond);
    form->State().Score = 100;
    form->SwitchScene(TScene::GameOver);
    Key(vk::Return); // during the wait: nothing
    EXPECT_EQ(form->State().Scene, TScene::GameOver);
    form->RunFor(5100);
    ASSERT_TRUE(form->State().Flags.GameEnterName);
    Click(400, 330); // a press does not leave with a tie
    EXPECT_EQ(form->State().Scene, TScene::GameOver);
    Type("BO");
    Key(vk::Return);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_EQ(form->State().HighScores, DefaultHighScores());
}

TEST_F(Menus, AltEnterSwitchesTheDisplayInEveryScene) {
    Open();
    for (TScene scene : {TScene::MainMenu, TScene::Pond, TScene::Eating, TScene::Help,
                         TScene::Options, TScene::HighScores, TScene::GameOver}) {
        form->SwitchScene(scene);
        const bool before = platform.IsFullScreen();
        Key(vk::Return, /*alt=*/true);
        EXPECT_NE(platform.IsFullScreen(), before) << "scene " << static_cast<int>(scene);
        EXPECT_EQ(form->State().Scene, scene);
    }
}
