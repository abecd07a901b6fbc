// What /metrics shows, in Prometheus' text format: requests by route and status, refusals by
// reason, the store's latency as a histogram, the connections open (asked of the HTTP server
// when the page is made), and the verification of results by this service's workers: verdicts
// (refusals by the class of their reason), the time each run took and the results pending as
// a worker last counted them (the page itself never asks the database). Thread-safe: workers
// and the event loop count at once.
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
    // A verification run to its verdict: verified, or refused with the class of its reason
    // (scores/VerifyWorkers: "score", "replay", "reused", "cpu", "time", "memory",
    // "verifier"); `seconds` of wall-clock time, `cpuSeconds` the verifier's.
    void CountVerification(bool verified, const std::string& refusalClass, double seconds,
                           double cpuSeconds);
    // The results waiting for a verdict, as a worker counted them just now.
    void SetPending(int64_t count);
    // The whole page; `openConnections` as the server counts them now.
    std::string Text(int64_t openConnections) const;

private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, int64_t> requests_;
    std::map<std::string, int64_t> refusals_;
    struct THistogram {
        int64_t buckets[10] = {};
        int64_t count = 0;
        double sum = 0;
    };
    THistogram store_;
    int64_t verified_ = 0;
    std::map<std::string, int64_t> refusedByClass_;
    THistogram verify_;
    double verifyCpu_ = 0;
    int64_t pending_ = -1; // -1: no worker counted yet
};

} // namespace pondlark::scores
