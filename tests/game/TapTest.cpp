// Taps shorter than a step: a key or button pressed and released between two steps counts once
// at the next step, in the pond and in the feast, as a press held over that step would.
#include "app/GameFixture.h"
#include "platform/VirtualKeys.h"

#include <functional>
#include <string>

namespace pondlark {
namespace {

constexpr int kMouse = 0;       // the left mouse button instead of a key
constexpr int kPadA = -1;       // the controller's A instead of a key
constexpr int kTongueStep = 30; // one step of a shooting tongue
constexpr double kWalkStep = 5; // one step of the feasting frog's walk

struct Taps : GameFixture {
    TGameState& S() { return form->State(); }
    // Level 1's pond, its banner over.
    void ToPond() {
        ASSERT_TRUE(Start(7));
        Key(vk::Return);
        Key(vk::Return);
        ASSERT_EQ(S().Scene, TScene::Pond);
        form->RunFor(3400);
        ASSERT_FALSE(S().Pond.LevelBanner);
    }
    // Level 1's feast, with lives enough that the stork changes nothing.
    void ToFeast() {
        ASSERT_TRUE(Start(1));
        form->SwitchScene(TScene::MainMenu);
        form->SwitchScene(TScene::Pond);
        form->SwitchScene(TScene::Eating);
        S().Lives = 1000;
        Frame();
    }
    // A step has just run; the press and the release are both handled before the next one.
    void TapBetweenSteps(int key, bool ctrl = false) {
        Frame();
        if (key == kPadA) {
            ControllerState pad;
            pad.south = true;
            platform.SetController(pad);
            form->Pump();
            platform.SetController({});
        } else if (key == kMouse) {
            platform.MouseDown(400, 300, MouseButton::Left);
            form->Pump();
            platform.MouseUp(400, 300, MouseButton::Left);
        } else {
            platform.KeyDown(key, false, ctrl);
            form->Pump();
            platform.KeyUp(key, false, ctrl);
        }
        form->Pump();
        Frame();
    }
};

struct TapCase {
    const char* name;
    TScene scene;
    int key;
    bool ctrl;
    std::function<void(TGameState&)> before; // sets up what the tap should change
    std::function<bool(const TGameState&)> effect;
};

bool Jumped(const TGameState& s) {
    return s.Score == 5;
}
bool TongueOneStepOut(const TGameState& s) {
    return s.Eating.TongueLength == kTongueStep;
}
auto Facing(uint8_t facing) {
    return [facing](const TGameState& s) { return s.Pond.FrogFacing == facing; };
}
void FaceLeft(TGameState& s) {
    s.Pond.FrogFacing = kFacingLeft;
}
void Nothing(TGameState&) {}

TEST_F(Taps, ATapBetweenTwoStepsCountsAtTheNextStep) {
    const TapCase cases[] = {
        {"pond Space jumps", TScene::Pond, vk::Space, false, Nothing, Jumped},
        {"pond Enter jumps", TScene::Pond, vk::Return, false, Nothing, Jumped},
        {"pond Ctrl jumps", TScene::Pond, vk::Control, true, Nothing, Jumped},
        {"pond Left turns", TScene::Pond, vk::Left, false, Nothing, Facing(kFacingLeft)},
        {"pond Right turns", TScene::Pond, vk::Right, false, Nothing, Facing(kFacingRight)},
        {"pond Up turns", TScene::Pond, vk::Up, false, FaceLeft, Facing(kFacingUp)},
        {"pond W turns", TScene::Pond, 'W', false, FaceLeft, Facing(kFacingUp)},
        {"feast Space shoots", TScene::Eating, vk::Space, false, Nothing, TongueOneStepOut},
        {"feast mouse button shoots", TScene::Eating, kMouse, false, Nothing, TongueOneStepOut},
        {"feast Ctrl shoots", TScene::Eating, vk::Control, true, Nothing, TongueOneStepOut},
        {"pond controller A jumps", TScene::Pond, kPadA, false, Nothing, Jumped},
        {"feast controller A shoots", TScene::Eating, kPadA, false, Nothing, TongueOneStepOut},
    };
    for (const TapCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.scene == TScene::Pond)
            ToPond();
        else
            ToFeast();
        c.before(S());
        ASSERT_FALSE(c.effect(S())) << "the case must start without its effect";
        TapBetweenSteps(c.key, c.ctrl);
        EXPECT_TRUE(c.effect(S()));
        TearDown();
        SetUp();
    }
}

// The next step after the tap does not see it again: a tap is one step, not a held key.
TEST_F(Taps, ATapCountsOnceOnly) {
    ToFeast();
    TapBetweenSteps(vk::Space);
    ASSERT_EQ(S().Eating.TongueLength, kTongueStep);
    Frame();
    EXPECT_EQ(S().Eating.TongueLength, 0) << "snapping back from the step after";
    TearDown();
    SetUp();
    ToPond();
    TapBetweenSteps(vk::Left);
    ASSERT_EQ(S().Pond.FrogFacing, kFacingLeft);
    S().Pond.FrogFacing = kFacingUp;
    for (int i = 0; i < 6; ++i) // past the turn's delay, when a held key turns again
        Frame();
    EXPECT_EQ(S().Pond.FrogFacing, kFacingUp) << "one tap, one turn";
}

// A fast player's run: a hundred taps, each between two steps, of every key and button the
// feast reads; every one of them acts.
TEST_F(Taps, AHundredTapsBetweenStepsAreNoneLost) {
    ToFeast();
    const int keys[] = {vk::Space, kMouse, vk::Left, vk::Control, vk::Right, kPadA};
    int counted = 0;
    for (int i = 0; i < 100; ++i) {
        const int key = keys[i % 6];
        const double x = form->State().Eating.MouthX;
        TapBetweenSteps(key, key == vk::Control);
        if (key == vk::Left)
            counted += S().Eating.MouthX == x - kWalkStep;
        else if (key == vk::Right)
            counted += S().Eating.MouthX == x + kWalkStep;
        else
            counted += S().Eating.TongueLength == kTongueStep;
        Frame(); // the tongue snaps back, the walk ends
        Frame();
    }
    EXPECT_EQ(counted, 100);
}

} // namespace
} // namespace pondlark
