#include "app/GameFixture.h"
#include "persist/Config.h"
#include "persist/HighScores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

using namespace pondlark;

namespace {
struct Music : GameFixture {
    std::vector<std::string> songs;
    void Open() {
        ASSERT_TRUE(StartShown());
        form->OnSongStarted = [this](const std::string& s) { songs.push_back(s); };
    }
    // Plays `seconds` of audio, a frame after each second, so the watcher sees the order move.
    void Listen(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            platform.PullAudio(44100);
            Frame();
        }
    }
};
} // namespace

TEST_F(Music, AWrappedMenuOrGameOverSongStartsAgainButThePlaySongLoopsOnItsOwn) {
    struct Case {
        TScene scene;
        int seconds; // a little more than one pass of the scene's song
        const char* restarted;
    } cases[] = {
        {TScene::GameOver, 23, "3"}, {TScene::Pond, 86, nullptr}, {TScene::HighScores, 72, "1"}};
    for (const Case& c : cases) {
        Open();
        form->SwitchScene(TScene::MainMenu);
        form->SwitchScene(c.scene);
        if (c.scene == TScene::HighScores) form->PlayMusic("1");
        songs.clear();
        Listen(c.seconds);
        if (c.restarted)
            EXPECT_EQ(songs, std::vector<std::string>{c.restarted})
                << "scene " << static_cast<int>(c.scene);
        else
            EXPECT_TRUE(songs.empty()) << "scene " << static_cast<int>(c.scene);
        form.reset();
        songs.clear();
    }
}

TEST_F(Music, MusicOffLoadsNoSongAndTheIntroSongPlaysOtherwise) {

    {
        std::ofstream(dir / "Config.cfg", std::ios::binary)
            << FormatConfig({.FullScreen = false,
                             .Music = false,
                             .Sound = true,
                             .Country = "",
                             .PlayerName = "",
                             .HighScores = DefaultHighScores()});
    }
    Open();
    EXPECT_EQ(form->Song, 0u);
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    EXPECT_EQ(form->Song, 0u);
    EXPECT_TRUE(songs.empty());
}

TEST_F(Music, ReturningFromAGameRestartsTheMenuSongButTheOptionsDoNot) {
    Open();
    ASSERT_NE(form->Song, 0u) << "the intro starts song 1";
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Options);
    form->SwitchScene(TScene::MainMenu);
    EXPECT_TRUE(songs.empty());
    form->SwitchScene(TScene::Pond);
    songs.clear();
    form->SwitchScene(TScene::MainMenu);
    EXPECT_EQ(songs, std::vector<std::string>{"1"});
}

// Music and effects are heard only while the game's window has the focus; they come back with
// it, the song having gone on unheard meanwhile.
TEST_F(Music, SoundIsHeardOnlyWhileTheWindowHasTheFocus) {
    Open();
    const auto loudest = [this] {
        const std::vector<float> out = platform.PullAudio(8820);
        float peak = 0;
        for (float v : out)
            peak = std::max(peak, std::abs(v));
        return peak;
    };
    form->SwitchScene(TScene::MainMenu);
    form->PlaySound(TSound::ButtonDown);
    EXPECT_GT(loudest(), 0.0f);
    platform.Focus(false);
    form->Pump();
    form->PlaySound(TSound::ButtonDown);
    EXPECT_EQ(loudest(), 0.0f);
    EXPECT_EQ(loudest(), 0.0f);
    platform.Focus(true);
    form->Pump();
    EXPECT_GT(loudest(), 0.0f);
}
