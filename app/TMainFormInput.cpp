// The main window's keyboard and pointer handlers: they route input to the scene on show.

#include "app/TMainForm.h"

#include "platform/VirtualKeys.h"
#include "screens/Screens.h"

namespace pondlark {

void TMainForm::FormKeyDown(int key, TShiftState shift) {
    const bool enter = key == vk::Return && !shift.Alt;
    switch (state_.Scene) {
    case TScene::Intro:
        if (key == vk::Escape || enter) SwitchScene(TScene::MainMenu);
        break;
    case TScene::MainMenu:
        if (key == vk::Escape)
            GameMainExitClick();
        else if (enter)
            SwitchScene(TScene::Pond);
        break;
    case TScene::Pond:
        if (key == 'P' && !state_.Flags.GameMainExit) {
            state_.Paused = !state_.Paused;
            state_.LevelBanner = false;
            Timer1.SetEnabled(!Timer1.Enabled());
        }
        state_.ActionKey = key == vk::Space || shift.Ctrl || enter;
        if (key == vk::Escape && !state_.Paused) GameMainExitClick();
        break;
    case TScene::Eating:
        if (shift.Ctrl) state_.ActionKey = true;
        if (key == 'P' && !state_.Flags.GameMainExit) {
            state_.Paused = !state_.Paused;
            LevelTimer.SetEnabled(!LevelTimer.Enabled());
        }
        if (key == vk::Escape && !state_.Paused) GameMainExitClick();
        break;
    case TScene::Help:
        if (key == vk::Escape) SwitchScene(TScene::MainMenu);
        break;
    case TScene::Options:
        OptionsKey(*this, key);
        break;
    case TScene::HighScores:
        HighScoresKey(*this, key);
        break;
    case TScene::GameOver:
        NameEntryKey(*this, key, shift.Alt);
        break;
    default:
        break;
    }
    if (shift.Alt && key == vk::Return) GameFullScreenClick();
}

void TMainForm::FormKeyUp(int, TShiftState) {
    state_.ActionKey = false;
}

void TMainForm::DXDrawMouseMove(TShiftState, int x, int y) {
    MenuPointerMove(*this, x, y);
    switch (state_.Scene) {
    case TScene::MainMenu:
        MainMenuHover(*this);
        break;
    case TScene::Pond:
    case TScene::Eating:
        if (state_.Scene == TScene::Eating) state_.AimCentred = false;
        platform_.SetCursor(Cursor::Hidden);
        if (state_.Flags.GameMainExit) {
            platform_.SetCursor(Cursor::Arrow);
            ExitQuestionHover(*this);
        }
        break;
    case TScene::Help:
        HelpHover(*this);
        break;
    case TScene::Options:
        OptionsHover(*this);
        break;
    case TScene::HighScores:
        HighScoresHover(*this);
        break;
    case TScene::GameOver:
        NameEntryHover(*this);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseDown(MouseButton button, TShiftState, int, int) {
    switch (state_.Scene) {
    case TScene::Intro:
        if (button == MouseButton::Left) {
            SwitchScene(TScene::MainMenu);
            Timer1.SetEnabled(false);
        }
        break;
    case TScene::MainMenu:
        MainMenuPress(*this, button);
        break;
    case TScene::Pond:
        if (state_.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case TScene::Eating:
        state_.ActionKey = true;
        if (state_.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case TScene::Help:
        HelpPress(*this, button);
        break;
    case TScene::Options:
        OptionsPress(*this, button);
        break;
    case TScene::HighScores:
        HighScoresPress(*this, button);
        break;
    case TScene::GameOver:
        NameEntryPress(*this, button);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseUp(MouseButton, TShiftState, int, int) {
    state_.ActionKey = false;
}

} // namespace pondlark
