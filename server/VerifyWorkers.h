// The workers that verify pending results off the request path: each takes the oldest pending
// result no one holds (IScoreStore::ClaimPending), runs the verifier on its replay and records
// the verdict. Threads of a service, or of a `pondlark-scores --verify-only` process on another
// machine against the same PostgreSQL: the claims keep any number of them apart.
//
// A claim is a lease of the verifier's wall-clock limit and a minute more: a worker that died
// holding one (its machine gone) leaves it to be taken again after that. Each verdict is one
// line on the log: the result, verified with its level and frames, or refused with the reason;
// the metrics (when given) count it, with the run's time, and the results pending.
//
// An idle worker looks for work stored by other processes after `idlePollMs`, then twice as
// long after each look that finds none, up to `kIdlePollMaxMs`; work found or a Wake (this
// process stored a result) brings it back to `idlePollMs`.
// Threads: Start once, then Wake and Stop from any thread; the destructor stops and joins.
#pragma once

#include "server/ScoreStore.h"
#include "server/ServiceMetrics.h"
#include "server/Verifier.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pondlark::scores {

class TVerifyWorkers {
public:
    using TClock = std::function<int64_t()>;              // Unix seconds
    using TLog = std::function<void(const std::string&)>; // one line, without its end

    // `store` must outlive the workers. `idlePollMs`: how often an idle worker looks for work
    // that other processes stored (this process's results wake it at once through Wake).
    // `metrics` (may be null) must outlive the workers.
    TVerifyWorkers(IScoreStore& store, TVerifierConfig config, int count, TLog log,
                   TClock clock = {}, int idlePollMs = 1000, TServiceMetrics* metrics = nullptr);
    ~TVerifyWorkers();
    TVerifyWorkers(const TVerifyWorkers&) = delete;
    TVerifyWorkers& operator=(const TVerifyWorkers&) = delete;

    void Start();
    // A pending result may be waiting: an idle worker looks now.
    void Wake();
    // Kills the verifiers running, gives their results back to the queue and joins the workers.
    void Stop();

    int64_t Verified() const { return verified_.load(); }
    int64_t Refused() const { return refused_.load(); }

    static constexpr int kIdlePollMaxMs = 30000;

private:
    void Work(const std::string& name);
    // Waits `ms` or until woken or stopped; true when woken.
    bool Idle(int ms);
    // The pending results into the metrics, at most once a second across the workers.
    void CountPending(bool now);

    IScoreStore& store_;
    TVerifierConfig config_;
    int count_;
    TLog log_;
    TClock clock_;
    int idlePollMs_;
    TServiceMetrics* metrics_;
    std::atomic<int64_t> pendingCountedAt_{0}; // steady milliseconds
    std::atomic<bool> stop_{false};
    std::atomic<int64_t> verified_{0};
    std::atomic<int64_t> refused_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t wakes_ = 0; // guarded by mutex_
    std::vector<std::thread> threads_;
};

} // namespace pondlark::scores
