// The results in a PostgreSQL database, through libpq. Several services may share one
// database: tokens are rows there, a result spends its token and is stored in one statement,
// and the tables are created under an advisory lock so that services starting together do not
// trip over each other.
//
// Connections are pooled: `connections` are opened at start (any that fail, later as needed). Every
// operation is bounded by kStoreTimeoutMs: connecting, waiting for a pooled connection, and each
// statement (timed here, not only by the server, which may itself be stalled); a connection
// that timed out or broke is closed and a fresh one opened when next needed. TCP keepalives
// notice a server that vanished.
#pragma once

#include "server/ScoreStore.h"

#include <condition_variable>
#include <mutex>
#include <vector>

struct pg_conn;

namespace pondlark::scores {

class PostgresScoreStore final : public IScoreStore {
public:
    // Connects once to check the database and create the tables; throws EStoreError.
    PostgresScoreStore(const std::string& conninfo, int connections);
    ~PostgresScoreStore() override;
    PostgresScoreStore(const PostgresScoreStore&) = delete;
    PostgresScoreStore& operator=(const PostgresScoreStore&) = delete;

    void AddToken(const std::string& token, int64_t now) override;
    TStoreOutcome StoreResult(const TNewResult& result, int64_t now) override;
    std::vector<TScoreRow> Best(int limit, bool verifiedOnly) override;
    TReplayOutcome StoreReplay(const std::string& token, const std::string& bytes,
                               const std::string& digest, int64_t now) override;
    std::optional<TPendingReplay> ClaimPending(const std::string& worker, int64_t now,
                                               int64_t leaseSeconds) override;
    TVerification FinishVerification(int64_t resultId, const std::string& worker,
                                     const TVerdict& verdict) override;
    void ReleaseClaim(int64_t resultId, const std::string& worker) override;
    std::optional<TVerification> VerificationOf(int64_t resultId) override;
    int64_t CountPending() override;
    std::optional<std::string> VerifiedReplay(int64_t replayId) override;
    int64_t CountResults() override;
    void CheckWritable() override;
    bool TakeToken(const std::string& key, int perMinute, int64_t nowMs) override;
    std::string Describe() const override { return description_; }

    class TLease; // a pooled connection in use

private:
    pg_conn* Connect();
    pg_conn* Acquire();
    void Release(pg_conn* conn, bool broken);

    std::string conninfo_;
    std::string description_;
    int maxConnections_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::vector<pg_conn*> idle_;
    int open_ = 0;
    int64_t lastPrune_ = 0; // guarded by mutex_
};

} // namespace pondlark::scores
