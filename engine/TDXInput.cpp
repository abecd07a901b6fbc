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

namespace {

// The states the controller's buttons hold, by the input's controller table.
TDXInputStates PadStates(const std::array<uint16_t, kInputStateCount>& assigns,
                         const ControllerState& c) {
    const uint16_t held = PadButtons(c);
    TDXInputStates s;
    for (int i = 0; i < kInputStateCount; ++i)
        if ((assigns[static_cast<size_t>(i)] & held) != 0) s.set(static_cast<size_t>(i));
    return s;
}

} // namespace

namespace {
uint64_t Bits(const TDXInputStates& s) {
    return s.to_ullong();
}
TDXInputStates FromBits(TByteReader& in) {
    const uint64_t v = in.U64();
    if (v >> kInputStateCount) in.Fail();
    return TDXInputStates(v);
}
} // namespace

void TDXInput::SaveState(TByteWriter& out) const {
    std::vector<uint8_t> held, pressed;
    for (size_t k = 0; k < 256; ++k) {
        if (keys_[k]) held.push_back(static_cast<uint8_t>(k));
        if (pressed_[k]) pressed.push_back(static_cast<uint8_t>(k));
    }
    out.U16(static_cast<uint16_t>(held.size()));
    for (uint8_t k : held) {
        out.U8(k);
        out.U8(keys_[k]);
    }
    out.U16(static_cast<uint16_t>(pressed.size()));
    out.Bytes(pressed);
    for (const TDXInputStates* s : {&padSeen_, &padBefore_, &oldStates_, &States})
        out.U64(Bits(*s));
}

void TDXInput::RestoreState(TByteReader& in) {
    keys_.fill(0);
    pressed_.fill(false);
    const uint16_t held = in.U16();
    if (held > 256) in.Fail();
    for (uint16_t i = 0; i < held; ++i) {
        const uint8_t k = in.U8();
        keys_[k] = in.U8();
    }
    const uint16_t pressed = in.U16();
    if (pressed > 256) in.Fail();
    for (uint8_t k : in.Bytes(pressed))
        pressed_[k] = true;
    for (TDXInputStates* s : {&padSeen_, &padBefore_, &oldStates_, &States})
        *s = FromBits(in);
}

void TDXInput::NoteController(const ControllerState& pad) {
    padSeen_ |= PadStates(PadAssigns, pad);
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
            pad = PadStates(PadAssigns, platform_.Controllers());
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
