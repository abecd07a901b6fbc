#include "game/PondStage.h"

#include "app/TMainForm.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/Lilies.h"
#include "game/PondFrog.h"
#include "game/PondSprites.h"
#include "game/StatusSprites.h"

#include <string>

namespace pondlark {

namespace {

// Two chances in five of a log somewhere on the water.
void TryLogs(TMainForm& form) {
    for (int i = 0; i < 2; ++i) {
        if (form.Random.Next(5) != 0) continue;
        const double x = 100 + form.Random.Next(525);
        const double y = 40 + form.Random.Next(520);
        new TBrevno(form, x, y);
    }
}

// A plain lily carries a bonus one time in twenty: a life one time in five, else a coin.
uint8_t RollBonus(TMainForm& form) {
    if (form.Random.Next(20) != 0) return kBonusNone;
    return form.Random.Next(5) == 0 ? kBonusLife : kBonusCoin;
}

void ResetPlayState(TMainForm& form) {
    TGameState& s = form.State;
    TPondState& pond = s.Pond;
    s.ActionKey = false;
    s.FrogLost = false;
    s.TongueLength = 200;
    s.StorkAllowed = true;
    pond.StoneRow = 4 - 2 * s.Level;
    s.StorkLeaving = false;
    pond.EatenByHunter = false;
    pond.CrocodileAttack = false;
    pond.StrandShown = false;
    pond.FirstBuild = true;
    pond.AdvanceOneRow = false;
    pond.AdvanceTwoRows = false;
    pond.Scrolling = false;
    // A pond rebuilt in the middle of a jump must not inherit a two-row scroll or a sticky
    // count: either would keep the frog from ending the stage on the stone.
    pond.ScrollSpeed = 1;
    pond.StickyCount = 0;
    s.LeftKeyDelay = s.RightKeyDelay = s.UpKeyDelay = s.ActionKeyDelay = 0;
    s.CaretBlink = 0;
    pond.FrogControl = true;
    s.LevelBanner = true;
    s.PondRunning = true;
    s.FrogDead = false;
}

void BuildLilyRow(TMainForm& form, int row) {
    const TPondState& pond = form.State.Pond;
    for (int column = 1; column <= TLilyGrid::kColumns; ++column) {
        if (row == pond.StoneRow && column == 1) continue;
        new TKuvshinka(form, pond.Grid.Get(row, column).Kind, column, row);
    }
}

void DrawStatusLine(TMainForm& form) {
    const TGameState& s = form.State;
    auto& c = form.TextCanvas(15);
    c.Font.Outlined = true; // over the busy play field
    c.TextOut(150, -3, "Level: " + std::to_string(s.Level));
    c.TextOut(340, -3, "Lives: " + std::to_string(s.Lives));
    c.TextOut(530, -3, "Score: " + std::to_string(s.Score));
    c.Release();
}

// Paused, the exit question, the level banner or another application in front.
bool StandsStill(const TGameState& s) {
    return s.Paused || s.Flags.GameMainExit || s.LevelBanner || s.AppInactive;
}

void DrawStandingStill(TMainForm& form) {
    const TGameState& s = form.State;
    form.DrawPattern(false);
    auto& c = form.TextCanvas(25);
    c.Font.Outlined = true; // over the busy play field
    if (s.Paused) c.TextOut(320, 290, "Pause");
    if (s.LevelBanner) c.TextOut(300, 290, "Level " + std::to_string(s.Level));
    c.Release();
}

// A drowned, eaten or starved frog: a life goes and the pond starts over, or the game ends.
void LoseLife(TMainForm& form) {
    TGameState& s = form.State;
    form.Platform().Sleep(500);
    if (s.Lives <= 1) {
        form.Platform().Sleep(200);
        s.GameOverPending = true;
        return;
    }
    s.Lives -= 1;
    BuildPond(form);
}

} // namespace

void StartPondStage(TMainForm& form) {
    TGameState& s = form.State;
    form.SeedRandom();
    form.Platform().SetCursor(Cursor::Hidden);
    s.Pond.StickyCount = 0;
    // PlayMusic loads the song afresh, so it starts from the top whatever played before.
    form.PlayMusic("2");
    s.MusicRestart = false;
    form.PlaySound("fon1");
    BuildPond(form);
}

void BuildPond(TMainForm& form) {
    form.Engine().Clear();
    new TSample(form); // first, so that it is stepped first
    TryLogs(form);
    new TStone(form, 135 - 300 * (form.State.Level - 1));
    ResetPlayState(form);
    new TScrollBackground(form);
    FillGrid(form);
    BuildLilies(form);
    new TPlayerSprite(form);
    AddStatusSprites(form);
    form.Timer1.SetInterval(3300);
    form.Timer1.SetEnabled(true);
}

void FillGrid(TMainForm& form) {
    TGameState& s = form.State;
    s.Hunger = 0;
    for (int row = -1; row <= 3; ++row) {
        for (int column = 1; column <= TLilyGrid::kColumns; ++column) {
            TLilyCell& cell = s.Pond.Grid.At(row, column);
            cell.Bonus = kBonusNone;
            const int r = form.Random.Next(100);
            if (r <= 60) {
                cell.Kind = static_cast<uint8_t>(10 * form.Random.Next(3));
                cell.Bonus = RollBonus(form);
            } else if (r <= 70) {
                cell.Kind = kLilyHunter;
            } else if (r <= 75) {
                cell.Kind = kLilyPlain1;
            } else if (r <= 85) {
                cell.Kind = kLilySpringy;
            } else if (r <= 95) {
                cell.Kind = kLilySticky;
            } else {
                cell.Kind = kLilyCrocodile;
            }
        }
    }
    // The frog always starts among plain lilies.
    for (int column = 1; column <= TLilyGrid::kColumns; ++column)
        s.Pond.Grid.At(4, column) = {static_cast<uint8_t>(10 * form.Random.Next(3)), kBonusNone};
}

void ShiftGrid(TMainForm& form) {
    TLilyGrid& grid = form.State.Pond.Grid;
    TryLogs(form);
    for (int row = 3; row >= -1; --row)
        for (int column = 1; column <= TLilyGrid::kColumns; ++column)
            grid.At(row + 1, column) = grid.Get(row, column);
    for (int column = 1; column <= TLilyGrid::kColumns; ++column) {
        TLilyCell& cell = grid.At(-1, column);
        cell.Bonus = kBonusNone;
        const int r = form.Random.Next(100);
        if (r <= 70) {
            cell.Kind = kLilyPlain1;
            cell.Bonus = RollBonus(form);
        } else if (r <= 75) {
            cell.Kind = kLilyHunter;
        } else if (r <= 85) {
            cell.Kind = kLilySpringy;
        } else if (r <= 95) {
            cell.Kind = kLilySticky;
        } else {
            cell.Kind = kLilyCrocodile;
        }
    }
}

void BuildLilies(TMainForm& form) {
    TPondState& pond = form.State.Pond;
    if (pond.FirstBuild) {
        pond.FirstBuild = false;
        for (int row = 0; row <= 4; ++row)
            BuildLilyRow(form, row);
        return;
    }
    BuildLilyRow(form, 0);
    BuildLilyRow(form, -1);
}

void StartScroll(TMainForm& form) {
    TPondState& pond = form.State.Pond;
    if (pond.AdvanceOneRow) {
        pond.StoneRow += 1;
        pond.ScrollSpeed = 1;
        pond.AdvanceOneRow = false;
        pond.Scrolling = true;
    }
    if (pond.AdvanceTwoRows) {
        pond.StoneRow += 2;
        pond.ScrollSpeed = 2;
        pond.AdvanceTwoRows = false;
        pond.Scrolling = true;
    }
}

void PondFrame(TMainForm& form) {
    TGameState& s = form.State;
    if (StandsStill(s)) {
        DrawStandingStill(form);
    } else {
        form.DrawPattern(true);
        // The frog on the stone: a breath, then the eating stage.
        if (!s.FrogDead) {
            if (s.PondRunning) {
                StartScroll(form);
            } else {
                form.Platform().Sleep(200);
                form.SwitchScene(4);
            }
        }
        // The eating stage has replaced the pond: nothing of the pond's rules applies to it.
        if (s.Scene == 3 && (s.FrogLost || s.Starved)) LoseLife(form);
        if (s.GameOverPending) form.SwitchScene(9);
    }
    DrawStatusLine(form);
}

} // namespace pondlark
