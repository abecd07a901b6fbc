#include "game/PondStage.h"

#include "app/TMainForm.h"

namespace pondlark {

void StartPondStage(TMainForm& form) {
    form.SeedRandom();
    form.Platform().SetCursor(Cursor::Hidden);
    BuildPond(form);
}

void BuildPond(TMainForm& form) {
    form.Engine().Clear();
}

void PondFrame(TMainForm& form) {
    const TGameState& s = form.State;
    form.DrawPattern(!(s.Paused || s.Flags.GameMainExit || s.LevelBanner || s.AppInactive));
}

} // namespace pondlark
