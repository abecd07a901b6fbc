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

// The game reads Data/ and Music/ from `dataDir` and keeps Config.cfg in its home: by default a
// fresh temporary folder named after `tag` and the process, so runs side by side never share
// one, removed with the object; or `keptHome`, made when missing and left in place with the
// Config.cfg the game read and wrote there. The form is made but not started; without a seed
// it seeds itself as the game does. Throws std::filesystem::filesystem_error when the home
// cannot be made.
struct HeadlessGame {
    HeadlessPlatform platform;
    std::filesystem::path home;
    bool ownsHome = true;
    std::unique_ptr<TMainForm> form;

    HeadlessGame(const std::string& dataDir, const std::string& tag, std::optional<uint32_t> seed,
                 const std::optional<std::string>& keptHome = std::nullopt) {
        namespace fs = std::filesystem;
        if (keptHome) {
            home = *keptHome;
            ownsHome = false;
        } else {
            home =
                fs::temp_directory_path() / ("pondlark-" + tag + "-" + std::to_string(::getpid()));
            fs::remove_all(home);
        }
        fs::create_directories(home);
        form = std::make_unique<TMainForm>(platform, home.string(), dataDir);
        if (seed) form->FixRandomSeed(*seed);
    }
    ~HeadlessGame() {
        form.reset();
        std::error_code ec;
        if (ownsHome) std::filesystem::remove_all(home, ec);
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;
};

} // namespace pondlark
