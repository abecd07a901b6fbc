#include "server/VerifyWorkers.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace pondlark::scores {

namespace {

int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Unique among every worker on the database: the machine, the process and the thread's number.
std::string WorkerName(int index) {
    char host[256] = "";
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    return std::string(host) + ":" + std::to_string(::getpid()) + ":" + std::to_string(index);
}

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TVerifyWorkers::TVerifyWorkers(IScoreStore& store, TVerifierConfig config, int count, TLog log,
                               TClock clock, int idlePollMs, TServiceMetrics* metrics)
    : store_(store), config_(std::move(config)), count_(count), log_(std::move(log)),
      clock_(clock ? std::move(clock) : TClock(SystemSeconds)), idlePollMs_(idlePollMs),
      metrics_(metrics) {}

TVerifyWorkers::~TVerifyWorkers() {
    Stop();
}

void TVerifyWorkers::Start() {
    for (int i = 0; i < count_; ++i)
        threads_.emplace_back([this, name = WorkerName(i)] { Work(name); });
}

void TVerifyWorkers::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    wake_.notify_one();
}

void TVerifyWorkers::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
    threads_.clear();
}

bool TVerifyWorkers::Idle(int ms) {
    std::unique_lock lock(mutex_);
    const uint64_t seen = wakes_;
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stop_ || wakes_ != seen; });
    return wakes_ != seen;
}

void TVerifyWorkers::CountPending(bool now) {
    if (!metrics_) return;
    const int64_t at = SteadyMs();
    int64_t last = pendingCountedAt_.load();
    if (!now && at - last < 1000) return;
    if (!pendingCountedAt_.compare_exchange_strong(last, at)) return; // another worker does
    try {
        metrics_->SetPending(store_.CountPending());
    } catch (const EStoreError&) {
        // The next count tells; the verdicts' own errors are logged.
    }
}

void TVerifyWorkers::Work(const std::string& name) {
    const int64_t lease = config_.WallSeconds + 60;
    int idleMs = idlePollMs_;
    const auto idle = [&] {
        const bool woken = Idle(idleMs);
        idleMs = woken ? idlePollMs_ : std::min(idleMs * 2, std::max(idlePollMs_, kIdlePollMaxMs));
    };
    while (!stop_) {
        std::optional<TPendingReplay> pending;
        try {
            pending = store_.ClaimPending(name, clock_(), lease);
        } catch (const EStoreError& e) {
            log_(std::string("verifier ") + name + ": " + e.what());
            idle();
            continue;
        }
        if (!pending) {
            CountPending(true);
            idle();
            continue;
        }
        idleMs = idlePollMs_;
        const auto started = std::chrono::steady_clock::now();
        TVerifierRun run;
        if (pending->digestVerifiedBefore)
            run.verdict.reason = kReplayReused; // not worth a run
        else
            run = RunVerifier(config_, *pending, &stop_);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::string what = "result " + std::to_string(pending->resultId);
        try {
            if (run.stopped) {
                store_.ReleaseClaim(pending->resultId, name);
                break;
            }
            const TVerification state =
                store_.FinishVerification(pending->resultId, name, run.verdict);
            char cpu[32];
            std::snprintf(cpu, sizeof cpu, "%.3f", run.cpuSeconds);
            if (metrics_ && state != TVerification::Pending)
                metrics_->CountVerification(state == TVerification::Verified,
                                            run.verdict.verified ? "reused"
                                                                 : RefusalClass(run.verdict.reason),
                                            seconds, run.cpuSeconds);
            CountPending(false);
            if (state == TVerification::Verified) {
                ++verified_;
                log_(what + " verified: score " + std::to_string(pending->claim.Score) + " level " +
                     std::to_string(run.verdict.level) + " frames " +
                     std::to_string(run.verdict.frames) + " (cpu " + cpu + " s)");
            } else if (state == TVerification::Refused) {
                ++refused_;
                log_(what + " refused: " +
                     (run.verdict.verified ? std::string(kReplayReused) : run.verdict.reason) +
                     " (cpu " + cpu + " s)");
            } else {
                log_(what + ": its claim ran out before the verdict; another worker has it");
            }
        } catch (const EStoreError& e) {
            // The claim runs out and another worker takes the result again.
            log_(what + ": the verdict could not be stored: " + e.what());
        }
    }
}

} // namespace pondlark::scores
