#include "app/GameFixture.h"
#include "persist/Config.h"
#include "persist/HighScores.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace pondlark;

namespace {
struct Music : GameFixture {
    std::vector<std::string> songs;
    void Open() {
        ASSERT_TRUE(Start());
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
        int scene;
        int seconds; // a little more than one pass of the scene's song
        const char* restarted;
    } cases[] = {{9, 23, "3"}, {3, 86, nullptr}, {7, 72, "1"}};
    for (const Case& c : cases) {
        Open();
        form->SwitchScene(2);
        form->SwitchScene(c.scene);
        if (c.scene == 7) form->PlayMusic("1");
        songs.clear();
        Listen(c.seconds);
        if (c.restarted)
            EXPECT_EQ(songs, std::vector<std::string>{c.restarted}) << "scene " << c.scene;
        else
            EXPECT_TRUE(songs.empty()) << "scene " << c.scene;
        form.reset();
        songs.clear();
    }
}

TEST_F(Music, MusicOffLoadsNoSongAndTheIntroSongPlaysOtherwise) {

    {
        std::ofstream(dir / "Config.cfg", std::ios::binary)
            << FormatConfig(false, false, true, "", "", DefaultHighScores());
    }
    Open();
    EXPECT_EQ(form->Song, 0u);
    form->SwitchScene(2);
    form->SwitchScene(3);
    EXPECT_EQ(form->Song, 0u);
    EXPECT_TRUE(songs.empty());
}

TEST_F(Music, ReturningFromAGameRestartsTheMenuSongButTheOptionsDoNot) {
    Open();
    ASSERT_NE(form->Song, 0u) << "the intro starts song 1";
    form->SwitchScene(2);
    form->SwitchScene(6);
    form->SwitchScene(2);
    EXPECT_TRUE(songs.empty());
    form->SwitchScene(3);
    songs.clear();
    form->SwitchScene(2);
    EXPECT_EQ(songs, std::vector<std::string>{"1"});
}
