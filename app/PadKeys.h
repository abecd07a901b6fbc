// Game controllers as keys: each frame's controller state becomes the key presses and releases
// the scenes already answer, so every screen works with a controller exactly as with the
// keyboard.
//
// d-pad and stick are the arrows, A is Enter, B and Back are Escape, Start is P (the rows of
// kKeyControls in game/Controls.h say which button sends which key, and where). In a play stage
// with no question up the arrows and A are left to the input states (the frog and the tongue
// read those) and only Escape and P are sent; elsewhere a held direction repeats as a held key
// does. Where a text is spelt (screens/PadSpelling.h), left and right, X and Y come as the
// controller's own keys (vk::Gamepad...), so the field can tell them from the keyboard's arrows;
// X and Y send nothing anywhere else.
#pragma once

#include "platform/ByteSpan.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <vector>

namespace pondlark {

struct TPadKey {
    int Key = 0;
    bool Down = true;
};

// Where the game stands, as far as the controller's keys care.
enum class TPadContext { Menu, Play, Spelling };

class TPadKeys {
public:
    // First repeat of a held direction, then the pace of the next ones.
    static constexpr uint64_t kRepeatDelayMs = 400;
    static constexpr uint64_t kRepeatEveryMs = 120;

    // The keys that `pad` at `nowMs` presses and releases since the last call.
    std::vector<TPadKey> Update(const ControllerState& pad, uint64_t nowMs, TPadContext context);

    // The buttons held and their repeats, counted from `nowMs`, for a replay to start where a
    // game started; the reader's failure handler throws on a bad record.
    void SaveState(TByteWriter& out, uint64_t nowMs) const;
    void RestoreState(TByteReader& in, uint64_t nowMs);

private:
    struct THeld {
        bool Down = false;
        uint64_t NextRepeat = 0;
    };
    // Up, Down, Left, Right, A, B, Start, Back, X, Y.
    std::array<THeld, 10> held_{};
};

} // namespace pondlark
