#include "game/PlayRules.h"

#include "game/GameState.h"

#include <algorithm>

namespace pondlark {

namespace {
// The surface's width spans 720 degrees of aim, so the clamp is reached well inside the screen.
constexpr double kWidthDegrees = 720;
constexpr double kCentreColumn = 400;
constexpr double kStraightUp = 180;
} // namespace

void StartNewGame(TGameState& state) {
    state.Level = kFirstLevel;
    state.Score = 0;
    state.Lives = kStartLives;
}

int32_t FeastSeconds(int32_t level) {
    return 10 * level + 19;
}

void UpdateTongueAim(TShellState& shell, double width, bool frozen) {
    const double pixelsPerDegree = width / kWidthDegrees;
    if (!frozen && !shell.AimCentred)
        shell.TongueAngle = shell.MouseX / pixelsPerDegree - kStraightUp + shell.TongueAngleOffset;
    if (shell.AimCentred)
        shell.TongueAngle = kCentreColumn / pixelsPerDegree - kStraightUp + shell.TongueAngleOffset;
    shell.TongueAngle = std::clamp(shell.TongueAngle, kAimMinDegrees, kAimMaxDegrees);
}

} // namespace pondlark
