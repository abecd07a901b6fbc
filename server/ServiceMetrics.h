// What /metrics shows, in Prometheus' text format: requests by route and status, refusals by
// reason, the store's latency as a histogram, and the connections open (asked of the HTTP
// server when the page is made). Thread-safe: workers and the event loop count at once.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace pondlark::scores {

class TServiceMetrics {
public:
    void CountRequest(const std::string& route, int status);
    void CountRefusal(const std::string& reason);
    void ObserveStore(double seconds);
    // The whole page; `openConnections` as the server counts them now.
    std::string Text(int64_t openConnections) const;

private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, int64_t> requests_;
    std::map<std::string, int64_t> refusals_;
    int64_t storeBuckets_[10] = {};
    int64_t storeCount_ = 0;
    double storeSum_ = 0;
};

} // namespace pondlark::scores
