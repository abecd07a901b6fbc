// The first-game hints: a line under the level banner until the player has crossed a pond, and
// "hold to shoot" in the feast after that first crossing, remembered in Settings.cfg.
#include "app/GameFixture.h"
#include "persist/Settings.h"
#include "platform/VirtualKeys.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace pondlark {
namespace {

struct Hints : GameFixture {
    TGameState& S() { return form->State(); }
    std::string SettingsPath() const { return (dir / "Settings.cfg").string(); }
    void ToPond() {
        ASSERT_TRUE(Start(7));
        Key(vk::Return);
        Key(vk::Return);
        ASSERT_EQ(S().Scene, TScene::Pond);
        ASSERT_TRUE(S().Pond.LevelBanner);
    }
    // Under the level banner, where the pond's hint stands.
    std::vector<uint32_t> UnderTheBanner() { return Strip(100, 335, 700, 370); }
    // Above the feasting frog, where "hold to shoot" stands.
    std::vector<uint32_t> AboveTheFrog() { return Strip(150, 395, 650, 425); }
    bool HintsOffInTheFile() {
        std::string problem;
        return !ReadSettings(SettingsPath(), problem).Flag("first-game-hints", true);
    }
};

TEST_F(Hints, ANewPlayerSeesThemUntilAPondIsCrossedAndNeverAgain) {
    // A player whose settings say the hints are done: the banner alone.
    std::ofstream(SettingsPath()) << "first-game-hints=off\n";
    ToPond();
    EXPECT_FALSE(S().Hints.FirstGame);
    const std::vector<uint32_t> bannerAlone = UnderTheBanner();
    form.reset();
    std::filesystem::remove(SettingsPath());

    // A new player: the line under the banner, on every pond until one is crossed.
    ToPond();
    EXPECT_TRUE(S().Hints.FirstGame);
    EXPECT_NE(UnderTheBanner(), bannerAlone);
    EXPECT_FALSE(std::filesystem::exists(SettingsPath())) << "nothing to remember yet";

    // Crossed: remembered at once, and the first feast says how to shoot until the tongue goes
    // out.
    form->RunFor(3400);
    S().Pond.PondRunning = false;
    Frame();
    ASSERT_EQ(S().Scene, TScene::Eating);
    EXPECT_FALSE(S().Hints.FirstGame);
    EXPECT_TRUE(HintsOffInTheFile());
    EXPECT_TRUE(S().Hints.Shoot);
    const std::vector<uint32_t> withHint = AboveTheFrog();
    platform.KeyDown(vk::Space);
    Frame();
    Frame();
    platform.KeyUp(vk::Space);
    for (int i = 0; i < 3; ++i)
        Frame();
    ASSERT_EQ(S().Eating.TongueLength, 0);
    EXPECT_FALSE(S().Hints.Shoot);
    EXPECT_NE(AboveTheFrog(), withHint);

    // The next game in the same folder: no hints.
    form.reset();
    ToPond();
    EXPECT_FALSE(S().Hints.FirstGame);
    EXPECT_EQ(UnderTheBanner(), bannerAlone);
}

TEST_F(Hints, ASettingsFileTheGameCannotReadIsReportedAndTheHintsStay) {
    std::filesystem::create_directory(SettingsPath());
    ToPond();
    EXPECT_TRUE(S().Hints.FirstGame);
    ASSERT_FALSE(form->ReportedErrors().empty());
    EXPECT_NE(form->ReportedErrors().front().find("Settings.cfg"), std::string::npos);
}

} // namespace
} // namespace pondlark
