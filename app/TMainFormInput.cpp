// The main window's keyboard and pointer handlers: they route input to the scene on show.

#include "app/TMainForm.h"

#include "platform/VirtualKeys.h"
#include "screens/Screens.h"

namespace pondlark {

void TMainForm::FormKeyDown(int key, TShiftState shift) {
    const bool enter = key == vk::Return && !shift.Alt;
    switch (State.Scene) {
    case 1:
        if (key == vk::Escape || enter) SwitchScene(2);
        break;
    case 2:
        if (key == vk::Escape)
            GameMainExitClick();
        else if (enter)
            SwitchScene(3);
        break;
    case 3:
        if (key == 'P' && !State.Flags.GameMainExit) {
            State.Paused = !State.Paused;
            State.LevelBanner = false;
            Timer1.SetEnabled(!Timer1.Enabled());
        }
        State.ActionKey = key == vk::Space || shift.Ctrl || enter;
        if (key == vk::Escape && !State.Paused) GameMainExitClick();
        break;
    case 4:
        if (shift.Ctrl) State.ActionKey = true;
        if (key == 'P' && !State.Flags.GameMainExit) {
            State.Paused = !State.Paused;
            LevelTimer.SetEnabled(!LevelTimer.Enabled());
        }
        if (key == vk::Escape && !State.Paused) GameMainExitClick();
        break;
    case 5:
        if (key == vk::Escape) SwitchScene(2);
        break;
    case 6:
        OptionsKey(*this, key);
        break;
    case 7:
        HighScoresKey(*this, key);
        break;
    case 9:
        NameEntryKey(*this, key, shift.Alt);
        break;
    default:
        break;
    }
    if (shift.Alt && key == vk::Return) GameFullScreenClick();
}

void TMainForm::FormKeyUp(int, TShiftState) {
    State.ActionKey = false;
}

void TMainForm::DXDrawMouseMove(TShiftState, int x, int y) {
    MenuPointerMove(*this, x, y);
    switch (State.Scene) {
    case 2:
        MainMenuHover(*this);
        break;
    case 3:
    case 4:
        if (State.Scene == 4) State.AimCentred = false;
        platform_.SetCursor(Cursor::Hidden);
        if (State.Flags.GameMainExit) {
            platform_.SetCursor(Cursor::Arrow);
            ExitQuestionHover(*this);
        }
        break;
    case 5:
        HelpHover(*this);
        break;
    case 6:
        OptionsHover(*this);
        break;
    case 7:
        HighScoresHover(*this);
        break;
    case 9:
        NameEntryHover(*this);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseDown(MouseButton button, TShiftState, int, int) {
    switch (State.Scene) {
    case 1:
        if (button == MouseButton::Left) {
            SwitchScene(2);
            Timer1.SetEnabled(false);
        }
        break;
    case 2:
        MainMenuPress(*this, button);
        break;
    case 3:
        if (State.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case 4:
        State.ActionKey = true;
        if (State.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case 5:
        HelpPress(*this, button);
        break;
    case 6:
        OptionsPress(*this, button);
        break;
    case 7:
        HighScoresPress(*this, button);
        break;
    case 9:
        NameEntryPress(*this, button);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseUp(MouseButton, TShiftState, int, int) {
    State.ActionKey = false;
}

} // namespace pondlark
