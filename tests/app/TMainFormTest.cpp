#include "app/TMainForm.h"
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "persist/HighScores.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"
#include "screens/HotRects.h"

#include "app/GameFixture.h"

#include <gtest/gtest.h>

using namespace pondlark;

TEST_F(GameFixture, StartUpOpensTheIntroAndTheMenuFollowsAfterTwoSeconds) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    EXPECT_EQ(platform.Caption(), "PONDLARK");
    EXPECT_TRUE(platform.Shown());
    EXPECT_EQ(form->State().HighScores[0].Score, DefaultHighScores()[0].Score);
    form->RunFor(1990);
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    form->RunFor(20);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_FALSE(form->SceneTimer().Enabled()) << "the intro wait is a one-shot";
}

TEST_F(GameFixture, EnterOnTheIntroOpensTheMenuAndTheLateTimerChangesNothing) {
    ASSERT_TRUE(Start());
    Key(vk::Return);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    form->RunFor(2500);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
}

TEST_F(GameFixture, AltEnterOnTheIntroSwitchesTheDisplayOnly) {
    ASSERT_TRUE(Start());
    Key(vk::Return, /*alt=*/true);
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    EXPECT_TRUE(form->State().Flags.GameFullScreen);
    EXPECT_TRUE(platform.IsFullScreen());
}

TEST_F(GameFixture, LeavingTheMenuStartsAGameAndLeavingAStageFlagsTheMusic) {
    ASSERT_TRUE(Start());
    Key(vk::Escape); // intro -> menu
    form->State().Score = 999;
    Key(vk::Return); // menu -> pond
    EXPECT_EQ(form->State().Scene, TScene::Pond);
    EXPECT_EQ(form->State().Level, 1);
    EXPECT_EQ(form->State().Score, 0);
    EXPECT_EQ(form->State().Lives, 3);
    form->SwitchScene(TScene::Eating);
    EXPECT_TRUE(form->State().Shell.MusicRestart);
    EXPECT_EQ(form->State().Eating.TimeLeft, 19 + 10);
    EXPECT_TRUE(form->LevelTimer.Enabled());
    EXPECT_TRUE(form->State().Shell.AimCentred);
    form->State().Pond.PondRunning = false;
    form->State().GameOverPending = true;
    form->SwitchScene(TScene::GameOver);
    EXPECT_TRUE(form->State().Pond.PondRunning);
    EXPECT_FALSE(form->State().GameOverPending);
    EXPECT_EQ(form->SceneTimer().Interval(), 5000u);
    EXPECT_TRUE(form->SceneTimer().Enabled());
}

TEST_F(GameFixture, GameOverLeaveClearsTheEntryFlags) {
    ASSERT_TRUE(Start());
    form->SwitchScene(TScene::GameOver);
    form->State().Flags.GameEnterName = form->State().Flags.GameTyping = true;
    form->State().Flags.GameSendResult = true;
    form->SwitchScene(TScene::MainMenu);
    EXPECT_FALSE(form->State().Flags.GameEnterName);
    EXPECT_FALSE(form->State().Flags.GameTyping);
    EXPECT_FALSE(form->State().Flags.GameSendResult);
}

TEST_F(GameFixture, LevelTimerCountsTheEatingClockDown) {
    ASSERT_TRUE(Start());
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    form->SwitchScene(TScene::Eating);
    form->RunFor(3000);
    EXPECT_EQ(form->State().Eating.TimeLeft, 26);
}

TEST_F(GameFixture, PauseTogglesTheBannerTimerWhichRestartsItsWait) {
    ASSERT_TRUE(Start());
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    form->State().Pond.LevelBanner = true;
    form->SceneTimer().SetInterval(3300);
    form->SceneTimer().SetEnabled(true);
    Key('P');
    EXPECT_TRUE(form->State().Shell.Paused);
    EXPECT_FALSE(form->State().Pond.LevelBanner);
    EXPECT_FALSE(form->SceneTimer().Enabled());
    form->RunFor(1000);
    Key('P');
    EXPECT_FALSE(form->State().Shell.Paused);
    EXPECT_TRUE(form->SceneTimer().Enabled());
    form->State().Pond.LevelBanner = true; // watch the restarted wait end it
    form->RunFor(3200);
    EXPECT_TRUE(form->State().Pond.LevelBanner);
    form->RunFor(200);
    EXPECT_FALSE(form->State().Pond.LevelBanner);
}

