// Config.cfg: 25 encoded lines -- full screen, music, sound, country, player name, then ten
// pairs of high-score name and score.
//
// Reading never stops half way: a score line that is not a number keeps that entry's default
// and the rest is still read. Writing goes to a temporary file in the same folder that is then
// renamed over the old one, so a crash or a full disk never leaves a truncated file; a failed
// write raises EFOpenError and the old file stays as it was.
#pragma once

#include "persist/HighScores.h"

#include <optional>
#include <string>
#include <vector>

namespace pondlark {

struct TConfigValues {
    bool FullScreen = false; // line 1 is anything but "false"
    bool Music = true;
    bool Sound = true;
    std::string Country;
    std::string PlayerName;
    std::array<THighScore, 10> HighScores{};
    // Lines whose value could not be used, as 1-based line numbers.
    std::vector<int> DamagedLines;
};

// nullopt when the file does not exist. `defaults` supplies the table entries that the file
// leaves empty or damaged.
std::optional<TConfigValues> ReadConfig(const std::string& path,
                                        const std::array<THighScore, 10>& defaults);

// The file's bytes for these values (CR LF line ends).
std::string FormatConfig(bool fullScreen, bool music, bool sound, const std::string& country,
                         const std::string& playerName, const std::array<THighScore, 10>& table);

// Writes `contents` to `path` through a temporary file and a rename; throws EFOpenError.
void WriteConfigFile(const std::string& path, const std::string& contents);

} // namespace pondlark
