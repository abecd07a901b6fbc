// The frame timer: calls `OnTimer` at most once per `Interval` milliseconds, from the game
// loop's idle moments, with the number of intervals that passed (at least 1).
//
// The loop asks `MillisecondsToNextTick` how long it may sleep, so the game waits for the next
// frame instead of spinning a core. `FrameRate` counts ticks over windows of at least a second.
#pragma once

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

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return interval_; }
    void SetInterval(int64_t value);
    int32_t FrameRate() const { return frameRate_; }

    // Loading of the owner is over: a timer that is `Enabled` starts now.
    void Loaded();

    // The idle handler: fires `OnTimer` when the interval has passed. Returns whether it fired.
    bool Idle();
    // How long the loop may wait before the next tick is due (0 when it is due now). Stopped or
    // idle-less timers report `fallbackMs`.
    uint32_t MillisecondsToNextTick(uint32_t fallbackMs) const;

    // The application gained or lost activation.
    void AppActivate(bool active);

private:
    void Start();
    void Stop();
    // Ticks start from now: the lag and the frame-rate window are measured from here.
    void HookIdle();

    IPlatform& platform_;
    bool loaded_ = false;
    bool enabled_ = true;
    uint32_t interval_ = 1000;
    bool running_ = false;
    bool idleHooked_ = false;
    bool appActive_ = true;
    uint64_t lastTick_ = 0;
    uint64_t windowStart_ = 0;
    int32_t tickCount_ = 0;
    int32_t frameRate_ = 0;
};

} // namespace pondlark
