#include "app/SceneTable.h"

#include "app/TMainForm.h"
#include "game/Controls.h"
#include "game/EatingStage.h"
#include "game/PlayRules.h"
#include "game/PondStage.h"
#include "screens/Screens.h"

#include <array>

namespace pondlark {

namespace {

bool EnterKey(int key, TShiftState shift) {
    return IsKey(TKeyAction::Keep, key) && !shift.Alt;
}

// Alt+Enter belongs to the window, never to a menu.
bool AltEnter(int key, TShiftState shift) {
    return IsKey(TKeyAction::Keep, key) && shift.Alt;
}

// With the exit question up, a play stage stands still and its keys answer it.
bool AnsweredQuestion(TMainForm& form, int key, TShiftState shift) {
    if (!form.State().Flags.GameMainExit || IsKey(TKeyAction::Back, key) || AltEnter(key, shift))
        return false;
    ExitQuestionKey(form, key);
    return true;
}

// The play stages ask the exit question with the pointer shown; otherwise it stays hidden.
void PlayHover(TMainForm& form) {
    form.SetCursor(Cursor::Hidden);
    if (form.State().Flags.GameMainExit) {
        form.SetCursor(Cursor::Arrow);
        ExitQuestionHover(form);
    }
}

// Leaving a play stage: the next menu starts its song afresh.
void LeavePlay(TMainForm& form) {
    TGameState& s = form.State();
    s.Shell.MusicRestart = true;
    s.GameOverPending = false;
}

constexpr TSceneRow kIntro{
    .Scene = TScene::Intro,
    .Enter = [](TMainForm& f) { EnterIntro(f); },
    .Timer = [](TMainForm& f) { f.SwitchScene(TScene::MainMenu); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (IsKey(TKeyAction::Back, key) || EnterKey(key, shift))
                f.SwitchScene(TScene::MainMenu);
        },
    .Press =
        [](TMainForm& f, MouseButton button) {
            if (button != MouseButton::Left) return;
            f.SwitchScene(TScene::MainMenu);
            f.SceneTimer().SetEnabled(false);
        },
    .WrappingSong = "1",
};

constexpr TSceneRow kMainMenu{
    .Scene = TScene::MainMenu,
    .Enter = [](TMainForm& f) { EnterMainMenu(f); },
    // Leaving the menu is starting a game.
    .Leave = [](TMainForm& f) { StartNewGame(f.State()); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (!AltEnter(key, shift)) MainMenuKey(f, key);
        },
    .Hover = [](TMainForm& f) { MainMenuHover(f); },
    .Press = [](TMainForm& f, MouseButton button) { MainMenuPress(f, button); },
    .WrappingSong = "1",
    .ExitQuestion = true,
};

constexpr TSceneRow kPond{
    .Scene = TScene::Pond,
    .Enter = [](TMainForm& f) { StartPondStage(f); },
    .Leave =
        [](TMainForm& f) {
            LeavePlay(f);
            f.StopAllSounds();
        },
    .Frame = [](TMainForm& f) { PondFrame(f); },
    .Timer = [](TMainForm& f) { f.State().Pond.LevelBanner = false; },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (AnsweredQuestion(f, key, shift)) return;
            TGameState& s = f.State();
            if (IsKey(TKeyAction::Pause, key) && !s.Flags.GameMainExit) {
                s.Shell.Paused = !s.Shell.Paused;
                s.Pond.LevelBanner = false;
                f.SceneTimer().SetEnabled(!f.SceneTimer().Enabled());
            }
            s.Shell.ActionKey =
                (IsKey(TKeyAction::Choose, key) && !AltEnter(key, shift)) || shift.Ctrl;
            if (IsKey(TKeyAction::Back, key) && !s.Shell.Paused) f.GameMainExitClick();
        },
    .Hover = PlayHover,
    .Press =
        [](TMainForm& f, MouseButton button) {
            if (f.State().Flags.GameMainExit) ExitQuestionPress(f, button);
        },
    .ExitQuestion = true,
};

constexpr TSceneRow kEating{
    .Scene = TScene::Eating,
    // The stage's sprites, then the aim in the middle and the stage's clock.
    .Enter =
        [](TMainForm& f) {
            StartEatingStage(f);
            TGameState& s = f.State();
            s.Shell.TongueAngleOffset = 0;
            s.Shell.AimCentred = true;
            s.Eating.TimeLeft = FeastSeconds(s.Level);
            f.LevelTimer.SetEnabled(true);
        },
    .Leave =
        [](TMainForm& f) {
            LeavePlay(f);
            f.State().Pond.PondRunning = true;
            f.StopAllSounds();
        },
    .Frame = [](TMainForm& f) { EatingFrame(f); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (AnsweredQuestion(f, key, shift)) return;
            TGameState& s = f.State();
            if (shift.Ctrl) s.Shell.ActionKey = true;
            if (IsKey(TKeyAction::Pause, key) && !s.Flags.GameMainExit) {
                s.Shell.Paused = !s.Shell.Paused;
                f.LevelTimer.SetEnabled(!f.LevelTimer.Enabled());
            }
            if (IsKey(TKeyAction::Back, key) && !s.Shell.Paused) f.GameMainExitClick();
        },
    // The pointer takes the aim over from the centre.
    .Hover =
        [](TMainForm& f) {
            f.State().Shell.AimCentred = false;
            PlayHover(f);
        },
    .Press =
        [](TMainForm& f, MouseButton button) {
            f.State().Shell.ActionKey = true;
            if (f.State().Flags.GameMainExit) ExitQuestionPress(f, button);
        },
    .ExitQuestion = true,
};

constexpr TSceneRow kHelp{
    .Scene = TScene::Help,
    .Enter = [](TMainForm& f) { EnterHelp(f); },
    .Frame = [](TMainForm& f) { DrawHelp(f); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (!AltEnter(key, shift)) HelpKey(f, key);
        },
    .Hover = [](TMainForm& f) { HelpHover(f); },
    .Press = [](TMainForm& f, MouseButton button) { HelpPress(f, button); },
    .WrappingSong = "1",
};

constexpr TSceneRow kOptions{
    .Scene = TScene::Options,
    .Enter = [](TMainForm& f) { EnterOptions(f); },
    .Leave =
        [](TMainForm& f) {
            f.State().Flags.GameTyping = false;
            f.SaveConfig();
        },
    .Frame = [](TMainForm& f) { DrawOptions(f); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (!AltEnter(key, shift)) OptionsKey(f, key);
        },
    .Hover = [](TMainForm& f) { OptionsHover(f); },
    .Press = [](TMainForm& f, MouseButton button) { OptionsPress(f, button); },
    .WrappingSong = "1",
};

constexpr TSceneRow kHighScores{
    .Scene = TScene::HighScores,
    .Enter = [](TMainForm& f) { EnterHighScores(f); },
    .Leave = [](TMainForm& f) { f.SaveConfig(); },
    .Frame = [](TMainForm& f) { DrawHighScores(f); },
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (!AltEnter(key, shift)) HighScoresKey(f, key);
        },
    .Hover = [](TMainForm& f) { HighScoresHover(f); },
    .Press = [](TMainForm& f, MouseButton button) { HighScoresPress(f, button); },
    .WrappingSong = "1",
};

