#include "engine/TWindowTimer.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pondlark;

TEST(TWindowTimer, LatePollsKeepThePhasePostponingMovesItAndAMissedIntervalRestarts) {
    HeadlessPlatform clock;
    TWindowTimer t{clock, 1000, true};
    std::vector<uint64_t> fired;
    t.OnTimer = [&] { fired.push_back(clock.Ticks()); };
    auto pollAt = [&](uint64_t ms) {
        clock.Advance(ms - clock.Ticks());
        t.Poll();
    };
    pollAt(999);
    pollAt(1040); // late: the next is still due at 2000
    EXPECT_EQ(t.MillisecondsToNext(50), 960u);
    pollAt(2000);
    t.Postpone(300); // a stall of the frames: due at 3300
    pollAt(3299);
    pollAt(3300);
    pollAt(5900); // a whole interval missed: one firing, the next a second from now
    pollAt(6899);
    pollAt(6900);
    EXPECT_EQ(fired, (std::vector<uint64_t>{1040, 2000, 3300, 5900, 6900}));
    t.SetEnabled(false);
    t.Postpone(100);
    t.SetEnabled(true);
    EXPECT_EQ(t.MillisecondsToNext(50), 1000u) << "a disabled timer starts afresh";
}

TEST(TWindowTimer, AFiringLateForARulesPauseStartsTheNextWaitWhenItFires) {
    HeadlessPlatform clock;
    TWindowTimer t{clock, 1000, true};
    std::vector<uint64_t> fired;
    t.OnTimer = [&] { fired.push_back(clock.Ticks()); };
    clock.Advance(900);
    t.StoodStill(); // nothing fell due: the phase stays
    clock.Advance(200);
    t.StoodStill(); // due at 1000, the game stood until 1100
    t.Poll();
    clock.Advance(999);
    t.Poll();
    clock.Advance(1);
    t.Poll();
    clock.Advance(1040); // late of itself: the phase stays
    t.Poll();
    clock.Advance(960);
    t.Poll();
    EXPECT_EQ(fired, (std::vector<uint64_t>{1100, 2100, 3140, 4100}));
}
