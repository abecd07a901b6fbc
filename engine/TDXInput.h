// Per-frame input states: four directions and 32 buttons, fed by a table of up to three keys
// per state. `States` changes only on press and release edges, so a holder that clears a bit to
// consume a press keeps it cleared until the key is released and pressed again.
//
// The keyboard is read as a snapshot once a step, which never sees a key pressed and released
// between two steps. The window therefore hands every key press to `NotePress`; a key pressed
// since the last update that is up again at this one, and was up at the last one too, counts as
// down for this one update (and is released at the next). Held keys never depend on it. The
// controllers are read more often than the steps: whatever `NoteController` saw held since the
// last update, and was not held at it, counts the same way.
#pragma once

#include "platform/ByteSpan.h"
#include "platform/Platform.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace pondlark {

enum TDXInputState : int {
    isUp = 0,
    isDown,
    isLeft,
    isRight,
    isAction,
    isActionAlt,
    isPauseKey,
    isAimLeft,
    isAimRight,
    // Buttons 6..32 follow at 9..35.
};
constexpr int kInputStateCount = 36;

// A controller's buttons as bits, so one state or key can name several.
enum TPadButton : uint16_t {
    padNone = 0,
    padUp = 1 << 0,
    padDown = 1 << 1,
    padLeft = 1 << 2,
    padRight = 1 << 3,
    padA = 1 << 4, // south
    padB = 1 << 5, // east
    padX = 1 << 6, // west
    padY = 1 << 7, // north
    padStart = 1 << 8,
    padBack = 1 << 9,
};
// The buttons `pad` holds.
uint16_t PadButtons(const ControllerState& pad);

using TDXInputStates = std::bitset<kInputStateCount>;

class TDXInput {
public:
    // The platform outlives the component.
    explicit TDXInput(IPlatform& platform) : platform_(platform) {}

    bool ActiveOnly = true;
    // Up to three virtual-key codes per state; 0 = none. The game fills both tables from its
    // controls (game/Controls.h); empty, nothing is ever held.
    std::array<std::array<int32_t, 3>, kInputStateCount> Assigns{};
    // The controller buttons (TPadButton bits) that hold each state too, while
    // `JoystickEnabled`.
    std::array<uint16_t, kInputStateCount> PadAssigns{};
    bool JoystickEnabled = true;

    TDXInputStates States;

    void Update();
    // A key went down (a press event, repeats included); the next `Update` sees it even when it
    // is up again by then.
    void NotePress(int virtualKey);
    // What the controllers held at a look between two updates.
    void NoteController(const ControllerState& pad);
    // 256 key flags of the last update (bit 7 set = down).
    const std::array<uint8_t, 256>& Keys() const { return keys_; }

    // Everything a later update depends on, for a replay to start where a game started; the
    // reader's failure handler throws on a short or bad record.
    void SaveState(TByteWriter& out) const;
    void RestoreState(TByteReader& in);

    bool Has(TDXInputState s) const { return States.test(s); }
    void Clear(TDXInputState s) { States.reset(s); }

private:
    IPlatform& platform_;
    std::array<uint8_t, 256> keys_{};
    std::array<bool, 256> pressed_{}; // pressed since the last update
    TDXInputStates padSeen_;          // held by a controller at a look since the last update
    TDXInputStates padBefore_;        // held by the controllers at the last update
    TDXInputStates oldStates_;
};

} // namespace pondlark
