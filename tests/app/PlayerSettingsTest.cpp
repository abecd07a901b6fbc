// Settings.cfg's player lines at work in the game: the volumes at the mixer's output, the
// scaling handed to the window, and the window's place remembered from one run to the next.
#include "app/GameFixture.h"
#include "engine/AudioTestSupport.h"
#include "persist/Settings.h"

#include <fstream>

namespace pondlark {
namespace {

// Music of a constant level, to read its gain straight from the mixer's output.
class ConstantMusic final : public IAudioSource {
public:
    void Render(float* stereo, int frames) override {
        std::fill(stereo, stereo + 2 * frames, 0.5f);
    }
};

struct PlayerSettings : GameFixture {
    std::string SettingsPath() const { return (dir / "Settings.cfg").string(); }
    void Plant(const std::string& text) { std::ofstream(SettingsPath()) << text; }
    TPlayerSettings InTheFile() {
        std::string problem;
        std::vector<std::string> warnings;
        return ReadPlayerSettings(ReadSettings(SettingsPath(), problem), warnings);
    }
};

TEST_F(PlayerSettings, VolumesReachTheMixersOutputLevel) {
    struct Case {
        const char* lines;
        float music, sound; // peaks of a 0.5 music level and of a 0.5 tone
    } cases[] = {
        {"", 0.5f, 0.5f},
        {"music-volume=100\nsound-volume=100\n", 0.5f, 0.5f},
        {"music-volume=50\nsound-volume=20\n", 0.125f, 0.02f},
        {"music-volume=0\nsound-volume=70\n", 0.0f, 0.245f},
        {"music-volume=300\nsound-volume=0\n", 0.5f, 0.0f}, // out of range: the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        Plant(c.lines);
        ASSERT_TRUE(StartShown()); // the sound output opens once the first frame is shown
        TSoundMixer& mixer = form->DXSound.Mixer();
        mixer.SetSilenced(false);
        ConstantMusic music;
        mixer.SetMusicSource(&music);
        EXPECT_NEAR(test::Peak(platform.PullAudio(1024)), c.music, 1e-4f);
        mixer.SetMusicSource(nullptr);
        TSoundBuffer tone =
            mixer.CreateBuffer(test::LoadWaveFixture("tone16_mono_22050_441hz.wav"));
        tone.Play(false);
        EXPECT_NEAR(test::Peak(platform.PullAudio(2048)), c.sound, 0.01f);
        tone = TSoundBuffer();
        form.reset();
    }
}

TEST_F(PlayerSettings, ScalingIsHandedToTheWindow) {
    const std::pair<const char*, Scaling> cases[] = {{"", Scaling::Sharp},
                                                     {"scaling=smooth\n", Scaling::Smooth},
                                                     {"scaling=sharp\n", Scaling::Sharp}};
    for (const auto& [lines, scaling] : cases) {
        SCOPED_TRACE(lines);
        Plant(lines);
        platform.SetScaling(scaling == Scaling::Sharp ? Scaling::Smooth : Scaling::Sharp);
        ASSERT_TRUE(Start());
        EXPECT_EQ(platform.CurrentScaling(), scaling);
        form.reset();
    }
}

TEST_F(PlayerSettings, TheWindowIsWhereTheLastRunLeftIt) {
    Plant("window-x=30\nwindow-y=40\nwindow-width=1000\nwindow-height=700\nmusic-volume=40\n");
    ASSERT_TRUE(Start());
    WindowPlacement p = platform.GetPlacement();
    EXPECT_EQ(p.x, 30);
    EXPECT_EQ(p.y, 40);
    EXPECT_EQ(p.width, 1000);
    EXPECT_EQ(p.height, 700);
    EXPECT_EQ(p.state, WindowState::Normal);

    // Moved, resized and maximized by the player, then the game ends.
    platform.SetPlacement({200, 100, 1200, 900, WindowState::Maximized});
    form->Terminate();
    const TPlayerSettings stored = InTheFile();
    ASSERT_TRUE(stored.window);
    EXPECT_EQ(stored.window->x, 200);
    EXPECT_EQ(stored.window->width, 1200);
    EXPECT_EQ(stored.window->height, 900);
    EXPECT_EQ(stored.window->state, WindowState::Maximized);
    EXPECT_EQ(stored.musicVolume, 40) << "the other settings stay";
    form.reset();

    ASSERT_TRUE(Start());
    p = platform.GetPlacement();
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.state, WindowState::Maximized);
}

} // namespace
} // namespace pondlark
