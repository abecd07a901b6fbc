// The main window's keyboard and pointer handlers: they route input to the scene on show through
// its row of the scene table.

#include "app/TMainForm.h"

#include "app/SceneTable.h"

#include "platform/VirtualKeys.h"
#include "screens/PadSpelling.h"
#include "screens/Screens.h"

namespace pondlark {

namespace {
bool KeyCode(int key) {
    return key > 0 && key < 256;
}
} // namespace

void TMainForm::FormKeyDown(int key, TShiftState shift) {
    if (viewer_) {
        if (ViewerLeaves(key)) LeaveViewer();
        return;
    }
    if (KeyCode(key)) {
        const auto k = static_cast<size_t>(key);
        if (!keysHeld_.test(k)) keysPressedSinceStep_.set(k);
        keysHeld_.set(k);
    }
    if (const auto onKey = SceneRow(state_.Scene).Key) onKey(*this, key, shift);
    if (shift.Alt && key == vk::Return) GameFullScreenClick();
}

void TMainForm::PollControllers() {
    // Another window in front holds no buttons, as it holds no keys.
    const ControllerState pad = DXInput.ActiveOnly && !platform_.IsForeground()
                                    ? ControllerState{}
                                    : platform_.Controllers();
    DXInput.NoteController(pad);
    TPadContext context = TPadContext::Menu;
    // A replay watched takes the buttons of play: Start pauses it, B leaves.
    if (viewer_ || ((state_.Scene == TScene::Pond || state_.Scene == TScene::Eating) &&
                    !state_.Flags.GameMainExit))
        context = TPadContext::Play;
    else if (PadSpells(state_))
        context = TPadContext::Spelling;
    for (const TPadKey& k : padKeys_.Update(pad, platform_.Ticks(), context)) {
        if (k.Down && context == TPadContext::Spelling) state_.Menus.PadSpelt = true;
        if (k.Down)
            FormKeyDown(k.Key, {});
        else
            FormKeyUp(k.Key, {});
        if (terminated_) return;
    }
}

void TMainForm::FormKeyUp(int key, TShiftState) {
    if (KeyCode(key)) {
        const auto k = static_cast<size_t>(key);
        if (state_.Shell.ActionKey && keysPressedSinceStep_.test(k))
            state_.Shell.ActionTapped = true;
        keysHeld_.reset(k);
    }
    state_.Shell.ActionKey = false;
}

void TMainForm::DXDrawMouseMove(TShiftState, int x, int y) {
    MenuPointerMove(*this, x, y);
    if (const auto hover = SceneRow(state_.Scene).Hover) hover(*this);
}

void TMainForm::DXDrawMouseDown(MouseButton button, TShiftState, int, int) {
    buttonPressedSinceStep_ = true;
    if (const auto press = SceneRow(state_.Scene).Press) press(*this, button);
}

void TMainForm::DXDrawMouseUp(MouseButton, TShiftState, int, int) {
    if (state_.Shell.ActionKey && buttonPressedSinceStep_) state_.Shell.ActionTapped = true;
    state_.Shell.ActionKey = false;
}

} // namespace pondlark
