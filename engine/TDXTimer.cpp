#include "engine/TDXTimer.h"

#include <algorithm>
#include <cmath>

namespace pondlark {

void TDXTimer::SetEnabled(bool value) {
    enabled_ = value;
    if (!loaded_) return;
    if (value)
        Start();
    else
        Stop();
}

void TDXTimer::SetInterval(int64_t value) {
    interval_ = static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

void TDXTimer::Loaded() {
    loaded_ = true;
    if (enabled_) Start();
}

void TDXTimer::Start() {
    Stop();
    if (!ActiveOnly || appActive_) HookIdle();
    running_ = true;
}

void TDXTimer::HookIdle() {
    idleHooked_ = true;
    lastTick_ = windowStart_ = platform_.Ticks();
}

void TDXTimer::Stop() {
    if (!running_) return;
    idleHooked_ = false;
    running_ = false;
}

bool TDXTimer::Idle() {
    if (!idleHooked_) return false;
    const uint64_t now = platform_.Ticks();
    if (now - lastTick_ < interval_) return false;
    const auto lag = static_cast<int32_t>((now - lastTick_) / std::max<uint32_t>(interval_, 1));
    lastTick_ = now;
    ++tickCount_;
    const uint64_t elapsed = std::max<uint64_t>(now - windowStart_, 1);
    if (elapsed >= 1000) {
        frameRate_ =
            static_cast<int32_t>(std::lround(tickCount_ * 1000.0 / static_cast<double>(elapsed)));
        tickCount_ = 0;
        windowStart_ = now;
    }
    if (OnTimer) OnTimer(std::max(lag, 1));
    return true;
}

uint32_t TDXTimer::MillisecondsToNextTick(uint32_t fallbackMs) const {
    if (!idleHooked_) return fallbackMs;
    const uint64_t now = platform_.Ticks();
    const uint64_t due = lastTick_ + interval_;
    return due <= now ? 0 : static_cast<uint32_t>(due - now);
}

void TDXTimer::AppActivate(bool active) {
    appActive_ = active;
    if (active) {
        if (OnActivate) OnActivate();
        if (running_ && ActiveOnly) HookIdle();
    } else {
        if (OnDeactivate) OnDeactivate();
        if (running_ && ActiveOnly) idleHooked_ = false;
    }
}

} // namespace pondlark
