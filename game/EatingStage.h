// The eating stage and the game-over scene's entry.
#pragma once

namespace pondlark {

class TMainForm;

// Scene 4's enter action (after the shell's own settings).
void StartEatingStage(TMainForm& form);
// Scene 4's frame action.
void EatingFrame(TMainForm& form);
// Scene 9's enter action.
void EnterGameOver(TMainForm& form);

} // namespace pondlark
