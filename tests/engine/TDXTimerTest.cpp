#include "engine/TDXTimer.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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
    // 126 ms: the lag as counted from the last tick, then the ticks due at 90 and 120 to catch up.
    EXPECT_EQ(lags, (std::vector<int32_t>{1, 3, 1, 1}));
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

TEST_F(TimerFixture, LateWakesKeepThePaceAndALongStallResumesWithoutABurst) {
    // A loop that sleeps as the timer asks and wakes `late(wake)` ms after that, for a minute of
    // clock; the stall patterns wake late only now and then.
    struct Pattern {
        const char* name;
        uint64_t (*late)(int wake);
        int steps;    // over the minute, ±1
        int maxBatch; // most ticks fired by one idle call
    } patterns[] = {
        {"on time", [](int) -> uint64_t { return 0; }, 2000, 1},
        {"1 ms late every wake", [](int) -> uint64_t { return 1; }, 2000, 1},
        {"1 ms late every third wake", [](int w) -> uint64_t { return w % 3 == 0 ? 1 : 0; }, 2000,
         1},
        {"29 ms late every wake", [](int) -> uint64_t { return 29; }, 2000, 1},
        // The late wake finds two ticks due and fires both.
        {"a 40 ms stall every 100th wake", [](int w) -> uint64_t { return w % 100 == 99 ? 40 : 0; },
         2000, 2},
        // Five seconds of ticks are given up, not raced through.
        {"a 5 s stall", [](int w) -> uint64_t { return w == 500 ? 5000 : 0; }, 2000 - 5000 / 30, 1},
    };
    for (const Pattern& p : patterns) {
        HeadlessPlatform clock;
        TDXTimer t{clock};
        t.SetInterval(30);
        int steps = 0, batch = 0, maxBatch = 0;
        uint64_t skipped = 0;
        t.OnTimer = [&](int32_t) {
            ++steps;
            ++batch;
        };
        t.OnStall = [&](uint64_t ms) { skipped += ms; };
        t.Loaded();
        for (int wake = 0;; ++wake) {
            const uint64_t at = clock.Ticks() + t.MillisecondsToNextTick(50) + p.late(wake);
            if (at > 60000) break;
            clock.Advance(at - clock.Ticks());
            batch = 0;
            t.Idle();
            maxBatch = std::max(maxBatch, batch);
        }
        EXPECT_NEAR(steps, p.steps, 1) << p.name;
        EXPECT_EQ(maxBatch, p.maxBatch) << p.name;
        EXPECT_EQ(skipped, p.steps < 2000 ? 5000u : 0u) << p.name << ": ticks given up";
    }
}

TEST_F(TimerFixture, OnlyTheLastTickOfACatchUpIsTheLastOfItsBatch) {
    std::vector<bool> last;
    timer.OnTimer = [&](int32_t lag) {
        lags.push_back(lag);
        last.push_back(timer.LastOfBatch());
    };
    platform.Advance(100); // ticks due at 30, 60 and 90
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(last, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(lags, (std::vector<int32_t>{3, 1, 1})) << "the lag as the rules count it";
    EXPECT_EQ(timer.MillisecondsToNextTick(50), 20u) << "the next is due at 120, not 130";
    EXPECT_TRUE(timer.LastOfBatch()) << "outside a batch";
}

TEST_F(TimerFixture, AHandlerThatRestartsTheTimerEndsTheBatch) {
    int ticks = 0;
    timer.OnTimer = [&](int32_t) {
        ++ticks;
        timer.SetEnabled(false);
        timer.SetEnabled(true);
    };
    platform.Advance(100);
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer.MillisecondsToNextTick(50), 30u) << "due an interval after the restart";
}

TEST_F(TimerFixture, ARulesPauseInsideATickIsNoStallAndTheNextTickRestartsThePhase) {
    uint64_t stalls = 0;
    timer.OnStall = [&](uint64_t ms) { stalls += ms; };
    timer.OnTimer = [&](int32_t lag) {
        lags.push_back(lag);
        if (lags.size() == 1) {
            platform.Sleep(500); // the frog's death
            timer.StoodStill();
        }
    };
    platform.Advance(30);
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(platform.Ticks(), 530u);
    platform.Advance(1); // the loop comes back a millisecond later
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(lags.size(), 2u) << "one tick, no catching up";
    EXPECT_EQ(timer.MillisecondsToNextTick(50), 30u) << "due 30 ms after the tick at 531";
    EXPECT_EQ(stalls, 0u);
}

// A start-up that began the timer late gets its first tick at the time asked for; an earlier
// due time stays, a stopped timer ignores it, and the ticks after keep the new phase.
TEST(TDXTimerDueNoLaterThan, BringsTheNextTickForwardOnly) {
    struct Case {
        const char* name;
        uint64_t loadedAt;
        uint64_t dueBy;
        bool stopped;
        std::vector<uint64_t> ticks; // the first three, in platform ticks
    } cases[] = {
        {"late start, earlier due", 20, 30, false, {30, 60, 90}},
        {"due later than the tick", 20, 80, false, {50, 80, 110}},
        {"due before the start: at once", 40, 30, false, {40, 70, 100}},
        {"stopped: nothing", 20, 30, true, {}},
    };
    for (const Case& c : cases) {
        HeadlessPlatform platform;
        TDXTimer timer{platform};
        std::vector<uint64_t> ticks;
        timer.SetInterval(30);
        timer.OnTimer = [&](int32_t) { ticks.push_back(platform.Ticks()); };
        platform.Advance(c.loadedAt);
        timer.Loaded();
        if (c.stopped) timer.SetEnabled(false);
        timer.DueNoLaterThan(c.dueBy);
        timer.StoodStill();
        while (platform.Ticks() < 200 && ticks.size() < 3) {
            timer.Idle();
            platform.Advance(1);
        }
        EXPECT_EQ(ticks, c.ticks) << c.name;
    }
}
