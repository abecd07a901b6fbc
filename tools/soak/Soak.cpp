#include "tools/soak/Soak.h"

#include "app/TMainForm.h"
#include "http/ClosedPort.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"
#include "screens/HotRects.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <random>
#include <set>

namespace pondlark::soak {

namespace {

// The frame timer's interval: one step of the player's clock is one frame of the game.
constexpr uint64_t kFrameMs = 30;
// A game that draws nothing for this long (platform time) has stopped.
constexpr uint64_t kStallMs = 20000;
// Stereo frames of sound the output would pull per game frame at 44.1 kHz.
constexpr int kAudioFramesPerFrame = 1323;

// Points of the screens worth pressing: the centres of the menu items, the answers of the
// questions, the option switches and the page arrows, and the middle of the screen. The player
// aims at them half of the time, so every screen is reached in a run of a few thousand frames.
// The order is part of a seeded run.
constexpr std::pair<int, int> kHotspots[] = {
    hot::kClearTable.Centre(),   hot::kViewOnline.Centre(), hot::kMusicOn.Centre(),
    hot::kSoundOn.Centre(),      hot::kWindowMode.Centre(), hot::kExitYes.Centre(),
    hot::kClearYes.Centre(),     hot::kVisit.Centre(),      hot::kMusicOff.Centre(),
    hot::kSoundOff.Centre(),     hot::kStart.Centre(),      hot::kBack.Centre(),
    hot::kHighScores.Centre(),   hot::kCountry.Centre(),    hot::kTableBack.Centre(),
    hot::kOptions.Centre(),      hot::kClearNo.Centre(),    hot::kExitNo.Centre(),
    hot::kFullScreen.Centre(),   hot::kHelp.Centre(),       hot::kExit.Centre(),
    hot::kHelpPrevious.Centre(), hot::kHelpNext.Centre(),   {400, 300}};

// Keys a player presses; the arrows and the jump keys come up most.
constexpr int kKeys[] = {vk::Left,   vk::Right, vk::Up,       vk::Up,        vk::Down,
                         vk::Space,  vk::Space, vk::Space,    vk::Return,    vk::Return,
                         vk::Escape, 'P',       'W',          'A',           'S',
                         'D',        'X',       vk::Back,     vk::Tab,       vk::Control,
                         '1',        '7',       vk::OemMinus, vk::OemPeriod, vk::Delete};

class Player {
public:
    Player(const SoakOptions& options, SoakReport& report)
        : options_(options), report_(report), rng_(options.seed) {}

    void Run() {
        StartGame();
        while (report_.frames < options_.frames && report_.failures.empty()) {
            if (form_->Terminated()) {
                // The player said "yes" to the exit question: the program would end here. The
                // next start must find the settings it left.
                EndGame();
                CheckConfig("after the game ended");
                StartGame();
                continue;
            }
            Act();
        }
        EndGame();
        CheckConfig("at the end of the run");
    }

private:
    int Roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    void StartGame() {
        platform_ = std::make_unique<HeadlessPlatform>();
        form_ = std::make_unique<TMainForm>(*platform_, options_.workDir, options_.dataDir);
        form_->ServiceAddress = {"127.0.0.1", closed_.Port()};
        form_->FixRandomSeed(static_cast<uint32_t>(rng_()));
        ++report_.starts;
        try {
            if (!form_->Start()) Fail("the game did not start");
        } catch (const std::exception& e) {
            Fail(std::string("start-up threw: ") + e.what());
        }
        lastDrawnAt_ = platform_->Ticks();
        drawnBefore_ = form_->FrameCount();
    }

    void EndGame() {
        if (!form_) return;
        for (const std::string& e : form_->ReportedErrors())
            if (std::find(report_.errors.begin(), report_.errors.end(), e) == report_.errors.end())
                report_.errors.push_back(e);
        try {
            form_.reset();
        } catch (const std::exception& e) {
            Fail(std::string("closing the game threw: ") + e.what());
        }
        platform_.reset();
    }

