// An installed game reads its data from one folder and keeps Config.cfg in another.
#include "TestFolder.h"
#include "app/TMainForm.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace pondlark;
namespace fs = std::filesystem;

namespace {

struct DataDirTest : ::testing::Test {
    HeadlessPlatform platform;
    std::unique_ptr<TMainForm> form;
    fs::path root, home, data;

    void SetUp() override {
        root = FreshTestFolder();
        home = root / "home";
        data = root / "data";
        fs::create_directories(home);
        fs::create_directories(data);
        fs::copy(PONDLARK_GAME_DIR "/Data", data / "Data", fs::copy_options::recursive);
        fs::copy(PONDLARK_GAME_DIR "/Music", data / "Music", fs::copy_options::recursive);
    }
    void TearDown() override {
        form.reset();
        fs::remove_all(root);
    }
    std::vector<std::string> Names(const fs::path& dir) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(DataDirTest, SettingsComeFromTheGameFolderAndDataFromTheDataFolder) {
    auto table = DefaultHighScores();
    table[0] = {"Pip", 4242};
    std::ofstream(home / "Config.cfg", std::ios::binary) << FormatConfig({.FullScreen = false,
                                                                          .Music = true,
                                                                          .Sound = false,
                                                                          .Country = "Peru",
                                                                          .PlayerName = "Pip",
                                                                          .HighScores = table});
    std::vector<std::string> songs;
    form = std::make_unique<TMainForm>(platform, home.string(), data.string());
    form->OnSongStarted = [&](const std::string& name) { songs.push_back(name); };
    form->FixRandomSeed(3);
    ASSERT_TRUE(form->Start());
    EXPECT_EQ(form->State().PlayerName, "Pip");
    EXPECT_FALSE(form->State().Flags.GameSound);
    EXPECT_EQ(form->State().HighScores[0].Score, 4242);
    form->RunFor(100);
    EXPECT_EQ(songs, std::vector<std::string>{"1"}) << "the menu song comes from the data folder";
    EXPECT_TRUE(form->ReportedErrors().empty());

    // Leaving the options screen saves the settings: into the game folder only.
    form->SwitchScene(TScene::Options);
    form->State().Flags.GameMusic = false;
    form->SwitchScene(TScene::MainMenu);
    auto saved = ReadConfig((home / "Config.cfg").string(), DefaultHighScores());
    ASSERT_TRUE(saved.has_value());
    EXPECT_FALSE(saved->Music);
    EXPECT_EQ(saved->HighScores[0].Score, 4242);
    EXPECT_EQ(Names(data), (std::vector<std::string>{"Data", "Music"}));
    EXPECT_EQ(Names(home), std::vector<std::string>{"Config.cfg"});
}

TEST_F(DataDirTest, AMissingDataFolderFailsStartUpWithTheArchiveError) {
    fs::remove_all(data / "Data");
    form = std::make_unique<TMainForm>(platform, home.string(), data.string());
    EXPECT_FALSE(form->Start());
    ASSERT_FALSE(form->ReportedErrors().empty());
    EXPECT_NE(form->ReportedErrors().front().find("Graphic.dxg"), std::string::npos)
        << form->ReportedErrors().front();
    EXPECT_FALSE(fs::exists(home / "Config.cfg"));
}
