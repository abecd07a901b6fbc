// The results in one SQLite file (write-ahead log, so readers never wait for the writer).
//
// One connection serves every worker under a mutex: SQLite takes one writer at a time anyway,
// and a mutex hands over at once where SQLite's busy wait would sleep. Other processes (a
// backup with `sqlite3 scores.db ".backup copy.db"`) may open the file meanwhile.
#pragma once

#include "server/ScoreStore.h"

#include <cstdint>
#include <mutex>

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
    std::vector<TScoreRow> Best(int limit) override;
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
    void Exec(const char* sql);
    [[noreturn]] void Fail(const char* what);

    std::string path_;
    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* addToken_ = nullptr;
    sqlite3_stmt* pruneTokens_ = nullptr;
    sqlite3_stmt* findToken_ = nullptr;
    sqlite3_stmt* spendToken_ = nullptr;
    sqlite3_stmt* insertResult_ = nullptr;
    sqlite3_stmt* best_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* probe_ = nullptr;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
    int64_t lastPrune_ = 0;
};

} // namespace pondlark::scores
