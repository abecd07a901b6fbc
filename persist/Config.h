// Config.cfg: 25 encoded lines -- full screen, music, sound, country, player name, then ten
// pairs of high-score name and score.
//
// Reading never stops half way: a score line that is not a number keeps that entry's default
// and the rest is still read. Reading is bounded: only a regular file is opened (a FIFO or a
// device in its place is an error, never a hang), at most kMaxConfigReadBytes of it are looked
// at, a line longer than kMaxConfigLineBytes is damaged and keeps its default as a damaged score
// line does, and a name or country keeps at most the characters its entry allows.
//
// Writing goes to a temporary file in the same folder that is then renamed over the old one, so
// a crash or a full disk never leaves a truncated file; a failed write raises EFOpenError and the
// old file stays as it was.
#pragma once

#include "persist/HighScores.h"

#include <optional>
#include <string>
#include <vector>

namespace pondlark {

// The five lines before the table, and the whole file.
inline constexpr size_t kConfigHeadLines = 5;
inline constexpr size_t kConfigLineCount = kConfigHeadLines + 2 * kHighScoreCount;

struct TConfigValues {
    bool FullScreen = false; // line 1 is anything but "false"
    bool Music = true;
    bool Sound = true;
    std::string Country;
    std::string PlayerName;
    std::array<THighScore, 10> HighScores{};
    // Lines whose value could not be used (over-long, or a score that is not a number), as
    // 1-based line numbers; each keeps the default of its value.
    std::vector<int> DamagedLines{};
};

// The longest line the game writes is 24 symbols (a padded negative score); hand edits with
// spaces still fit, a runaway line does not.
inline constexpr size_t kMaxConfigLineBytes = 256;
// Whatever follows this many bytes is not read: its lines count as missing. The rest of an
// over-long line is skipped at the speed of a memory scan (a tenth of a second for 100 MB), so a
// runaway line of 100 MB early in the file still leaves the table behind it readable.
inline constexpr uint64_t kMaxConfigReadBytes = uint64_t{128} << 20;

// nullopt when the file does not exist. `defaults` supplies the table entries that the file
// leaves empty or damaged. Raises EFOpenError "Cannot open file "%s". %s" when something else
// than a readable regular file stands at `path` (a folder, a FIFO, a device, no permission).
std::optional<TConfigValues> ReadConfig(const std::string& path,
                                        const std::array<THighScore, 10>& defaults);

// The file's bytes for these values (CR LF line ends); `DamagedLines` is not written.
std::string FormatConfig(const TConfigValues& values);

// Writes `contents` to `path` through a temporary file and a rename (`ReplaceFile` of
// platform/Files.h: exclusive temporary file, never through a symlink, the old file's mode
// kept, nothing left behind on failure, SIGXFSZ ignored); throws EFOpenError with its message.
// A read-only file is left as it is and raises the same text every time, so the game reports
// it once.
void WriteConfigFile(const std::string& path, const std::string& contents);

} // namespace pondlark
