#include "server/SqliteScoreStore.h"

#include <sqlite3.h>

namespace pondlark::scores {

namespace {

// Resets a statement and its bindings when it goes out of scope, whatever happened.
struct TStatementUse {
    sqlite3_stmt* s;
    ~TStatementUse() {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
};

void BindText(sqlite3_stmt* s, int index, const std::string& text) {
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string ColumnText(sqlite3_stmt* s, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(s, column)))
                : std::string();
}

} // namespace

SqliteScoreStore::SqliteScoreStore(const std::string& path) : path_(path) {
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw EStoreError("cannot open " + path + ": " + message);
    }
    try {
        sqlite3_busy_timeout(db_, 5000);
        Exec("PRAGMA journal_mode=WAL");
        // With the log, NORMAL loses at most the last moments' results on a power cut, never
        // the file; it spares a flush to disk on every result.
        Exec("PRAGMA synchronous=NORMAL");
        Exec("CREATE TABLE IF NOT EXISTS tokens ("
             " token TEXT PRIMARY KEY, issued INTEGER NOT NULL)");
        Exec("CREATE INDEX IF NOT EXISTS tokens_issued ON tokens (issued)");
        Exec("CREATE TABLE IF NOT EXISTS results ("
             " id INTEGER PRIMARY KEY, name TEXT NOT NULL, country TEXT NOT NULL,"
             " score INTEGER NOT NULL, stored INTEGER NOT NULL, address TEXT NOT NULL)");
        Exec("CREATE INDEX IF NOT EXISTS results_best ON results (score DESC, id)");
        addToken_ = Prepare("INSERT INTO tokens (token, issued) VALUES (?1, ?2)");
        pruneTokens_ = Prepare("DELETE FROM tokens WHERE issued <= ?1");
        spendToken_ = Prepare("DELETE FROM tokens WHERE token = ?1 AND issued > ?2");
        insertResult_ = Prepare("INSERT INTO results (name, country, score, stored, address)"
                                " VALUES (?1, ?2, ?3, ?4, ?5)");
        best_ = Prepare("SELECT name, country, score, stored FROM results"
                        " ORDER BY score DESC, id LIMIT ?1");
        count_ = Prepare("SELECT count(*) FROM results");
    } catch (...) {
        Close();
        throw;
    }
}

SqliteScoreStore::~SqliteScoreStore() {
    Close();
}

void SqliteScoreStore::Close() {
    for (sqlite3_stmt* s : {addToken_, pruneTokens_, spendToken_, insertResult_, best_, count_})
        sqlite3_finalize(s);
    addToken_ = pruneTokens_ = spendToken_ = insertResult_ = best_ = count_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
}

void SqliteScoreStore::Fail(const char* what) {
    throw EStoreError(std::string(what) + ": " + sqlite3_errmsg(db_));
}

sqlite3_stmt* SqliteScoreStore::Prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) Fail("cannot prepare");
    return s;
}

void SqliteScoreStore::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw EStoreError(std::string("cannot set up ") + path_ + ": " + message);
    }
}

void SqliteScoreStore::AddToken(const std::string& token, int64_t now) {
    std::lock_guard lock(mutex_);
    if (now - lastPrune_ >= 60) {
        TStatementUse use{pruneTokens_};
        sqlite3_bind_int64(pruneTokens_, 1, now - kTokenLifetimeSeconds);
        if (sqlite3_step(pruneTokens_) != SQLITE_DONE) Fail("cannot drop old tokens");
        lastPrune_ = now;
    }
    TStatementUse use{addToken_};
    BindText(addToken_, 1, token);
    sqlite3_bind_int64(addToken_, 2, now);
    if (sqlite3_step(addToken_) != SQLITE_DONE) Fail("cannot store a token");
}

bool SqliteScoreStore::StoreResult(const TNewResult& result, int64_t now) {
    std::lock_guard lock(mutex_);
    Exec("BEGIN IMMEDIATE");
    try {
        {
            TStatementUse use{spendToken_};
            BindText(spendToken_, 1, result.token);
            sqlite3_bind_int64(spendToken_, 2, now - kTokenLifetimeSeconds);
            if (sqlite3_step(spendToken_) != SQLITE_DONE) Fail("cannot spend a token");
        }
        if (sqlite3_changes(db_) != 1) {
            Exec("ROLLBACK");
            return false;
        }
        {
            TStatementUse use{insertResult_};
            BindText(insertResult_, 1, result.name);
            BindText(insertResult_, 2, result.country);
            sqlite3_bind_int(insertResult_, 3, result.score);
            sqlite3_bind_int64(insertResult_, 4, now);
            BindText(insertResult_, 5, result.address);
            if (sqlite3_step(insertResult_) != SQLITE_DONE) Fail("cannot store a result");
        }
        Exec("COMMIT");
        return true;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::vector<TScoreRow> SqliteScoreStore::Best(int limit) {
    std::lock_guard lock(mutex_);
    TStatementUse use{best_};
    sqlite3_bind_int(best_, 1, limit);
    std::vector<TScoreRow> rows;
    int rc;
    while ((rc = sqlite3_step(best_)) == SQLITE_ROW) {
        TScoreRow row;
        row.name = ColumnText(best_, 0);
        row.country = ColumnText(best_, 1);
        row.score = sqlite3_column_int(best_, 2);
        row.stored = sqlite3_column_int64(best_, 3);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) Fail("cannot read the table");
    return rows;
}

int64_t SqliteScoreStore::CountResults() {
    std::lock_guard lock(mutex_);
    TStatementUse use{count_};
    if (sqlite3_step(count_) != SQLITE_ROW) Fail("cannot count the results");
    return sqlite3_column_int64(count_, 0);
}

} // namespace pondlark::scores