TEST_F(GameFixture, AimFollowsThePointerOnlyAfterItMovesAndIsClamped) {
    ASSERT_TRUE(Start());
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    form->SwitchScene(TScene::Eating);
    platform.Advance(40);
    form->Pump();
    EXPECT_DOUBLE_EQ(form->State().Shell.TongueAngle, 180.0) << "centred until the pointer moves";
    struct Case {
        int x;
        double angle;
    } cases[] = {{400, 180.0}, {350, 135.0}, {0, 120.0}, {799, 240.0}, {450, 225.0}};
    for (const Case& c : cases) {
        platform.MouseMove(c.x, 300);
        platform.Advance(30);
        form->Pump();
        EXPECT_NEAR(form->State().Shell.TongueAngle, c.angle, 1e-9) << "x=" << c.x;
    }
    form->State().Shell.TongueAngleOffset = -10;
    platform.MouseMove(400, 300);
    platform.Advance(30);
    form->Pump();
    EXPECT_NEAR(form->State().Shell.TongueAngle, 170.0, 1e-9);
}

TEST_F(GameFixture, FrameCountdownsStopAtZeroAndTheCaretCounterCycles) {
    ASSERT_TRUE(Start());
    form->State().Shell.LeftKeyDelay = 2;
    form->State().Shell.ActionKeyDelay = 1;
    form->State().Shell.CaretBlink = 1;
    Frame();
    EXPECT_EQ(form->State().Shell.LeftKeyDelay, 1);
    EXPECT_EQ(form->State().Shell.ActionKeyDelay, 0);
    EXPECT_EQ(form->State().Shell.CaretBlink, 30) << "reaching 0 starts the next 30-frame cycle";
    Frame();
    Frame();
    EXPECT_EQ(form->State().Shell.LeftKeyDelay, 0);
    EXPECT_EQ(form->State().Shell.ActionKeyDelay, 0);
    EXPECT_EQ(form->State().Shell.CaretBlink, 28);
}

TEST_F(GameFixture, CloseBoxNeverClosesAndAsksTheQuestionInTheMenu) {
    ASSERT_TRUE(Start());
    platform.CloseBox();
    form->Pump();
    EXPECT_FALSE(form->Terminated());
    EXPECT_FALSE(form->State().Flags.GameMainExit) << "no question on the intro";
    Key(vk::Escape);
    platform.CloseBox();
    form->Pump();
    EXPECT_TRUE(form->State().Flags.GameMainExit);
    EXPECT_EQ(platform.Caption(), "PONDLARK [Pause]");
}

TEST_F(GameFixture, ClosingWhilePausedEndsThePauseAndOpensTheQuestion) {
    ASSERT_TRUE(Start());
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    Key('P');
    ASSERT_TRUE(form->State().Shell.Paused);
    Key(vk::Escape);
    EXPECT_FALSE(form->State().Flags.GameMainExit) << "Esc does nothing while paused";
    platform.CloseBox();
    form->Pump();
    EXPECT_FALSE(form->State().Shell.Paused);
    EXPECT_TRUE(form->State().Flags.GameMainExit);
    Key('P');
    EXPECT_FALSE(form->State().Shell.Paused) << "P is ignored during the question";
}

TEST_F(GameFixture, FocusLossChangesTheCaptionAndTheFramesGoOn) {
    ASSERT_TRUE(Start());
    const uint64_t frames = form->FrameCount();
    platform.Focus(false);
    form->RunFor(300);
    EXPECT_EQ(platform.Caption(), "PONDLARK [Pause]");
    EXPECT_TRUE(form->State().Shell.AppInactive);
    EXPECT_GE(form->FrameCount(), frames + 9);
    platform.Focus(true);
    form->Pump();
    EXPECT_EQ(platform.Caption(), "PONDLARK");
    EXPECT_FALSE(form->State().Shell.AppInactive);
}

