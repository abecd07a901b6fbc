// A whole game on the headless platform, for the measuring tools and the benchmarks.
#pragma once

#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace pondlark {

// The game reads Data/ and Music/ from `dataDir` and writes Config.cfg into a fresh temporary
// home named after `tag` and the process, so runs side by side never share one; the home is
// removed with the object. The form is made but not started; without a seed it seeds itself
// as the game does.
struct HeadlessGame {
    HeadlessPlatform platform;
    std::filesystem::path home;
    std::unique_ptr<TMainForm> form;

    HeadlessGame(const std::string& dataDir, const std::string& tag, std::optional<uint32_t> seed) {
        namespace fs = std::filesystem;
        home = fs::temp_directory_path() / ("pondlark-" + tag + "-" + std::to_string(::getpid()));
        fs::remove_all(home);
        fs::create_directories(home);
        form = std::make_unique<TMainForm>(platform, home.string(), dataDir);
        if (seed) form->FixRandomSeed(*seed);
    }
    ~HeadlessGame() {
        form.reset();
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;
};

} // namespace pondlark
