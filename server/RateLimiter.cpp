#include "server/RateLimiter.h"

#include <algorithm>

namespace pondlark::scores {

TRateLimiter::TRateLimiter(int perMinute, size_t maxAddresses)
    : perMinute_(perMinute < 0 ? 0 : perMinute), maxAddresses_(maxAddresses) {}

double TRateLimiter::Refilled(const TBucket& bucket, int64_t nowMs) const {
    const double elapsed = static_cast<double>(std::max<int64_t>(0, nowMs - bucket.updatedMs));
    return std::min<double>(perMinute_, bucket.tokens + elapsed * perMinute_ / 60'000.0);
}

bool TRateLimiter::Allow(const std::string& address, int64_t nowMs) {
    if (perMinute_ == 0) return true;
    std::lock_guard lock(mutex_);
    auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        if (buckets_.size() >= maxAddresses_) {
            std::erase_if(buckets_, [&](const auto& entry) {
                return Refilled(entry.second, nowMs) >= perMinute_;
            });
            if (buckets_.size() >= maxAddresses_) buckets_.clear();
        }
        it = buckets_.emplace(address, TBucket{static_cast<double>(perMinute_), nowMs}).first;
    }
    TBucket& bucket = it->second;
    bucket.tokens = Refilled(bucket, nowMs);
    bucket.updatedMs = nowMs;
    if (bucket.tokens < 1.0) return false;
    bucket.tokens -= 1.0;
    return true;
}

} // namespace pondlark::scores
