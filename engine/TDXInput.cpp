#include "engine/TDXInput.h"

#include "platform/VirtualKeys.h"

namespace pondlark {

void TDXInput::AssignDefaultKeys() {
    Assigns = {};
    Assigns[isUp] = {'W', vk::Up, 0};
    Assigns[isDown] = {'S', vk::Down, 0};
    Assigns[isLeft] = {0, vk::Left, 0};
    Assigns[isRight] = {0, vk::Right, 0};
    Assigns[isAction] = {vk::Space, 0, 0};
    Assigns[isActionAlt] = {'X', vk::Space, 0};
    Assigns[isPauseKey] = {vk::Escape, 'P', 0};
    Assigns[isAimLeft] = {'A', 0, 0};
    Assigns[isAimRight] = {'D', 0, 0};
}

namespace {

TDXInputStates PadStates(const ControllerState& c) {
    TDXInputStates s;
    if (c.up) s.set(isUp);
    if (c.down) s.set(isDown);
    if (c.left) s.set(isLeft);
    if (c.right) s.set(isRight);
    if (c.south) s.set(isAction).set(isActionAlt);
    if (c.start) s.set(isPauseKey);
    return s;
}

} // namespace

void TDXInput::NoteController(const ControllerState& pad) {
    padSeen_ |= PadStates(pad);
}

void TDXInput::NotePress(int virtualKey) {
    if (virtualKey >= 1 && virtualKey <= 255) pressed_[static_cast<size_t>(virtualKey)] = true;
}

void TDXInput::Update() {
    const std::array<uint8_t, 256> before = keys_;
    keys_.fill(0);
    TDXInputStates raw, tapped, pad;
    // With another window in front every key counts as up, so held states see their release.
    if (!ActiveOnly || platform_.IsForeground()) {
        platform_.KeyboardState(keys_.data());
        for (int i = 0; i < kInputStateCount; ++i) {
            for (int32_t code : Assigns[i]) {
                if (code < 1 || code > 255) continue;
                const auto k = static_cast<size_t>(code);
                if (keys_[k] & 0x80) {
                    raw.set(i);
                    break;
                }
                // Pressed and released since the last update, up at both: a whole tap. A key
                // down at the last update and up now was held, an ordinary release.
                if (pressed_[k] && !(before[k] & 0x80)) tapped.set(i);
            }
        }
        if (JoystickEnabled) {
            pad = PadStates(platform_.Controllers());
            raw |= pad;
            tapped |= padSeen_ & ~padBefore_;
        }
    }
    padBefore_ = pad;
    tapped &= ~raw;
    for (int i = 0; i < kInputStateCount; ++i) {
        // A tap is a press edge of its own even right after another tap, and is released at the
        // next update as the key is up by then.
        if (tapped.test(i) || (raw.test(i) && !oldStates_.test(i)))
            States.set(i);
        else if (!raw.test(i) && oldStates_.test(i))
            States.reset(i);
    }
    oldStates_ = raw | tapped;
    pressed_.fill(false);
    padSeen_.reset();
}

} // namespace pondlark
