#include "game/EatingStage.h"

#include "app/TMainForm.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/EatingFrog.h"
#include "game/Insects.h"
#include "game/StatusSprites.h"
#include "game/Stork.h"

#include <algorithm>
#include <string>

namespace pondlark {

namespace {

void AddShore(TMainForm& form) {
    auto* bg = new TBackgroundSprite(&form.Engine());
    bg->SetMapSize(1, 1);
    bg->Image = &form.Image("bg2");
    bg->SetZ(-2);
    bg->Tiled = true;
}

void DrawPauseText(TMainForm& form) {
    auto& c = form.TextCanvas(25);
    c.Font.Outlined = true; // over the busy play field
    if (form.State.Paused) c.TextOut(320, 270, "Pause");
    c.Release();
}

void DrawStatusLine(TMainForm& form) {
    const TGameState& s = form.State;
    auto& c = form.TextCanvas(14);
    c.Font.Outlined = true; // over the busy play field
    c.TextOut(143, 0, "Time:");
    c.TextOut(230, 0, std::to_string(s.TimeLeft));
    c.TextOut(338, 0, "Lives:");
    c.TextOut(450, 0, std::to_string(s.Lives));
    c.TextOut(528, 0, "Score:");
    c.TextOut(650, 0, std::to_string(s.Score));
    c.Release();
}

// One chance in a hundred per level each frame (at most five); higher levels add kinds.
void SpawnInsect(TMainForm& form) {
    const int level = form.State.Level;
    const int r = form.Random.Next(100);
    if (r >= std::clamp(level, 1, 5)) return;
    if (level <= 1) {
        new TMushka(form);
        return;
    }
    const int k = form.Random.Next(10);
    // Per level, the first k of each kind: midge, fly, mosquito, pond skater, bee.
    static constexpr int kFirst[4][5] = {
        {0, 6, 10, 10, 10}, // level 2
        {0, 4, 8, 10, 10},  // level 3
        {0, 3, 6, 8, 10},   // level 4
        {0, 2, 4, 6, 8},    // level 5 and above
    };
    const int* first = kFirst[std::min(level, 5) - 2];
    if (k >= first[4])
        new TPchel(form);
    else if (k >= first[3])
        new TVodomerka(form);
    else if (k >= first[2])
        new TKomar(form);
    else if (k >= first[1])
        new TMuha(form);
    else
        new TMushka(form);
}

// The legs come once per stage, neither in its first nor in its last eleven seconds.
void SpawnStorkLegs(TMainForm& form) {
    TGameState& s = form.State;
    const int draw = form.Random.Next(500);
    if (draw >= s.Level || s.LegsSpawned || s.TimeLeft <= 10 || s.TimeLeft >= 10 * s.Level + 9)
        return;
    // The draw above keeps the random sequence whatever scene the frame ended in; the legs
    // themselves belong to the eating stage only.
    if (s.Scene != 4) return;
    s.LegsSpawned = true;
    new TNogaAist(form, 1);
    new TNogaAist(form, 2);
}

// At most one stork per stage, and only after its legs stand.
void SpawnStork(TMainForm& form) {
    TGameState& s = form.State;
    const int draw = form.Random.Next(50);
    if (draw != 0 || !s.StorkAllowed || !s.LegsLanded || s.TimeLeft <= 10) return;
    s.StorkAllowed = false;
    if (s.Scene == 4) new TAist(form);
}

} // namespace

void StartEatingStage(TMainForm& form) {
    TGameState& s = form.State;
    AddShore(form);
    s.TongueAngleOffset = 0;
    s.LegsSpawned = false;
    s.LegsLanded = false;
    form.PlaySound("fon2");
    s.TongueLength = 0;
    // Frog, tongue, tip: each reads what the one before it moved this frame.
    new TPlayerSpriteEat(form);
    new TIazik(form);
    new TKonec_Iazik(form);
    // The bottle, then the plaques under the time, the score and the lives.
    AddStatusSprites(form);
}

void EatingFrame(TMainForm& form) {
    TGameState& s = form.State;
    // Paused or asking to quit: only drawn, and the rules wait too.
    if (s.Paused || s.Flags.GameMainExit) {
        form.DrawPattern(false);
        DrawPauseText(form);
        DrawStatusLine(form);
        return;
    }
    form.DrawPattern(true);
    DrawStatusLine(form);
    // Random draws in the order insect (r, k), legs (s), stork (t).
    SpawnInsect(form);
    // The stage's time is up: the next level's pond.
    if (s.TimeLeft < 0) {
        ++s.Level;
        form.SwitchScene(3);
    }
    // The stork took the last life.
    if (s.Lives <= 0) form.SwitchScene(9);
    SpawnStorkLegs(form);
    SpawnStork(form);
}

TGame_Word::TGame_Word(TMainForm& form) : TPicture(form, "Game_Word", 149, 118, 1) {}
TOver_Word::TOver_Word(TMainForm& form) : TPicture(form, "Over_Word", 164, 284, 1) {}

void EnterGameOver(TMainForm& form) {
    AddMenuBackground(form, -1);
    new TGame_Word(form);
    new TOver_Word(form);
    form.PlayMusic("3");
    // Disabling first restarts the wait even when the timer was running.
    form.Timer1.SetEnabled(false);
    form.Timer1.SetEnabled(true);
    form.Timer1.SetInterval(5000);
}

} // namespace pondlark
