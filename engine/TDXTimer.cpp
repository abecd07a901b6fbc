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
    // A shorter interval makes the next tick due sooner.
    if (idleHooked_) due_ = std::min(due_, lastTick_ + interval_);
}

void TDXTimer::StoodStill() {
    if (!idleHooked_ || platform_.Ticks() < due_) return;
    due_ = platform_.Ticks();
    restartAtTick_ = true;
}

void TDXTimer::DueNoLaterThan(uint64_t at) {
    if (idleHooked_) due_ = std::min(due_, at);
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
    ++hooks_;
    restartAtTick_ = false;
    lastTick_ = windowStart_ = platform_.Ticks();
    due_ = lastTick_ + interval_;
}

void TDXTimer::Stop() {
    if (!running_) return;
    idleHooked_ = false;
    running_ = false;
}

void TDXTimer::GiveUpStall() {
    if (!idleHooked_) return;
    const uint64_t now = platform_.Ticks();
    const uint64_t behind = now > due_ ? now - due_ : 0;
    if (behind < static_cast<uint64_t>(kMaxCatchUp) * std::max<uint32_t>(interval_, 1)) return;
    // Too far behind to catch up unnoticed: one tick now, the next an interval from now.
    due_ = now;
    if (OnStall) OnStall(behind);
}

bool TDXTimer::Idle() {
    if (!idleHooked_) return false;
    const uint64_t now = platform_.Ticks();
    if (now < due_) return false;
    const uint64_t step = std::max<uint32_t>(interval_, 1);
    const auto lag = static_cast<int32_t>(std::min<uint64_t>((now - lastTick_) / step, INT32_MAX));
    if (interval_ == 0 || restartAtTick_) due_ = now;
    restartAtTick_ = false;
    GiveUpStall();
    const uint64_t due = (now - due_) / step + 1;
    // A handler that stops or restarts the timer ends the batch: its ticks are no longer due.
    const uint32_t hooks = hooks_;
    try {
        for (uint64_t i = 0; i < due && idleHooked_ && hooks == hooks_; ++i) {
            due_ += interval_;
            lastOfBatch_ = i + 1 == due;
            Tick(now, i == 0 ? std::max(lag, 1) : 1);
        }
    } catch (...) {
        lastOfBatch_ = true;
        throw;
    }
    lastOfBatch_ = true;
    return true;
}

void TDXTimer::Tick(uint64_t now, int32_t lag) {
    lastTick_ = now;
    ++tickCount_;
    const uint64_t elapsed = std::max<uint64_t>(now - windowStart_, 1);
    if (elapsed >= 1000) {
        frameRate_ =
            static_cast<int32_t>(std::lround(tickCount_ * 1000.0 / static_cast<double>(elapsed)));
        tickCount_ = 0;
        windowStart_ = now;
    }
    if (OnTimer) OnTimer(lag);
}

uint32_t TDXTimer::MillisecondsToNextTick(uint32_t fallbackMs) const {
    if (!idleHooked_) return fallbackMs;
    const uint64_t now = platform_.Ticks();
    return due_ <= now ? 0 : static_cast<uint32_t>(std::min<uint64_t>(due_ - now, UINT32_MAX));
}

void TDXTimer::SaveState(TByteWriter& out, uint64_t now) const {
    out.U8(static_cast<uint8_t>((loaded_ ? 1 : 0) | (enabled_ ? 2 : 0) | (running_ ? 4 : 0) |
                                (idleHooked_ ? 8 : 0) | (appActive_ ? 16 : 0) |
                                (restartAtTick_ ? 32 : 0) | (lastOfBatch_ ? 64 : 0)));
    out.U32(interval_);
    out.U64(now - lastTick_);
    out.U64(due_ - now);
    out.U64(now - windowStart_);
    out.I32(tickCount_);
}

void TDXTimer::RestoreState(TByteReader& in, uint64_t now) {
    const uint8_t flags = in.U8();
    if (flags & 0x80) in.Fail();
    loaded_ = flags & 1, enabled_ = flags & 2, running_ = flags & 4, idleHooked_ = flags & 8;
    appActive_ = flags & 16, restartAtTick_ = flags & 32, lastOfBatch_ = flags & 64;
    interval_ = in.U32();
    lastTick_ = now - in.U64();
    due_ = now + in.U64();
    windowStart_ = now - in.U64();
    tickCount_ = in.I32();
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
