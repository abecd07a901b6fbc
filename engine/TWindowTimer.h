// A message-driven window timer: fires its handler every `Interval` ms while enabled.
//
// Enabling a disabled timer or changing its interval starts the wait afresh; enabling an
// enabled one or setting the interval it already has does not. The game loop calls `Poll`.
// Firings keep their phase as the frame timer's ticks do (a poll a little late does not delay
// the next firing), so a timer and the frames agree on how long a second is; `Postpone` moves
// the wait on by the time the frames skipped in a stall.
#pragma once

#include "platform/ByteSpan.h"
#include "platform/Platform.h"

#include <functional>

namespace pondlark {

class TWindowTimer {
public:
    // The platform's clock outlives the timer.
    TWindowTimer(IPlatform& platform, uint32_t interval, bool enabled)
        : platform_(platform), interval_(interval), enabled_(enabled), start_(platform.Ticks()) {}

    std::function<void()> OnTimer;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) {
        if (value && !enabled_) Restart();
        enabled_ = value;
    }
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t value) {
        if (value == interval_) return;
        interval_ = value;
        Restart();
    }

    // Fires the handler once when the wait is over. A late poll does not fire twice: the next
    // wait starts where this one ended, or from now when a whole interval has been missed.
    void Poll() {
        if (!enabled_ || interval_ == 0) return;
        const uint64_t now = platform_.Ticks();
        const uint64_t due = start_ + interval_;
        if (now < due) return;
        start_ = now - due < interval_ && !restartWhenLate_ ? due : now;
        restartWhenLate_ = false;
        if (OnTimer) OnTimer();
    }
    // The game stood still on purpose (a rule's pause): a firing that fell due meanwhile is a
    // late one of the rules' own making, and the next wait starts when it fires.
    void StoodStill() {
        if (enabled_ && interval_ > 0 && platform_.Ticks() >= start_ + interval_)
            restartWhenLate_ = true;
    }
    // The wait under way ends `ms` later (nothing while disabled).
    void Postpone(uint64_t ms) {
        if (enabled_) start_ += ms;
    }
    // Milliseconds until the next firing, or `fallback` while disabled.
    uint32_t MillisecondsToNext(uint32_t fallback) const {
        if (!enabled_ || interval_ == 0) return fallback;
        const uint64_t now = platform_.Ticks();
        const uint64_t due = start_ + interval_;
        return due <= now ? 0 : static_cast<uint32_t>(due - now);
    }

    // The wait under way, counted from the clock's `now`, for a replay to start where a game
    // started; the reader's failure handler throws on a bad record.
    void SaveState(TByteWriter& out, uint64_t now) const {
        out.U8(static_cast<uint8_t>((enabled_ ? 1 : 0) | (restartWhenLate_ ? 2 : 0)));
        out.U32(interval_);
        out.U64(now - start_);
    }
    void RestoreState(TByteReader& in, uint64_t now) {
        const uint8_t flags = in.U8();
        if (flags > 3) in.Fail();
        enabled_ = flags & 1, restartWhenLate_ = flags & 2;
        interval_ = in.U32();
        start_ = now - in.U64();
    }

private:
    void Restart() {
        start_ = platform_.Ticks();
        restartWhenLate_ = false;
    }

    IPlatform& platform_;
    uint32_t interval_;
    bool enabled_;
    uint64_t start_;
    bool restartWhenLate_ = false;
};

} // namespace pondlark
