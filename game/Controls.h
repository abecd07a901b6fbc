// The game's controls in two tables: the keys and controller buttons held down that the play
// stages read every step (`kHeldControls`, fed to the input states), and the keys whose press the
// scenes answer (`kKeyControls`: menus, pause, the questions, the pages), with the controller
// button that sends the same key. The input, the menus, the controller's keys and the README's
// table of keys all follow these rows: a new key for an action is one edit here.
//
// Keys are Windows virtual-key codes (platform/VirtualKeys.h; letters are their capitals); 0 in
// a key list is an unused place.
#pragma once

#include "engine/TDXInput.h"
#include "game/TableOrder.h"
#include "platform/VirtualKeys.h"

#include <array>
#include <cstdint>

namespace pondlark {

struct THeldControl {
    TDXInputState State;
    std::array<int32_t, 3> Keys;
    uint16_t Pad; // TPadButton bits that hold the state too
};

// clang-format off
inline constexpr std::array kHeldControls{
    //           state        keys                       controller
    THeldControl{isUp,        {'W', vk::Up, 0},          padUp},    // the frog turns up; the aim rises
    THeldControl{isDown,      {'S', vk::Down, 0},        padDown},  // the aim falls
    THeldControl{isLeft,      {0, vk::Left, 0},          padLeft},  // the frog turns left; the aim leans left
    THeldControl{isRight,     {0, vk::Right, 0},         padRight}, // the frog turns right; the aim leans right
    THeldControl{isAction,    {vk::Space, 0, 0},         padA},     // jump; shoot the tongue
    THeldControl{isActionAlt, {'X', vk::Space, 0},       padA},
    THeldControl{isPauseKey,  {vk::Escape, 'P', 0},      padStart},
    THeldControl{isAimLeft,   {'A', 0, 0},               padNone},
    THeldControl{isAimRight,  {'D', 0, 0},               padNone},
};
// clang-format on

// Fills `input`'s key and controller tables from `kHeldControls`; other states get none.
void AssignPlayControls(TDXInput& input);

enum class TKeyAction : uint8_t {
    MenuUp,    // the menu cursor up (wrapping); in a play stage, nothing
    MenuDown,  // the menu cursor down (wrapping)
    MenuLeft,  // a row's left choice; the questions' other answer
    MenuRight, // a row's right choice; the questions' other answer
    Choose,    // the lit item; in the pond, a jump
    Back,      // back to the main menu; in play and on the main menu, the exit question
    Pause,     // pause and resume a play stage
    PageDown,  // the next help page
    PageUp,    // the previous help page
    Erase,     // the last letter of a typed text
    Yes,       // answers a question yes
    No,        // answers a question no
    Keep,      // keeps a typed name or country; skips the intro (with Alt: the display mode)
};

// Where a controller button sends its key: on the menu screens (and under a question), in a
// play stage with no question up (where the arrows and A are left to the input states), or both.
enum TPadWhere : uint8_t { kInMenus = 1, kInPlay = 2, kEverywhere = kInMenus | kInPlay };

struct TKeyControl {
    TKeyAction Action;
    std::array<int32_t, 3> Keys; // the first is the one a controller button sends
    uint16_t Pad;                // TPadButton bits that send the first key
    TPadWhere PadWhere;
};

// clang-format off
inline constexpr std::array kKeyControls{
    //          action                 keys                        controller      sent
    TKeyControl{TKeyAction::MenuUp,    {vk::Up, 0, 0},             padUp,          kInMenus},
    TKeyControl{TKeyAction::MenuDown,  {vk::Down, 0, 0},           padDown,        kInMenus},
    TKeyControl{TKeyAction::MenuLeft,  {vk::Left, 0, 0},           padLeft,        kInMenus},
    TKeyControl{TKeyAction::MenuRight, {vk::Right, 0, 0},          padRight,       kInMenus},
    TKeyControl{TKeyAction::Choose,    {vk::Return, vk::Space, 0}, padA,           kInMenus},
    TKeyControl{TKeyAction::Back,      {vk::Escape, 0, 0},         padB | padBack, kEverywhere},
    // P in a menu would be a typed letter: Start pauses in play only.
    TKeyControl{TKeyAction::Pause,     {'P', 0, 0},                padStart,       kInPlay},
    TKeyControl{TKeyAction::PageDown,  {vk::Next, 0, 0},           padNone,        kInMenus},
    TKeyControl{TKeyAction::PageUp,    {vk::Prior, 0, 0},          padNone,        kInMenus},
    TKeyControl{TKeyAction::Erase,     {vk::Back, 0, 0},           padNone,        kInMenus},
    TKeyControl{TKeyAction::Yes,       {'Y', 0, 0},                padNone,        kInMenus},
    TKeyControl{TKeyAction::No,        {'N', 0, 0},                padNone,        kInMenus},
    TKeyControl{TKeyAction::Keep,      {vk::Return, 0, 0},         padNone,        kInMenus},
};
// clang-format on

static_assert(RowsInEnumOrder<&TKeyControl::Action>(kKeyControls, TKeyAction::Keep),
              "one row per key action, in the enum's order");

constexpr const TKeyControl& KeyControl(TKeyAction action) {
    return kKeyControls[static_cast<size_t>(action)];
}

// The key controller button `button` (one TPadButton bit) sends where `where` says, or 0.
constexpr int32_t PadKey(uint16_t button, TPadWhere where) {
    for (const TKeyControl& c : kKeyControls)
        if ((c.Pad & button) != 0 && (c.PadWhere & where) != 0) return c.Keys[0];
    return 0;
}

// Whether `key` does `action`.
constexpr bool IsKey(TKeyAction action, int key) {
    if (key == 0) return false;
    for (const int32_t k : KeyControl(action).Keys)
        if (k == key) return true;
    return false;
}

} // namespace pondlark
