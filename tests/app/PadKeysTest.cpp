#include "app/PadKeys.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {

struct Step {
    uint64_t ms;
    ControllerState pad;
    bool play;
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

} // namespace

// A held direction repeats in the menus after a delay; buttons never repeat; in play only B,
// Back and Start reach the keys (the frog reads the rest from its input states), and P is
// never typed into a menu.
TEST(PadKeys, PressesRepeatsAndReleases) {
    const uint64_t first = TPadKeys::kRepeatDelayMs, every = TPadKeys::kRepeatEveryMs;
    const std::vector<Step> steps = {
        {0, Down(), false, {{vk::Down, true}}},
        {first - 1, Down(), false, {}},
        {first, Down(), false, {{vk::Down, true}}},
        {first + every - 1, Down(), false, {}},
        {first + every, Down(), false, {{vk::Down, true}}},
        {first + every + 1, {}, false, {{vk::Down, false}}},
        {2000, With(&ControllerState::south), false, {{vk::Return, true}}},
        {3000, With(&ControllerState::south), false, {}},
        {3001, {}, false, {{vk::Return, false}}},
        {3100, With(&ControllerState::start), false, {}},
        {3200, {}, true, {{'P', false}}},
        {3300, With(&ControllerState::start), true, {{'P', true}}},
        {3400, With(&ControllerState::east), true, {{vk::Escape, true}, {'P', false}}},
        {3500, With(&ControllerState::back), true, {{vk::Escape, false}, {vk::Escape, true}}},
        {3600, Down(), true, {{vk::Escape, false}}},
        {5000, Down(), true, {}},
    };
    TPadKeys pad;
    for (const Step& s : steps) {
        std::vector<std::pair<int, bool>> got;
        for (const TPadKey& k : pad.Update(s.pad, s.ms, s.play))
            got.emplace_back(k.Key, k.Down);
        EXPECT_EQ(got, s.keys) << "at " << s.ms << " ms";
    }
}