    void CheckConfig(const std::string& when) {
        const std::string path = options_.workDir + "/Config.cfg";
        try {
            const auto values = ReadConfig(path, DefaultHighScores());
            if (!values) {
                Fail("Config.cfg is missing " + when);
                return;
            }
            if (!values->DamagedLines.empty()) Fail("Config.cfg has damaged lines " + when);
            for (size_t i = 1; i < values->HighScores.size(); ++i)
                if (values->HighScores[i].Score > values->HighScores[i - 1].Score)
                    Fail("the high-score table of Config.cfg is out of order " + when);
        } catch (const std::exception& e) {
            Fail("Config.cfg cannot be read " + when + ": " + e.what());
        }
    }

    void Fail(const std::string& what) {
        std::string where = "frame " + std::to_string(report_.frames);
        if (form_) where += ", scene " + std::to_string(static_cast<int>(form_->State().Scene));
        report_.failures.push_back(what + " (" + where + ")");
    }

    // One frame of the game, with the sound output pulled as a real device would.
    void Step() {
        try {
            form_->RunFor(kFrameMs);
            platform_->PullAudio(kAudioFramesPerFrame);
        } catch (const std::exception& e) {
            Fail(std::string("an exception escaped the game loop: ") + e.what());
            return;
        }
        const uint64_t drawn = form_->FrameCount();
        const uint64_t now = platform_->Ticks();
        report_.gameMs += kFrameMs;
        if (drawn != drawnBefore_) {
            report_.frames += drawn - drawnBefore_;
            drawnBefore_ = drawn;
            lastDrawnAt_ = now;
        } else if (now - lastDrawnAt_ > kStallMs && !form_->Terminated()) {
            Fail("no frame drawn for " + std::to_string(now - lastDrawnAt_) + " ms");
        }
        const int scene = static_cast<int>(form_->State().Scene);
        if (scene != lastScene_ && scene >= 0 && scene < 10) ++entries_[static_cast<size_t>(scene)];
        lastScene_ = scene;
        if (scene >= 0 && scene < 10) {
            ++report_.sceneFrames[static_cast<size_t>(scene)];
            const int sprites = form_->Engine().SpriteCount();
            int& most = report_.maxSprites[static_cast<size_t>(scene)];
            most = std::max(most, sprites);
            if (sprites > options_.maxSprites)
                Fail(std::to_string(sprites) + " live sprites, more than the bound of " +
                     std::to_string(options_.maxSprites));
        }
        report_.highestLevel = std::max<int>(report_.highestLevel, form_->State().Level);
        if (options_.progressEvery && report_.frames / options_.progressEvery != lastProgress_) {
            lastProgress_ = report_.frames / options_.progressEvery;
            std::printf("frame %llu scene %d level %d sprites %d\n",
                        static_cast<unsigned long long>(report_.frames), scene,
                        static_cast<int>(form_->State().Level), form_->Engine().SpriteCount());
            std::fflush(stdout);
        }
    }

    void Frames(int n) {
        for (int i = 0; i < n && !form_->Terminated() && report_.failures.empty(); ++i)
            Step();
    }

    std::pair<int, int> Point() {
        if (Chance(0.5)) return kHotspots[Roll(static_cast<int>(std::size(kHotspots)))];
        return {Roll(800), Roll(600)};
    }

    void Tap(int key, bool alt = false, bool ctrl = false, bool shift = false) {
        platform_->KeyDown(key, alt, ctrl, shift);
        Step();
        platform_->KeyUp(key, alt, ctrl, shift);
    }

