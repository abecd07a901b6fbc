// The pond stage: building the level's pond, the lily grid and its rows, the scroll and the
// per-frame rules of scene 3.
#pragma once

namespace pondlark {

class IPlayWorld;
class IStageHost;

// Scene 3's enter action: a fresh seed, the hidden pointer, the play song and the pond's
// ambience, then the pond of the current level.
void StartPondStage(IStageHost& host);
// (Re)builds the pond of the current level from scratch, also after a lost life: stone back at
// its starting distance, a new grid, the frog, the bottle and the panels, and the level banner
// for 3300 ms (the scene timer).
void BuildPond(IStageHost& host);
// Scene 3's frame action: stands still, or moves and runs the stage rules; then the status line.
void PondFrame(IStageHost& host);

// The whole grid at the start of a stage (rows -1..3 random, row 4 plain); empties the hunger.
void FillGrid(IPlayWorld& world);
// One scrolled row: the grid moves down a row and a new row -1 is drawn.
void ShiftGrid(IPlayWorld& world);
// Lily sprites from the grid: rows 0..4 on the first build of a stage, else the new rows 0 and
// -1. The stone's spot (StoneRow, column 1) never gets a lily.
void BuildLilies(IPlayWorld& world);
// Starts a scroll asked for by the frog's forward jump.
void StartScroll(IPlayWorld& world);

} // namespace pondlark
