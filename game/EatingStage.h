// The eating stage (scene 4).
#pragma once

namespace pondlark {

class IStageHost;

// Scene 4's enter action, before the shell sets the aim and starts the stage's clock: the
// shore picture, the "fon2" ambience, the frog with its tongue, the bottle and the status panels.
void StartEatingStage(IStageHost& host);
// Scene 4's frame action: moves and draws the stage (only draws while paused or asking to quit),
// the status line, then the rules: insects, the stage's end, game over, the stork.
void EatingFrame(IStageHost& host);

} // namespace pondlark
