// The frame timer: calls `OnTimer` once per `Interval` milliseconds of the clock, from the game
// loop's idle moments, with the number of intervals that passed since the last call (at least 1).
//
// Ticks keep their phase: the next one is due an `Interval` after the previous one was due, not
// after it ran, so a loop that sleeps and wakes late (or a browser that calls only on its display
// frames) still gets one tick per `Interval` on average. Where an idle call finds several ticks
// due it fires them all at once, up to `kMaxCatchUp`; `LastOfBatch` tells the handler which one
// ends the batch (the one whose picture is worth showing). Further behind than that (a suspended
// machine, a hidden browser tab, a debugger) the timer fires once and starts again from now
// rather than racing through the backlog; `OnStall` hears first how many milliseconds of ticks
// were given up, so clocks that should follow the game's time can wait as long.
//
// The loop asks `MillisecondsToNextTick` how long it may sleep, so the game waits for the next
// frame instead of spinning a core. `FrameRate` counts ticks over windows of at least a second.
#pragma once

#include "platform/ByteSpan.h"
#include "platform/Platform.h"

#include <functional>

namespace pondlark {

class TDXTimer {
public:
    // The clock comes from the platform, which outlives the timer.
    explicit TDXTimer(IPlatform& platform) : platform_(platform) {}

    bool ActiveOnly = true;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void(int32_t lagCount)> OnTimer;
    std::function<void(uint64_t skippedMs)> OnStall;

    // The most ticks one idle call fires to catch up; further behind is a stall.
    static constexpr int32_t kMaxCatchUp = 5;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return interval_; }
    void SetInterval(int64_t value);
    int32_t FrameRate() const { return frameRate_; }

    // Loading of the owner is over: a timer that is `Enabled` starts now.
    void Loaded();

    // The idle handler: fires `OnTimer` for every tick that is due (see above). Returns whether
    // it fired. An exception from `OnTimer` propagates; the tick it came from counts as run.
    bool Idle();
    // A stall found now is given up at once (`OnStall`), and `Idle` fires one tick for it. The
    // loop calls this before it polls the clocks that follow the game's time, so they hear of
    // the stall before they fire; `Idle` calls it too.
    void GiveUpStall();
    // The game stood still on purpose (a rule's pause inside a tick): the ticks that fell due
    // meanwhile are neither run nor a stall to report; the next one is due at once, and the
    // ticks after it keep their phase from when it runs.
    void StoodStill();
    // A running timer's next tick is due no later than `at` (platform ticks), with the ticks
    // after it in phase from there.
    void DueNoLaterThan(uint64_t at);
    // During `OnTimer`: no further tick of this idle call follows.
    bool LastOfBatch() const { return lastOfBatch_; }
    // How long the loop may wait before the next tick is due (0 when it is due now). Stopped or
    // idle-less timers report `fallbackMs`.
    uint32_t MillisecondsToNextTick(uint32_t fallbackMs) const;

    // The application gained or lost activation.
    void AppActivate(bool active);

    // The timer's phase and switches, counted from the clock's `now`, for a replay to start
    // where a game started; the reader's failure handler throws on a bad record.
    void SaveState(TByteWriter& out, uint64_t now) const;
    void RestoreState(TByteReader& in, uint64_t now);

private:
    void Start();
    void Stop();
    // Ticks start from now: the first is due an interval from here, and the lag and the
    // frame-rate window are measured from here.
    void HookIdle();
    void Tick(uint64_t now, int32_t lag);

    IPlatform& platform_;
    bool loaded_ = false;
    bool enabled_ = true;
    uint32_t interval_ = 1000;
    bool running_ = false;
    bool idleHooked_ = false;
    bool appActive_ = true;
    uint64_t lastTick_ = 0; // when the last tick ran
    uint64_t due_ = 0;      // when the next tick is due
    bool lastOfBatch_ = true;
    bool restartAtTick_ = false; // the next tick starts the phase afresh
    uint32_t hooks_ = 0;         // times the timer started from now
    uint64_t windowStart_ = 0;
    int32_t tickCount_ = 0;
    int32_t frameRate_ = 0;
};

} // namespace pondlark
