// The local table's replays: the Replays/ folder beside Config.cfg holds one file per entry,
// named by its score and name ("1234-Frog.plkr"; a character other than a letter or a digit as
// "%XX"), so an entry finds its replay as long as it is in the table. Two entries of the same
// name and score share one file, the later game's. Files are written whole through a temporary
// file and a rename (platform/Files.h).
#pragma once

#include "persist/HighScores.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pondlark {

inline constexpr const char* kReplaysFolder = "Replays";

std::string ReplayFileName(const THighScore& entry);

// Writes `bytes` as the replay of `entry` in `folder`, making the folder when it is missing.
// Returns "" when done, else the message to show.
std::string WriteReplayFile(const std::string& folder, const THighScore& entry,
                            std::span<const uint8_t> bytes);

// Removes the replays in `folder` of entries that are no longer in `table`; files the game did
// not name are left alone. Failures are ignored: a stale replay costs only its space.
void PruneReplayFiles(const std::string& folder, const THighScoreTable& table);

} // namespace pondlark
