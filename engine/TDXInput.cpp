#include "engine/TDXInput.h"

namespace pondlark {

uint16_t PadButtons(const ControllerState& pad) {
    uint16_t b = padNone;
    if (pad.up) b |= padUp;
    if (pad.down) b |= padDown;
    if (pad.left) b |= padLeft;
    if (pad.right) b |= padRight;
    if (pad.south) b |= padA;
    if (pad.east) b |= padB;
    if (pad.west) b |= padX;
    if (pad.north) b |= padY;
    if (pad.start) b |= padStart;
    if (pad.back) b |= padBack;
    return b;
}

void TDXInput::Update() {
    keys_.fill(0);
    TDXInputStates raw;
    // With another window in front every key counts as up, so held states see their release.
    if (!ActiveOnly || platform_.IsForeground()) {
        platform_.KeyboardState(keys_.data());
        for (int i = 0; i < kInputStateCount; ++i) {
            for (int32_t code : Assigns[i]) {
                if (code >= 1 && code <= 255 && (keys_[code] & 0x80)) {
                    raw.set(i);
                    break;
                }
            }
        }
        if (JoystickEnabled) {
            const uint16_t held = PadButtons(platform_.Controllers());
            for (int i = 0; i < kInputStateCount; ++i)
                if ((PadAssigns[i] & held) != 0) raw.set(i);
        }
    }
    for (int i = 0; i < kInputStateCount; ++i) {
        if (raw.test(i) && !oldStates_.test(i))
            States.set(i);
        else if (!raw.test(i) && oldStates_.test(i))
            States.reset(i);
    }
    oldStates_ = raw;
}

} // namespace pondlark
