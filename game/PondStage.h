// The pond stage: building the level's pond and the per-frame rules of scene 3.
#pragma once

namespace pondlark {

class TMainForm;

// Scene 3's enter action.
void StartPondStage(TMainForm& form);
// (Re)builds the pond of the current level; also after a lost life.
void BuildPond(TMainForm& form);
// Scene 3's frame action.
void PondFrame(TMainForm& form);

} // namespace pondlark
