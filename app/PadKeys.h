// Game controllers as keys: each frame's controller state becomes the key presses and releases
// the scenes already answer, so every screen works with a controller exactly as with the
// keyboard.
//
// d-pad and stick are the arrows, A is Enter, B and Back are Escape, Start is P. In a play stage
// with no question up the arrows and A are left to the input states (the frog and the tongue
// read those) and only Escape and P are sent; elsewhere a held direction repeats as a held key
// does.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <vector>

namespace pondlark {

struct TPadKey {
    int Key = 0;
    bool Down = true;
};

class TPadKeys {
public:
    // First repeat of a held direction, then the pace of the next ones.
    static constexpr uint64_t kRepeatDelayMs = 400;
    static constexpr uint64_t kRepeatEveryMs = 120;

    // The keys that `pad` at `nowMs` presses and releases since the last call.
    std::vector<TPadKey> Update(const ControllerState& pad, uint64_t nowMs, bool play);

private:
    struct THeld {
        bool Down = false;
        uint64_t NextRepeat = 0;
    };
    // Up, Down, Left, Right, A, B, Start, Back.
    std::array<THeld, 8> held_{};
};

} // namespace pondlark
