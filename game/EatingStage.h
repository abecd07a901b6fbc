// The eating stage (scene 4) and the game-over scene's entry (scene 9).
#pragma once

#include "screens/MenuSprites.h"

namespace pondlark {

class TMainForm;

// Scene 4's enter action, before the shell sets the aim and starts the stage's clock: the
// shore picture, the "fon2" ambience, the frog with its tongue, the bottle and the status panels.
void StartEatingStage(TMainForm& form);
// Scene 4's frame action: moves and draws the stage (only draws while paused or asking to quit),
// the status line, then the rules: insects, the stage's end, game over, the stork.
void EatingFrame(TMainForm& form);
// Scene 9's enter action: the two words over the menu picture, the game-over song, and the
// 5000 ms wait before the name entry.
void EnterGameOver(TMainForm& form);

// The game-over words.
class TGame_Word : public TPicture {
public:
    explicit TGame_Word(TMainForm& form);
};
class TOver_Word : public TPicture {
public:
    explicit TOver_Word(TMainForm& form);
};

} // namespace pondlark
