#include "game/EatingStage.h"

#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/EatingFrog.h"
#include "game/GameState.h"
#include "game/Insects.h"
#include "game/Layout.h"
#include "game/StageHost.h"
#include "game/StatusSprites.h"
#include "game/Stork.h"

#include <algorithm>
#include <string>

namespace pondlark {

namespace {

void AddShore(IStageHost& host) {
    auto* bg = new TBackgroundSprite(&host.Engine());
    bg->SetMapSize(1, 1);
    bg->Image = &host.Image("bg2");
    bg->SetZ(-2);
    bg->Tiled = true;
}

void DrawPauseText(IStageHost& host) {
    auto& c = host.TextCanvas(25);
    c.Font.Outlined = true; // over the busy play field
    if (host.State().Shell.Paused) c.TextOut(320, 270, "Pause");
    c.Release();
}

void DrawStatusLine(IStageHost& host) {
    const TGameState& s = host.State();
    auto& c = host.TextCanvas(14);
    c.Font.Outlined = true; // over the busy play field
    c.TextOut(143, 0, "Time:");
    c.TextOut(230, 0, std::to_string(s.Eating.TimeLeft));
    c.TextOut(338, 0, "Lives:");
    c.TextOut(450, 0, std::to_string(s.Lives));
    c.TextOut(528, 0, "Score:");
    c.TextOut(650, 0, std::to_string(s.Score));
    c.Release();
}

// One chance in a hundred per level each frame (at most five); higher levels add kinds.
// The first feast, until the tongue first goes out.
void DrawShootHint(IStageHost& host) {
    THints& hints = host.State().Hints;
    if (host.State().Eating.TongueLength > 0) hints.Shoot = false;
    if (!hints.Shoot) return;
    auto& c = host.TextCanvas(16);
    c.Font.Outlined = true;
    const std::string hint = "Hold Space or a mouse button to shoot";
    c.TextOut((kScreenWidth - c.TextWidth(hint)) / 2, 400, hint);
    c.Release();
}

void SpawnInsect(IStageHost& host) {
    const int level = host.State().Level;
    const int r = host.Random().Next(100);
    if (r >= std::clamp(level, 1, 5)) return;
    if (level <= 1) {
        new TMidge(host);
        return;
    }
    const int k = host.Random().Next(10);
    // Per level, the first k of each kind: midge, fly, mosquito, pond skater, bee.
    static constexpr int kFirst[4][5] = {
        {0, 6, 10, 10, 10}, // level 2
        {0, 4, 8, 10, 10},  // level 3
        {0, 3, 6, 8, 10},   // level 4
        {0, 2, 4, 6, 8},    // level 5 and above
    };
    const int* first = kFirst[std::min(level, 5) - 2];
    if (k >= first[4])
        new TBee(host);
    else if (k >= first[3])
        new TPondSkater(host);
    else if (k >= first[2])
        new TMosquito(host);
    else if (k >= first[1])
        new TFly(host);
    else
        new TMidge(host);
}

// The legs come once per stage, neither in its first nor in its last eleven seconds.
void SpawnStorkLegs(IStageHost& host) {
    TGameState& s = host.State();
    const int draw = host.Random().Next(500);
    if (draw >= s.Level || s.Eating.LegsSpawned || s.Eating.TimeLeft <= 10 ||
        s.Eating.TimeLeft >= 10 * s.Level + 9)
        return;
    // The draw above keeps the random sequence whatever scene the frame ended in; the legs
    // themselves belong to the eating stage only.
    if (s.Scene != TScene::Eating) return;
    s.Eating.LegsSpawned = true;
    new TStorkLeg(host, 1);
    new TStorkLeg(host, 2);
}

// At most one stork per stage, and only after its legs stand.
void SpawnStork(IStageHost& host) {
    TGameState& s = host.State();
    const int draw = host.Random().Next(50);
    if (draw != 0 || !s.Eating.StorkAllowed || !s.Eating.LegsLanded || s.Eating.TimeLeft <= 10)
        return;
    s.Eating.StorkAllowed = false;
    if (s.Scene == TScene::Eating) new TStork(host);
}

} // namespace

void StartEatingStage(IStageHost& host) {
    TGameState& s = host.State();
    AddShore(host);
    s.Shell.TongueAngleOffset = 0;
    s.Eating = TEatingState{};
    host.PlaySound(TSound::ShoreAmbience);
    // Frog, tongue, tip: each reads what the one before it moved this frame.
    new TEatingFrog(host);
    new TTongue(host);
    new TTongueTip(host);
    // The bottle, then the plaques under the time, the score and the lives.
    AddStatusSprites(host);
}

void EatingFrame(IStageHost& host) {
    TGameState& s = host.State();
    // Paused or asking to quit: only drawn, and the rules wait too.
    if (s.Shell.Paused || s.Flags.GameMainExit) {
        host.DrawPattern(false);
        DrawPauseText(host);
        DrawStatusLine(host);
        return;
    }
    host.DrawPattern(true);
    DrawStatusLine(host);
    DrawShootHint(host);
    // Random draws in the order insect (r, k), legs (s), stork (t).
    SpawnInsect(host);
    // The stage's time is up: the next level's pond.
    if (s.Eating.TimeLeft < 0) {
        ++s.Level;
        host.SwitchScene(TScene::Pond);
    }
    // The stork took the last life.
    if (s.Lives <= 0) host.SwitchScene(TScene::GameOver);
    SpawnStorkLegs(host);
    SpawnStork(host);
}

} // namespace pondlark
