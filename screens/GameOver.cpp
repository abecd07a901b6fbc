#include "engine/TWindowTimer.h"
#include "game/Layout.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

TGameWord::TGameWord(IPlayWorld& world) : TPicture(world, "Game_Word", 149, 118, 1) {}
TOverWord::TOverWord(IPlayWorld& world) : TPicture(world, "Over_Word", 164, 284, 1) {}

void EnterGameOver(IMenuHost& host) {
    AddMenuBackground(host, -1);
    new TGameWord(host);
    new TOverWord(host);
    host.PlayMusic("3");
    // Disabling first restarts the wait even when the timer was running.
    host.SceneTimer().SetEnabled(false);
    host.SceneTimer().SetEnabled(true);
    host.SceneTimer().SetInterval(kGameOverWaitMs);
}

} // namespace pondlark