constexpr TSceneRow kGameOver{
    .Scene = TScene::GameOver,
    .Enter = [](TMainForm& f) { EnterGameOver(f); },
    .Leave =
        [](TMainForm& f) {
            TGameState& s = f.State();
            s.GameOverPending = false;
            s.Flags.GameEnterName = false;
            s.Flags.GameTyping = false;
            s.Flags.GameSendResult = false;
            f.SaveConfig();
        },
    .Frame = [](TMainForm& f) { DrawNameEntry(f); },
    .Timer = [](TMainForm& f) { ShowNameEntry(f); },
    // While a result is being sent the panel only shows the sign.
    .Key =
        [](TMainForm& f, int key, TShiftState shift) {
            if (!f.SendingResult()) NameEntryKey(f, key, shift.Alt);
        },
    .Hover =
        [](TMainForm& f) {
            if (!f.SendingResult()) NameEntryHover(f);
        },
    .Press =
        [](TMainForm& f, MouseButton button) {
            if (!f.SendingResult()) NameEntryPress(f, button);
        },
    .WrappingSong = "3",
};

constexpr std::array kScenes{kIntro, kMainMenu, kPond,       kEating,
                             kHelp,  kOptions,  kHighScores, kGameOver};
constexpr TSceneRow kNoScene{};

constexpr bool EveryNamedSceneHasOneRow() {
    for (TScene scene : {TScene::Intro, TScene::MainMenu, TScene::Pond, TScene::Eating,
                         TScene::Help, TScene::Options, TScene::HighScores, TScene::GameOver}) {
        int rows = 0;
        for (const TSceneRow& row : kScenes)
            rows += row.Scene == scene ? 1 : 0;
        if (rows != 1) return false;
    }
    return true;
}
static_assert(EveryNamedSceneHasOneRow(), "every scene needs exactly one row");

} // namespace

const TSceneRow& SceneRow(TScene scene) {
    for (const TSceneRow& row : kScenes)
        if (row.Scene == scene) return row;
    return kNoScene;
}

} // namespace pondlark