TEST_F(GameFixture, FullScreenRoundTripKeepsStateAndWindowPlace) {
    ASSERT_TRUE(Start());
    Key(vk::Escape);
    form->State().Score = 1234;
    form->State().Flags.GameTyping = true;
    WindowPlacement before = platform.GetPlacement();
    before.x = 321;
    before.y = 123;
    platform.SetPlacement(before);
    Key(vk::Return, true);
    EXPECT_TRUE(platform.IsFullScreen());
    EXPECT_FALSE(platform.Bordered());
    EXPECT_FALSE(form->State().Flags.GameTyping) << "typing stops on a switch";
    platform.SetPlacement({0, 0, 1920, 1080, WindowState::Normal});
    Key(vk::Return, true);
    EXPECT_FALSE(platform.IsFullScreen());
    EXPECT_TRUE(platform.Bordered());
    EXPECT_EQ(platform.GetPlacement().x, 321);
    EXPECT_EQ(platform.GetPlacement().y, 123);
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_EQ(form->State().Score, 1234);
    const int presented = platform.PresentCount();
    form->RunFor(100);
    EXPECT_GT(platform.PresentCount(), presented) << "frames run again after the switch";
}

TEST_F(GameFixture, MaximizingGoesFullScreenOnTheNextFrame) {
    ASSERT_TRUE(Start());
    platform.Maximize();
    form->Pump();
    EXPECT_FALSE(platform.IsFullScreen()) << "resize only records the request";
    Frame();
    EXPECT_TRUE(platform.IsFullScreen());
    EXPECT_EQ(platform.GetWindowState(), WindowState::Normal);
    EXPECT_TRUE(form->State().Flags.GameFullScreen);
}

TEST_F(GameFixture, RefusedFullScreenStopsFramesUntilTheWindowComesBack) {
    ASSERT_TRUE(Start());
    platform.RefuseFullScreen(true);
    Key(vk::Return, true);
    EXPECT_TRUE(form->State().Flags.GameFullScreen);
    ASSERT_EQ(form->ReportedErrors().size(), 1u);
    EXPECT_EQ(form->ReportedErrors()[0], "Display mode cannot be changed (800x600 16bit)");
    const uint64_t frames = form->FrameCount();
    form->RunFor(300);
    EXPECT_EQ(form->FrameCount(), frames) << "no frame while the display is released";
    platform.KeyDown(vk::Return, true);
    form->Pump();
    platform.KeyUp(vk::Return, true);
    form->Pump();
    EXPECT_FALSE(form->State().Flags.GameFullScreen);
    form->RunFor(100);
    EXPECT_GT(form->FrameCount(), frames);
}

TEST_F(GameFixture, AnErrorRepeatedEveryFrameIsReportedOnce) {
    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i)
        form->ReportError("Image 'nothing' not found");
    form->ReportError("Wave 'x' not found");
    EXPECT_EQ(form->ReportedErrors().size(), 2u);
    EXPECT_EQ(platform.MessageBoxes().size(), 1u) << "a box for the first only";
}

