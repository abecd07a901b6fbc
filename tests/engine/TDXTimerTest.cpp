#include "engine/TDXTimer.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {
struct TimerFixture : ::testing::Test {
    HeadlessPlatform platform;
    TDXTimer timer{platform};
    std::vector<int32_t> lags;
    void SetUp() override {
        timer.SetInterval(30);
        timer.OnTimer = [this](int32_t lag) { lags.push_back(lag); };
        timer.Loaded();
    }
};
} // namespace

TEST_F(TimerFixture, LagCountsWholeIntervalsAndIsAtLeastOne) {
    platform.Advance(29);
    EXPECT_FALSE(timer.Idle());
    platform.Advance(2); // 31 ms
    EXPECT_TRUE(timer.Idle());
    platform.Advance(95);
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(lags, (std::vector<int32_t>{1, 3}));
}

TEST_F(TimerFixture, IntervalZeroTicksOnEveryIdleCall) {
    timer.SetInterval(0);
    EXPECT_TRUE(timer.Idle());
    EXPECT_TRUE(timer.Idle());
    ASSERT_EQ(lags.size(), 2u);
    EXPECT_EQ(lags[0], 1);
    EXPECT_EQ(lags[1], 1);
}

TEST_F(TimerFixture, ReenablingRestartsTimingFromNow) {
    platform.Advance(25);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    platform.Advance(25); // 50 ms since start, 25 since the restart
    EXPECT_FALSE(timer.Idle());
    platform.Advance(5);
    EXPECT_TRUE(timer.Idle());
}

TEST_F(TimerFixture, FrameRateChangesAtMostOncePerSecond) {
    for (int i = 0; i < 33; ++i) {
        platform.Advance(30);
        timer.Idle();
    }
    EXPECT_EQ(timer.FrameRate(), 0) << "990 ms: no window closed yet";
    platform.Advance(30);
    timer.Idle(); // 1020 ms, 34 ticks
    EXPECT_EQ(timer.FrameRate(), 33);
    platform.Advance(500);
    timer.Idle();
    EXPECT_EQ(timer.FrameRate(), 33) << "the new window is only 500 ms old";
}

TEST_F(TimerFixture, ActiveOnlyTimerPausesWhileTheApplicationIsInactive) {
    timer.ActiveOnly = true;
    timer.SetEnabled(true);
    timer.AppActivate(false);
    platform.Advance(100);
    EXPECT_FALSE(timer.Idle());
    timer.AppActivate(true);
    platform.Advance(30);
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(lags.back(), 1) << "timing restarted on activation";
}

TEST_F(TimerFixture, DisabledTimerIsNotDueAndWaitsForTheFallback) {
    timer.SetEnabled(false);
    platform.Advance(1000);
    EXPECT_FALSE(timer.Idle());
    EXPECT_EQ(timer.MillisecondsToNextTick(50), 50u);
}
