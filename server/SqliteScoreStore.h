// The results in one SQLite file (write-ahead log, so readers never wait for the writer).
//
// One connection serves every worker under a mutex: SQLite takes one writer at a time anyway,
// and a mutex hands over at once where SQLite's busy wait would sleep. Other processes (a
// backup with `sqlite3 scores.db ".backup copy.db"`) may open the file meanwhile.
#pragma once

#include "server/ScoreStore.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace pondlark::scores {

class SqliteScoreStore final : public IScoreStore {
public:
    // Opens or creates the file and its tables; throws EStoreError.
    explicit SqliteScoreStore(const std::string& path);
    ~SqliteScoreStore() override;
    SqliteScoreStore(const SqliteScoreStore&) = delete;
    SqliteScoreStore& operator=(const SqliteScoreStore&) = delete;

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
    // The file has one service; its limits are that service's own.
    bool TakeToken(const std::string&, int, int64_t) override {
        throw EStoreError("shared limits need PostgreSQL");
    }
    std::string Describe() const override { return "sqlite:" + path_; }

private:
    void Close();
    void Migrate();
    int SchemaVersion();
    sqlite3_stmt* Prepare(const char* sql);
    // Prepared once for the store's life (finalized by Close).
    sqlite3_stmt* Keep(const char* sql);
    // The token's issue time and whether it was spent, when it is known; under mutex_.
    std::optional<std::pair<int64_t, bool>> FindToken(const std::string& token);
    int64_t CountOf(sqlite3_stmt* s, const char* what);
    void Exec(const char* sql);
    [[noreturn]] void Fail(const char* what);

    std::string path_;
    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> kept_;
    sqlite3_stmt* addToken_ = nullptr;
    sqlite3_stmt* pruneTokens_ = nullptr;
    sqlite3_stmt* pruneReplays_ = nullptr;
    sqlite3_stmt* findToken_ = nullptr;
    sqlite3_stmt* spendToken_ = nullptr;
    sqlite3_stmt* insertResult_ = nullptr;
    sqlite3_stmt* best_ = nullptr;
    sqlite3_stmt* bestVerified_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* probe_ = nullptr;
    sqlite3_stmt* storeReplay_ = nullptr;
    sqlite3_stmt* pending_ = nullptr;
    sqlite3_stmt* claim_ = nullptr;
    sqlite3_stmt* held_ = nullptr;
    sqlite3_stmt* digestVerified_ = nullptr;
    sqlite3_stmt* finish_ = nullptr;
    sqlite3_stmt* release_ = nullptr;
    sqlite3_stmt* state_ = nullptr;
    sqlite3_stmt* countPending_ = nullptr;
    sqlite3_stmt* verifiedReplay_ = nullptr;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
    int64_t lastPrune_ = 0;
};

} // namespace pondlark::scores