TEST_F(GameFixture, ADamagedPictureStopsTheGameWithItsMessageBeforeAnyPlay) {
    std::filesystem::copy(PONDLARK_GAME_DIR "/Data", dir / "Data",
                          std::filesystem::copy_options::recursive);
    const std::string path = (dir / "Data/Graphic.dxg").string();
    const GraphicArchive archive = ReadGraphicArchive(ReadWholeFile(path));
    ASSERT_GT(archive.items.size(), 2u);
    auto at = [&](std::string_view name) {
        for (size_t i = 0; i < archive.items.size(); ++i)
            if (archive.items[i].name == name) return i;
        ADD_FAILURE() << name;
        return size_t{0};
    };
    const size_t last = archive.items.size() - 1;
    // The first picture is a play-field backdrop stored unpacked: cut short, it cannot decode.
    ASSERT_NE(archive.items[0].name, "menu");
    enum class Damage { BitCount, CutShort };
    const struct {
        size_t item;
        Damage damage;
        bool enterAtOnce; // the player presses Enter before the first frame
        bool started;
        int framesShown; // before the message
    } cases[] = {
        // Refused with the archive, before any decoding.
        {0, Damage::BitCount, false, false, 0},
        {last, Damage::BitCount, false, false, 0},
        // Decoded before the first frame.
        {at("menu"), Damage::CutShort, false, false, 0},
        // Decoded while the intro shows: the intro's frame, then the message.
        {0, Damage::CutShort, false, true, 1},
        // Leaving the intro waits for the pictures, and finds the damage before the menu.
        {0, Damage::CutShort, true, true, 0},
    };
    for (const auto& c : cases) {
        std::vector<PictureEntry> items = archive.items;
        std::vector<uint8_t>& dib = items[c.item].dib;
        ASSERT_GT(dib.size(), 64u);
        if (c.damage == Damage::BitCount)
            dib[14] = 7; // a bit count no picture has
        else
            dib.resize(dib.size() / 2); // the header is whole, the pixels are not
        const std::vector<uint8_t> bytes =
            WriteGraphicArchive(items, archive.colorTable ? &*archive.colorTable : nullptr);
        WriteFileAtomically(path, bytes);
        HeadlessPlatform own;
        TMainForm game(own, dir.string());
        const std::string name = items[c.item].name;
        EXPECT_EQ(game.Start(), c.started) << name;
        if (c.enterAtOnce) own.KeyDown(vk::Return);
        for (int i = 0; i < 10; ++i) {
            game.Pump();
            own.Advance(30);
        }
        EXPECT_EQ(game.StartFailed(), c.started) << name << ": the loop ends";
        EXPECT_EQ(own.PresentCount(), c.framesShown) << name;
        EXPECT_NE(game.State().Scene, TScene::MainMenu) << name;
        ASSERT_EQ(game.ReportedErrors().size(), 1u) << name;
        EXPECT_EQ(game.ReportedErrors()[0], "DIB is invalid");
        EXPECT_EQ(own.MessageBoxes().size(), 1u);
    }
}

TEST_F(GameFixture, TheFirstFrameNeedsNoPictureThatDecodesAfterIt) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(form->ImageList.Items.Loading()) << "most pictures decode after the first frame";
    while (platform.PresentCount() == 0) {
        form->Pump();
        platform.Advance(1);
    }
    const std::vector<uint32_t> first = platform.LastFrame();
    // The next pass collects the rest; the intro stands still, so its next frame shows what
    // the first one would have shown with every picture there.
    form->Pump();
    EXPECT_FALSE(form->ImageList.Items.Loading());
    while (platform.PresentCount() == 1) {
        form->Pump();
        platform.Advance(1);
    }
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    EXPECT_TRUE(platform.LastFrame() == first) << "the first frame lacks a picture";
}

TEST_F(GameFixture, AMissingArchiveStopsStartUpWithItsMessage) {
    std::filesystem::copy(PONDLARK_GAME_DIR "/Data", dir / "Data",
                          std::filesystem::copy_options::recursive);
    for (const char* archive : {"Data/Graphic.dxg", "Data/Music.dxw"}) {
        std::filesystem::rename(dir / archive, dir / "moved-away");
        HeadlessPlatform own;
        TMainForm game(own, dir.string());
        EXPECT_FALSE(game.Start()) << archive;
        ASSERT_EQ(game.ReportedErrors().size(), 1u);
        EXPECT_NE(game.ReportedErrors()[0].find("Cannot open file"), std::string::npos);
        EXPECT_NE(game.ReportedErrors()[0].find(archive), std::string::npos);
        EXPECT_EQ(own.MessageBoxes().size(), 1u);
        std::filesystem::rename(dir / "moved-away", dir / archive);
    }
}

// The song and the sound archive take longer than the whole first frame: the window shows that
// frame first, and the song is heard from the next pass.
TEST_F(GameFixture, TheSongAndTheSoundsComeRightAfterTheFirstFrame) {
    form = std::make_unique<TMainForm>(platform, dir.string(), PONDLARK_GAME_DIR);
    std::vector<std::string> songs;
    form->OnSongStarted = [&](const std::string& s) { songs.push_back(s); };
    ASSERT_TRUE(form->Start());
    EXPECT_EQ(form->Song, 0u);
    EXPECT_EQ(form->DXWaveList.Items().Count(), 0);
    while (platform.PresentCount() == 0) {
        form->Pump();
        platform.Advance(1);
    }
    EXPECT_TRUE(songs.empty()) << "nothing is loaded on the way to the first frame";
    form->Pump();
    EXPECT_EQ(songs, std::vector<std::string>{"1"});
    EXPECT_NE(form->Song, 0u);
    EXPECT_GT(form->DXWaveList.Items().Count(), 0);
    EXPECT_TRUE(form->ReportedErrors().empty());
}

