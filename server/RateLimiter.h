// A per-address limit on how often something may happen: a bucket of `perMinute` tokens per
// address that refills evenly over a minute, so a player may send a few results in a row but
// no address can send more than `perMinute` a minute for long.
//
// Memory is bounded: past `maxAddresses` the addresses whose buckets have refilled are
// forgotten, and if that is not enough, all of them (a flood of addresses then gets a fresh
// start rather than the service running out of memory). Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace pondlark::scores {

class TRateLimiter {
public:
    // perMinute 0 lets everything through.
    explicit TRateLimiter(int perMinute, size_t maxAddresses = 100'000);

    // True, and one token taken, when `address` may go on at `nowMs` (a steady clock in ms).
    bool Allow(const std::string& address, int64_t nowMs);

private:
    struct TBucket {
        double tokens;
        int64_t updatedMs;
    };
    double Refilled(const TBucket& bucket, int64_t nowMs) const;

    int perMinute_;
    size_t maxAddresses_;
    std::mutex mutex_;
    std::unordered_map<std::string, TBucket> buckets_;
};

} // namespace pondlark::scores
