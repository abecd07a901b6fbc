#include "app/PadKeys.h"

#include "platform/VirtualKeys.h"

namespace pondlark {

std::vector<TPadKey> TPadKeys::Update(const ControllerState& pad, uint64_t nowMs,
                                      TPadContext context) {
    const bool play = context == TPadContext::Play;
    const bool spelling = context == TPadContext::Spelling;
    struct TButton {
        bool Pressed;
        int Key; // 0: nothing to send here
        bool Repeats;
        bool InPlay; // sent while a play stage runs
    };
    const std::array<TButton, 10> buttons{{
        {pad.up, vk::Up, true, false},
        {pad.down, vk::Down, true, false},
        {pad.left, spelling ? vk::GamepadDpadLeft : vk::Left, true, false},
        {pad.right, spelling ? vk::GamepadDpadRight : vk::Right, true, false},
        {pad.south, vk::Return, false, false},
        {pad.east, vk::Escape, false, true},
        // P means pause in play only; in a menu it would be a typed letter.
        {pad.start, play ? 'P' : 0, false, true},
        {pad.back, vk::Escape, false, true},
        {pad.west, spelling ? vk::GamepadX : 0, false, false},
        {pad.north, spelling ? vk::GamepadY : 0, false, false},
    }};
    std::vector<TPadKey> keys;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TButton& b = buttons[i];
        THeld& h = held_[i];
        const bool sent = b.Key != 0 && (!play || b.InPlay);
        if (b.Pressed && !h.Down) {
            h.Down = true;
            h.NextRepeat = nowMs + kRepeatDelayMs;
            if (sent) keys.push_back({b.Key, true});
        } else if (b.Pressed && b.Repeats && nowMs >= h.NextRepeat) {
            h.NextRepeat = nowMs + kRepeatEveryMs;
            if (sent) keys.push_back({b.Key, true});
        } else if (!b.Pressed && h.Down) {
            h.Down = false;
            if (sent) keys.push_back({b.Key, false});
        }
    }
    return keys;
}

} // namespace pondlark
