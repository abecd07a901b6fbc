#include "engine/TDXInput.h"
#include "game/Controls.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {
struct Input : ::testing::Test {
    HeadlessPlatform platform;
    TDXInput input{platform};
    void SetUp() override { AssignPlayControls(input); }
};
} // namespace

TEST_F(Input, AConsumedPressStaysClearedUntilTheKeyIsPressedAgain) {
    platform.KeyDown('W');
    input.Update();
    EXPECT_TRUE(input.Has(isUp));
    input.Update();
    EXPECT_TRUE(input.Has(isUp)) << "held: the bit stays";
    input.Clear(isUp);
    input.Update();
    EXPECT_FALSE(input.Has(isUp)) << "consumed while held";
    platform.KeyUp('W');
    input.Update();
    platform.KeyDown('W');
    input.Update();
    EXPECT_TRUE(input.Has(isUp));
}

TEST_F(Input, TwoKeysOfOneStateCountOnce) {
    platform.KeyDown('W');
    platform.KeyDown(vk::Up);
    input.Update();
    input.Clear(isUp);
    platform.KeyUp('W'); // the arrow still holds it: no edge
    input.Update();
    EXPECT_FALSE(input.Has(isUp));
    platform.KeyUp(vk::Up);
    input.Update();
    EXPECT_FALSE(input.Has(isUp));
}

TEST_F(Input, SpaceFeedsBothActionButtonsAndTheLeftSlotIsTheSecond) {
    platform.KeyDown(vk::Space);
    platform.KeyDown(vk::Left);
    input.Update();
    EXPECT_TRUE(input.Has(isAction));
    EXPECT_TRUE(input.Has(isActionAlt));
    EXPECT_TRUE(input.Has(isLeft));
    EXPECT_FALSE(input.Has(isPauseKey));
}

TEST_F(Input, AnotherWindowInFrontReleasesEverything) {
    platform.KeyDown('D');
    input.Update();
    ASSERT_TRUE(input.Has(isAimRight));
    platform.Focus(false);
    input.Update();
    EXPECT_FALSE(input.Has(isAimRight));
}

TEST_F(Input, AControllerFeedsTheSameStates) {
    ControllerState c;
    c.left = c.south = c.start = true;
    platform.SetController(c);
    input.Update();
    EXPECT_TRUE(input.Has(isLeft));
    EXPECT_TRUE(input.Has(isAction));
    EXPECT_TRUE(input.Has(isActionAlt));
    EXPECT_TRUE(input.Has(isPauseKey));
    EXPECT_FALSE(input.Has(isRight));
    platform.SetController({});
    input.Update();
    EXPECT_FALSE(input.Has(isLeft));
}
