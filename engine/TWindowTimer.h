// A message-driven window timer: fires its handler every `Interval` ms while enabled.
//
// Enabling a disabled timer or changing its interval starts the wait afresh; enabling an
// enabled one or setting the interval it already has does not. The game loop calls `Poll`.
#pragma once

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
        if (value && !enabled_) start_ = platform_.Ticks();
        enabled_ = value;
    }
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t value) {
        if (value == interval_) return;
        interval_ = value;
        start_ = platform_.Ticks();
    }

    // Fires the handler once when the wait is over (a late poll does not fire twice).
    void Poll() {
        if (!enabled_ || interval_ == 0) return;
        const uint64_t now = platform_.Ticks();
        if (now - start_ < interval_) return;
        start_ = now;
        if (OnTimer) OnTimer();
    }
    // Milliseconds until the next firing, or `fallback` while disabled.
    uint32_t MillisecondsToNext(uint32_t fallback) const {
        if (!enabled_ || interval_ == 0) return fallback;
        const uint64_t now = platform_.Ticks();
        const uint64_t due = start_ + interval_;
        return due <= now ? 0 : static_cast<uint32_t>(due - now);
    }

private:
    IPlatform& platform_;
    uint32_t interval_;
    bool enabled_;
    uint64_t start_;
};

} // namespace pondlark
