#include "app/PadKeys.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {

struct Step {
    uint64_t ms;
    ControllerState pad;
    TPadContext context;
    std::vector<std::pair<int, bool>> keys; // key, down
};

ControllerState Down() {
    ControllerState s;
    s.down = true;
    return s;
}
ControllerState With(bool ControllerState::*button) {
    ControllerState s;
    s.*button = true;
    return s;
}

// Feeds the steps to one TPadKeys in order; each must send exactly its keys.
void ExpectKeys(const std::vector<Step>& steps) {
    TPadKeys pad;
    for (const Step& s : steps) {
        std::vector<std::pair<int, bool>> got;
        for (const TPadKey& k : pad.Update(s.pad, s.ms, s.context))
            got.emplace_back(k.Key, k.Down);
        EXPECT_EQ(got, s.keys) << "at " << s.ms << " ms";
    }
}

constexpr TPadContext kMenu = TPadContext::Menu, kPlay = TPadContext::Play,
                      kName = TPadContext::Spelling;

} // namespace

// A held direction repeats in the menus after a delay; buttons never repeat; in play only B,
// Back and Start reach the keys (the frog reads the rest from its input states), and P is
// never typed into a menu.
TEST(PadKeys, PressesRepeatsAndReleases) {
    const uint64_t first = TPadKeys::kRepeatDelayMs, every = TPadKeys::kRepeatEveryMs;
    const std::vector<Step> steps = {
        {0, Down(), kMenu, {{vk::Down, true}}},
        {first - 1, Down(), kMenu, {}},
        {first, Down(), kMenu, {{vk::Down, true}}},
        {first + every - 1, Down(), kMenu, {}},
        {first + every, Down(), kMenu, {{vk::Down, true}}},
        {first + every + 1, {}, kMenu, {{vk::Down, false}}},
        {2000, With(&ControllerState::south), kMenu, {{vk::Return, true}}},
        {3000, With(&ControllerState::south), kMenu, {}},
        {3001, {}, kMenu, {{vk::Return, false}}},
        {3100, With(&ControllerState::start), kMenu, {}},
        {3200, {}, kPlay, {{'P', false}}},
        {3300, With(&ControllerState::start), kPlay, {{'P', true}}},
        {3400, With(&ControllerState::east), kPlay, {{vk::Escape, true}, {'P', false}}},
        {3500, With(&ControllerState::back), kPlay, {{vk::Escape, false}, {vk::Escape, true}}},
        {3600, Down(), kPlay, {{vk::Escape, false}}},
        {5000, Down(), kPlay, {}},
    };
    ExpectKeys(steps);
}

// On the name panel the controller has no letters to type: left and right, X and Y come as the
// pad's own keys (a held direction still repeats), so the panel tells them from the keyboard's
// arrows; up and down stay the arrows. Elsewhere X and Y send nothing.
TEST(PadKeys, TheNamePanelGetsThePadsOwnKeys) {
    const uint64_t first = TPadKeys::kRepeatDelayMs;
    const std::vector<Step> steps = {
        {0, With(&ControllerState::left), kName, {{vk::GamepadDpadLeft, true}}},
        {first, With(&ControllerState::left), kName, {{vk::GamepadDpadLeft, true}}},
        {first + 1, {}, kName, {{vk::GamepadDpadLeft, false}}},
        {1000, With(&ControllerState::right), kMenu, {{vk::Right, true}}},
        {1001, With(&ControllerState::right), kName, {}},
        {1002, {}, kName, {{vk::GamepadDpadRight, false}}},
        {1100, With(&ControllerState::west), kName, {{vk::GamepadX, true}}},
        {1200, With(&ControllerState::north), kName, {{vk::GamepadX, false}, {vk::GamepadY, true}}},
        {1300, With(&ControllerState::west), kMenu, {}},
        {1400, With(&ControllerState::north), kPlay, {}},
        {1450, {}, kPlay, {}},
        {1500, With(&ControllerState::start), kName, {}},
        {1600, With(&ControllerState::up), kName, {{vk::Up, true}}},
        {1700, With(&ControllerState::south), kName, {{vk::Up, false}, {vk::Return, true}}},
    };
    ExpectKeys(steps);
}
