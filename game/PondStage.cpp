#include "game/PondStage.h"

#include "engine/TDirectDrawSurfaceCanvas.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/Lilies.h"
#include "game/PondFrog.h"
#include "game/PondSprites.h"
#include "game/StageHost.h"
#include "game/StatusSprites.h"

#include <string>

namespace pondlark {

namespace {

// Two chances in five of a log somewhere on the water.
void TryLogs(IPlayWorld& world) {
    for (int i = 0; i < 2; ++i) {
        if (world.Random().Next(5) != 0) continue;
        const double x = 100 + world.Random().Next(525);
        const double y = 40 + world.Random().Next(520);
        new TLog(world, x, y);
    }
}

// A plain lily carries a bonus one time in twenty: a life one time in five, else a coin.
uint8_t RollBonus(IPlayWorld& world) {
    if (world.Random().Next(20) != 0) return kBonusNone;
    return world.Random().Next(5) == 0 ? kBonusLife : kBonusCoin;
}

// A fresh pond for the level, and no key carried over into it. A pond rebuilt in the middle of
// a jump must not inherit a two-row scroll or a sticky count: either would keep the frog from
// ending the stage on the stone.
uint8_t RandomPlainKind(IPlayWorld& world) {
    return static_cast<uint8_t>(10 * world.Random().Next(3));
}

// A new cell by the odds: the kind's roll, then for some kinds the picture and the bonus.
template <std::size_t N> TLilyCell DrawLily(IPlayWorld& world, const TLilyOdds (&odds)[N]) {
    const int r = world.Random().Next(100);
    for (const TLilyOdds& row : odds) {
        if (r > row.UpTo) continue;
        TLilyCell cell{row.Kind, kBonusNone};
        if (row.AnyPlainPicture) cell.Kind = RandomPlainKind(world);
        if (row.MayCarryBonus) cell.Bonus = RollBonus(world);
        return cell;
    }
    return {};
}

void ResetPlayState(IStageHost& host) {
    TGameState& s = host.State();
    s.Pond = TPondState{};
    s.Pond.StoneRow = 4 - 2 * s.Level;
    s.Pond.LevelBanner = true;
    s.Hints.Shoot = false; // a feast that ended before the first shot
    TShellState& shell = s.Shell;
    shell.ActionKey = false;
    shell.LeftKeyDelay = shell.RightKeyDelay = shell.UpKeyDelay = shell.ActionKeyDelay = 0;
    shell.CaretBlink = 0;
}

void BuildLilyRow(IPlayWorld& world, int row) {
    const TPondState& pond = world.State().Pond;
    for (int column = 1; column <= TLilyGrid::kColumns; ++column) {
        if (row == pond.StoneRow && column == 1) continue;
        new TLily(world, pond.Grid.Get(row, column).Kind, column, row);
    }
}

void DrawStatusLine(IStageHost& host) {
    const TGameState& s = host.State();
    auto& c = host.TextCanvas(15);
    c.Font.Outlined = true; // over the busy play field
    c.TextOut(150, -3, "Level: " + std::to_string(s.Level));
    c.TextOut(340, -3, "Lives: " + std::to_string(s.Lives));
    c.TextOut(530, -3, "Score: " + std::to_string(s.Score));
    c.Release();
}

// Paused, the exit question, the level banner or another application in front.
bool StandsStill(const TGameState& s) {
    return s.Shell.Paused || s.Flags.GameMainExit || s.Pond.LevelBanner || s.Shell.AppInactive;
}

void DrawStandingStill(IStageHost& host) {
    const TGameState& s = host.State();
    host.DrawPattern(false);
    auto& c = host.TextCanvas(25);
    c.Font.Outlined = true; // over the busy play field
    if (s.Shell.Paused) c.TextOut(320, 290, "Pause");
    if (s.Pond.LevelBanner) c.TextOut(300, 290, "Level " + std::to_string(s.Level));
    if (s.Pond.LevelBanner && s.Hints.FirstGame) {
        // Under the banner, centred on the screen: what a new player needs before the first jump.
        c.Font.Size = 16;
        const std::string hint = "Arrows: turn, Space: jump \x97 reach the stone";
        c.TextOut((kScreenWidth - c.TextWidth(hint)) / 2, 340, hint);
    }
    c.Release();
}

// A drowned, eaten or starved frog: a life goes and the pond starts over, or the game ends.
void LoseLife(IStageHost& host) {
    TGameState& s = host.State();
    host.Sleep(kLifeLostMs);
    if (s.Lives <= 1) {
        host.Sleep(kBreathMs);
        s.GameOverPending = true;
        return;
    }
    s.Lives -= 1;
    BuildPond(host);
}

} // namespace

void StartPondStage(IStageHost& host) {
    TGameState& s = host.State();
    host.SeedRandom();
    host.SetCursor(Cursor::Hidden);
    // PlayMusic loads the song afresh, so it starts from the top whatever played before.
    host.PlayMusic("2");
    s.Shell.MusicRestart = false;
    host.PlaySound(TSound::PondAmbience);
    BuildPond(host);
}

void BuildPond(IStageHost& host) {
    host.Engine().Clear();
    new TScrollClock(host); // first, so that it is stepped first
    TryLogs(host);
    new TStone(host, 135 - 300 * (host.State().Level - 1));
    ResetPlayState(host);
    new TScrollBackground(host);
    FillGrid(host);
    BuildLilies(host);
    new TPondFrog(host);
    AddStatusSprites(host);
    host.SceneTimer().SetInterval(kLevelBannerMs);
    host.SceneTimer().SetEnabled(true);
}

void FillGrid(IPlayWorld& world) {
    TGameState& s = world.State();
    s.Hunger = 0;
    for (int row = -1; row <= 3; ++row)
        for (int column = 1; column <= TLilyGrid::kColumns; ++column)
            s.Pond.Grid.At(row, column) = DrawLily(world, kFreshPondOdds);
    // The frog always starts among plain lilies.
    for (int column = 1; column <= TLilyGrid::kColumns; ++column)
        s.Pond.Grid.At(4, column) = {RandomPlainKind(world), kBonusNone};
}

void ShiftGrid(IPlayWorld& world) {
    TLilyGrid& grid = world.State().Pond.Grid;
    TryLogs(world);
    for (int row = 3; row >= -1; --row)
        for (int column = 1; column <= TLilyGrid::kColumns; ++column)
            grid.At(row + 1, column) = grid.Get(row, column);
    for (int column = 1; column <= TLilyGrid::kColumns; ++column)
        grid.At(-1, column) = DrawLily(world, kNewRowOdds);
}

void BuildLilies(IPlayWorld& world) {
    TPondState& pond = world.State().Pond;
    if (pond.FirstBuild) {
        pond.FirstBuild = false;
        for (int row = 0; row <= 4; ++row)
            BuildLilyRow(world, row);
        return;
    }
    BuildLilyRow(world, 0);
    BuildLilyRow(world, -1);
}

void StartScroll(IPlayWorld& world) {
    TPondState& pond = world.State().Pond;
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

void PondFrame(IStageHost& host) {
    TGameState& s = host.State();
    if (StandsStill(s)) {
        DrawStandingStill(host);
    } else {
        host.DrawPattern(true);
        // The frog on the stone: a breath, then the eating stage.
        if (!s.Pond.FrogDead) {
            if (s.Pond.PondRunning) {
                StartScroll(host);
            } else {
                host.Sleep(kBreathMs);
                // A pond crossed: the hints have done their work, and the feast explains itself.
                if (s.Hints.FirstGame) {
                    s.Hints = {.FirstGame = false, .Shoot = true};
                    host.SaveSettings();
                }
                host.SwitchScene(TScene::Eating);
            }
        }
        // The eating stage has replaced the pond: nothing of the pond's rules applies to it.
        if (s.Scene == TScene::Pond && (s.Pond.FrogLost || s.Starved)) LoseLife(host);
        if (s.GameOverPending) host.SwitchScene(TScene::GameOver);
    }
    DrawStatusLine(host);
}

} // namespace pondlark