    void Act() {
        const TScene scene = form_->State().Scene;
        if (scene == TScene::MainMenu && !form_->State().Flags.GameMainExit && Chance(0.3)) {
            // A curious player: the menu item whose screen was opened least often so far.
            static constexpr std::pair<TScene, std::pair<int, int>> kItems[] = {
                {TScene::Pond, hot::kStart.Centre()},
                {TScene::Options, hot::kOptions.Centre()},
                {TScene::HighScores, hot::kHighScores.Centre()},
                {TScene::Help, hot::kHelp.Centre()}};
            const auto* pick = &kItems[0];
            for (const auto& item : kItems)
                if (entries_[static_cast<size_t>(item.first)] <
                    entries_[static_cast<size_t>(pick->first)])
                    pick = &item;
            const auto [x, y] = pick->second;
            platform_->MouseMove(x, y);
            Step();
            platform_->MouseDown(x, y, MouseButton::Left);
            Step();
            platform_->MouseUp(x, y, MouseButton::Left);
            Frames(1 + Roll(30));
            return;
        }
        if (scene == TScene::Pond && Chance(0.25)) {
            // Leaning on the jump key carries the frog across an easy pond.
            platform_->KeyDown(vk::Space);
            Frames(10 + Roll(60));
            platform_->KeyUp(vk::Space);
            return;
        }
        if (scene == TScene::Eating && Chance(0.4)) {
            // Aiming somewhere in the sky and shooting the tongue a few times.
            platform_->MouseMove(200 + Roll(400), 100 + Roll(300));
            platform_->KeyDown(vk::Space);
            Frames(5 + Roll(20));
            platform_->KeyUp(vk::Space);
            return;
        }
        const int roll = Roll(1000);
        if (roll < 300) {
            // In the play stages the player mostly turns and jumps.
            const bool play = scene == TScene::Pond || scene == TScene::Eating;
            const int key = play && Chance(0.6)
                                ? std::array{vk::Left, vk::Up, vk::Right, vk::Space}[Roll(4)]
                                : kKeys[Roll(static_cast<int>(std::size(kKeys)))];
            Tap(key, false, Chance(0.05), Chance(0.05));
        } else if (roll < 380) {
            // A held key, as a player leaning on an arrow.
            const int key =
                std::array{vk::Left, vk::Up, vk::Right, vk::Space, vk::Control}[Roll(5)];
            platform_->KeyDown(key);
            Frames(1 + Roll(20));
            platform_->KeyUp(key);
        } else if (roll < 430) {
            // Typing a name.
            for (int i = 0, n = 1 + Roll(12); i < n; ++i)
                Tap('A' + Roll(26), false, false, Chance(0.3));
        } else if (roll < 600) {
            const auto [x, y] = Point();
            platform_->MouseMove(x, y);
        } else if (roll < 720) {
            const auto [x, y] = Point();
            const MouseButton button = Chance(0.8) ? MouseButton::Left : MouseButton::Right;
            platform_->MouseMove(x, y);
            platform_->MouseDown(x, y, button);
            Frames(1 + Roll(3));
            platform_->MouseUp(x, y, button);
        } else if (roll < 726) {
            platform_->Focus(false);
            Frames(1 + Roll(60));
            platform_->Focus(true);
        } else if (roll < 730) {
            platform_->CloseBox();
        } else if (roll < 733) {
            platform_->Maximize();
        } else if (roll < 738) {
            Tap(vk::Return, /*alt=*/true);
        }
        // Then the game runs on a while by itself.
        Frames(1 + (Chance(0.1) ? Roll(150) : Roll(8)));
    }

    const SoakOptions& options_;
    SoakReport& report_;
    std::mt19937 rng_;
    ClosedPort closed_; // result submissions are refused at once, never wait on the network
    std::unique_ptr<HeadlessPlatform> platform_;
    std::unique_ptr<TMainForm> form_;
    uint64_t drawnBefore_ = 0;
    uint64_t lastDrawnAt_ = 0;
    uint64_t lastProgress_ = 0;
    int lastScene_ = -1;
    std::array<int, 10> entries_{}; // how often each scene was entered
};

} // namespace

SoakReport RunSoak(const SoakOptions& options) {
    SoakReport report;
    Player player(options, report);
    try {
        player.Run();
    } catch (const std::exception& e) {
        report.failures.push_back(std::string("the run threw: ") + e.what());
    }
    return report;
}

} // namespace pondlark::soak
