#include "game/EatingStage.h"

#include "app/TMainForm.h"

namespace pondlark {

void StartEatingStage(TMainForm&) {}

void EatingFrame(TMainForm& form) {
    const TGameState& s = form.State;
    form.DrawPattern(!(s.Paused || s.Flags.GameMainExit));
}

void EnterGameOver(TMainForm& form) {
    form.PlayMusic("3");
    // Disabling first restarts the wait even when the timer was running.
    form.Timer1.SetEnabled(false);
    form.Timer1.SetEnabled(true);
    form.Timer1.SetInterval(5000);
}

} // namespace pondlark