// A page fetches the sounds and the songs of play and game over beside its first frames: the
// game starts and plays without them, silent where they are missing, and takes each up on the
// pass its file appears; a damaged one that comes later ends the game as at the start.
TEST_F(GameFixture, SoundsAndSongsThatComeLaterAreTakenUpWhenTheyAreThere) {
    namespace fs = std::filesystem;
    const fs::path data = dir / "data";
    fs::create_directories(data / "Data");
    fs::create_directories(data / "Music");
    const fs::path game = PONDLARK_GAME_DIR;
    for (const char* first : {"Data/Graphic.dxg", "Data/GameFont.otf", "Music/1.xm"})
        fs::copy(game / first, data / first);
    const auto start = [&] {
        form = std::make_unique<TMainForm>(platform, dir.string(), data.string());
        form->SoundsMayComeLater = true;
        return form->Start();
    };
    std::vector<std::string> songs;
    ASSERT_TRUE(start());
    form->OnSongStarted = [&](const std::string& s) { songs.push_back(s); };
    form->RunFor(3000); // the intro, then the main menu
    EXPECT_TRUE(form->ReportedErrors().empty());
    EXPECT_EQ(form->State().Scene, TScene::MainMenu);
    EXPECT_EQ(songs, std::vector<std::string>{"1"}) << "the first song is there from the start";
    EXPECT_EQ(form->DXWaveList.Items().Count(), 0);
    // Start Game clicked: its button sounds with no sounds yet are nothing, and no error.
    const auto [x, y] = hot::kStart.Centre();
    platform.MouseMove(x, y);
    form->RunFor(100);
    platform.MouseDown(x, y, MouseButton::Left);
    form->RunFor(100);
    platform.MouseUp(x, y, MouseButton::Left);
    form->RunFor(500);
    ASSERT_EQ(form->State().Scene, TScene::Pond);
    EXPECT_EQ(form->Song, 0u) << "the pond's song waits in silence, not the menu's";
    for (const char* later : {"Data/Music.dxw", "Music/2.xm", "Music/3.xm"})
        fs::copy(game / later, data / later);
    form->RunFor(100);
    EXPECT_GT(form->DXWaveList.Items().Count(), 0);
    EXPECT_EQ(songs, (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(form->ReportedErrors().empty());

    // A damaged sound archive arriving later ends the game with its message.
    form.reset();
    for (const char* later : {"Data/Music.dxw", "Music/2.xm", "Music/3.xm"})
        fs::remove(data / later);
    ASSERT_TRUE(start());
    form->RunFor(300);
    EXPECT_FALSE(form->Terminated());
    WriteFileAtomically((data / "Data/Music.dxw").string(), std::vector<uint8_t>(1000, 'x'));
    form->RunFor(100);
    EXPECT_TRUE(form->StartFailed());
    EXPECT_EQ(form->ReportedErrors().size(), 1u);
}

// A sound archive that opens but does not read stops the game with its message right after the
// intro's first frame, before any play.
TEST_F(GameFixture, ADamagedSoundArchiveStopsTheGameAfterTheFirstFrame) {
    std::filesystem::copy(PONDLARK_GAME_DIR "/Data", dir / "Data",
                          std::filesystem::copy_options::recursive);
    WriteFileAtomically((dir / "Data/Music.dxw").string(), std::vector<uint8_t>(1000, 'x'));
    form = std::make_unique<TMainForm>(platform, dir.string());
    ASSERT_TRUE(form->Start());
    for (int i = 0; i < 10 && !form->Terminated(); ++i) {
        form->Pump();
        platform.Advance(30);
    }
    EXPECT_TRUE(form->StartFailed());
    EXPECT_EQ(platform.PresentCount(), 1u);
    EXPECT_EQ(form->State().Scene, TScene::Intro);
    ASSERT_EQ(form->ReportedErrors().size(), 1u);
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(form->Song, 0u);
}
