#include "app/PadKeys.h"

#include "platform/VirtualKeys.h"

namespace pondlark {

std::vector<TPadKey> TPadKeys::Update(const ControllerState& pad, uint64_t nowMs, bool play) {
    struct TButton {
        bool Pressed;
        int Key;
        bool Repeats;
        bool InPlay; // sent while a play stage runs
    };
    const std::array<TButton, 8> buttons{{
        {pad.up, vk::Up, true, false},
        {pad.down, vk::Down, true, false},
        {pad.left, vk::Left, true, false},
        {pad.right, vk::Right, true, false},
        {pad.south, vk::Return, false, false},
        {pad.east, vk::Escape, false, true},
        {pad.start, 'P', false, true},
        {pad.back, vk::Escape, false, true},
    }};
    std::vector<TPadKey> keys;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TButton& b = buttons[i];
        THeld& h = held_[i];
        // P means pause in play only; in a menu it would be a typed letter.
        const bool sent = play ? b.InPlay : b.Key != 'P';
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
