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

// A key pressed and released between two updates: the snapshot never sees it, the press does.
TEST_F(Input, ATapBetweenTwoUpdatesIsDownForOneUpdate) {
    input.Update();
    platform.KeyDown(vk::Space);
    input.NotePress(vk::Space);
    platform.KeyUp(vk::Space);
    input.Update();
    EXPECT_TRUE(input.Has(isAction));
    EXPECT_TRUE(input.Has(isActionAlt));
    input.Update();
    EXPECT_FALSE(input.Has(isAction)) << "released at the next update";
}

TEST_F(Input, TapsOnEveryUpdateAreEachAPress) {
    for (int i = 0; i < 3; ++i) {
        platform.KeyDown(vk::Left);
        input.NotePress(vk::Left);
        platform.KeyUp(vk::Left);
        input.Update();
        ASSERT_TRUE(input.Has(isLeft)) << i;
        input.Clear(isLeft); // consumed, as a holder does
    }
    platform.KeyDown(vk::Left);
    input.NotePress(vk::Left);
    platform.KeyUp(vk::Left);
    input.Update();
    EXPECT_TRUE(input.Has(isLeft)) << "a new tap after a consumed one is a new press";
}

TEST_F(Input, AHeldKeyReleasedAfterARepeatIsAnOrdinaryRelease) {
    platform.KeyDown('W');
    input.NotePress('W');
    input.Update();
    ASSERT_TRUE(input.Has(isUp));
    input.NotePress('W'); // the key's repeat
    platform.KeyUp('W');
    input.Update();
    EXPECT_FALSE(input.Has(isUp)) << "held over the last update: released now, no extra step";
}

TEST_F(Input, ATapCountsOnlyForItsOwnStatesAndNotBehindAnotherWindow) {
    platform.KeyDown('A');
    input.NotePress('A');
    platform.KeyUp('A');
    input.Update();
    EXPECT_TRUE(input.Has(isAimLeft));
    EXPECT_FALSE(input.Has(isLeft));
    platform.Focus(false);
    platform.KeyDown('A');
    input.NotePress('A');
    platform.KeyUp('A');
    input.Update();
    EXPECT_FALSE(input.Has(isAimLeft));
}

// The controllers are looked at between the updates too: a button held only between two of them
// counts at the next, once.
TEST_F(Input, AControllerTapBetweenTwoUpdatesCountsOnce) {
    input.Update();
    ControllerState a;
    a.south = true;
    input.NoteController(a); // seen held at a look, released before the update
    input.Update();
    EXPECT_TRUE(input.Has(isAction));
    input.Update();
    EXPECT_FALSE(input.Has(isAction));
    // Held over an update and released: an ordinary release, no extra update.
    platform.SetController(a);
    input.NoteController(a);
    input.Update();
    ASSERT_TRUE(input.Has(isAction));
    input.NoteController(a);
    platform.SetController({});
    input.Update();
    EXPECT_FALSE(input.Has(isAction));
}
