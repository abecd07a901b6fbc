// The rules that span a whole game rather than one sprite: what a new game starts with, how long
// a feast lasts, and where the pointer aims the tongue. The shell calls them; they read nothing
// but their arguments, so a replay computes the same on every build.
#pragma once

#include <cstdint>

namespace pondlark {

struct TGameState;
struct TShellState;

// A new game: the first level, no score, three lives.
inline constexpr int32_t kFirstLevel = 1;
inline constexpr int32_t kStartLives = 3;
void StartNewGame(TGameState& state);

// Seconds on the feast's clock at `level`: ten more each level.
int32_t FeastSeconds(int32_t level);

// The tongue's aim in degrees, 180 straight up: the pointer's column across a surface `width`
// pixels wide sweeps 720 degrees (less 180), turned by the keys' offset; centred, the pointer
// counts as standing at x = 400. The result stays within [kAimMinDegrees, kAimMaxDegrees]. The
// aim does not follow the pointer while the game is paused or the exit question is up.
inline constexpr double kAimMinDegrees = 120;
inline constexpr double kAimMaxDegrees = 240;
void UpdateTongueAim(TShellState& shell, double width, bool frozen);

} // namespace pondlark
