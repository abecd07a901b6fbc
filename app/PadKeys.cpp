#include "app/PadKeys.h"

#include "game/Controls.h"
#include "platform/VirtualKeys.h"

namespace pondlark {

void TPadKeys::SaveState(TByteWriter& out, uint64_t nowMs) const {
    for (const THeld& h : held_) {
        out.U8(h.Down ? 1 : 0);
        out.U64(h.NextRepeat - nowMs);
    }
}

void TPadKeys::RestoreState(TByteReader& in, uint64_t nowMs) {
    for (THeld& h : held_) {
        const uint8_t down = in.U8();
        if (down > 1) in.Fail();
        h.Down = down == 1;
        h.NextRepeat = nowMs + in.U64();
    }
}

std::vector<TPadKey> TPadKeys::Update(const ControllerState& pad, uint64_t nowMs,
                                      TPadContext context) {
    const bool spelling = context == TPadContext::Spelling;
    const TPadWhere where = context == TPadContext::Play ? kInPlay : kInMenus;
    const uint16_t held = PadButtons(pad);
    struct TButton {
        uint16_t Bit;
        int Key;
        bool Repeats;
    };
    // Where a text is spelt, left and right, X and Y are the controller's own keys.
    const std::array<TButton, 10> buttons{{
        {padUp, PadKey(padUp, where), true},
        {padDown, PadKey(padDown, where), true},
        {padLeft, spelling ? vk::GamepadDpadLeft : PadKey(padLeft, where), true},
        {padRight, spelling ? vk::GamepadDpadRight : PadKey(padRight, where), true},
        {padA, PadKey(padA, where), false},
        {padB, PadKey(padB, where), false},
        {padStart, PadKey(padStart, where), false},
        {padBack, PadKey(padBack, where), false},
        {padX, spelling ? vk::GamepadX : PadKey(padX, where), false},
        {padY, spelling ? vk::GamepadY : PadKey(padY, where), false},
    }};
    std::vector<TPadKey> keys;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TButton& b = buttons[i];
        const bool pressed = (held & b.Bit) != 0;
        THeld& h = held_[i];
        const bool sent = b.Key != 0;
        if (pressed && !h.Down) {
            h.Down = true;
            h.NextRepeat = nowMs + kRepeatDelayMs;
            if (sent) keys.push_back({b.Key, true});
        } else if (pressed && b.Repeats && nowMs >= h.NextRepeat) {
            h.NextRepeat = nowMs + kRepeatEveryMs;
            if (sent) keys.push_back({b.Key, true});
        } else if (!pressed && h.Down) {
            h.Down = false;
            if (sent) keys.push_back({b.Key, false});
        }
    }
    return keys;
}

} // namespace pondlark
