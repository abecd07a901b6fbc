#include "server/SqliteScoreStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>
#include <string>

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
        // A writer waits this long for another process's lock (a backup), then the request
        // fails with a 503 rather than holding its worker.
        sqlite3_busy_timeout(db_, kStoreTimeoutMs);
        Exec("PRAGMA journal_mode=WAL");
        // With the log, NORMAL loses at most the last moments' results on a power cut, never
        // the file; it spares a flush to disk on every result.
        Exec("PRAGMA synchronous=NORMAL");
        Migrate();
        addToken_ = Prepare("INSERT INTO tokens (token, issued) VALUES (?1, ?2)");
        pruneTokens_ = Prepare("DELETE FROM tokens WHERE issued <= ?1");
        findToken_ = Prepare("SELECT t.issued, r.name, r.country, r.score FROM tokens t"
                             " LEFT JOIN results r ON r.id = t.result_id WHERE t.token = ?1");
        spendToken_ = Prepare("UPDATE tokens SET result_id = ?2 WHERE token = ?1");
        insertResult_ = Prepare("INSERT INTO results (name, country, score, stored, address)"
                                " VALUES (?1, ?2, ?3, ?4, ?5)");
        best_ = Prepare("SELECT name, country, score, stored FROM results"
                        " ORDER BY score DESC, id LIMIT ?1");
        count_ = Prepare("SELECT count(*) FROM results");
        probe_ = Prepare("INSERT OR REPLACE INTO probe (id, at) VALUES (1, ?1)");
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            device_ = st.st_dev;
            inode_ = st.st_ino;
        }
    } catch (...) {
        Close();
        throw;
    }
}

SqliteScoreStore::~SqliteScoreStore() {
    Close();
}

void SqliteScoreStore::Close() {
    for (sqlite3_stmt* s :
         {addToken_, pruneTokens_, findToken_, spendToken_, insertResult_, best_, count_, probe_})
        sqlite3_finalize(s);
    addToken_ = pruneTokens_ = findToken_ = spendToken_ = insertResult_ = best_ = count_ = probe_ =
        nullptr;
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

TStoreOutcome SqliteScoreStore::StoreResult(const TNewResult& result, int64_t now) {
    std::lock_guard lock(mutex_);
    Exec("BEGIN IMMEDIATE");
    try {
        TStoreOutcome outcome = TStoreOutcome::Refused;
        bool spend = false;
        {
            TStatementUse use{findToken_};
            BindText(findToken_, 1, result.token);
            const int rc = sqlite3_step(findToken_);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot look up a token");
            if (rc == SQLITE_ROW &&
                sqlite3_column_int64(findToken_, 0) > now - kTokenLifetimeSeconds) {
                if (sqlite3_column_type(findToken_, 1) == SQLITE_NULL)
                    spend = true;
                else if (ColumnText(findToken_, 1) == result.Name &&
                         ColumnText(findToken_, 2) == result.Country &&
                         sqlite3_column_int(findToken_, 3) == result.Score)
                    outcome = TStoreOutcome::AlreadyStored;
            }
        }
        if (spend) {
            {
                TStatementUse use{insertResult_};
                BindText(insertResult_, 1, result.Name);
                BindText(insertResult_, 2, result.Country);
                sqlite3_bind_int(insertResult_, 3, result.Score);
                sqlite3_bind_int64(insertResult_, 4, now);
                BindText(insertResult_, 5, result.address);
                if (sqlite3_step(insertResult_) != SQLITE_DONE) Fail("cannot store a result");
            }
            TStatementUse use{spendToken_};
            BindText(spendToken_, 1, result.token);
            sqlite3_bind_int64(spendToken_, 2, sqlite3_last_insert_rowid(db_));
            if (sqlite3_step(spendToken_) != SQLITE_DONE) Fail("cannot spend a token");
            outcome = TStoreOutcome::Stored;
        }
        Exec(spend ? "COMMIT" : "ROLLBACK");
        return outcome;
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
        row.Name = ColumnText(best_, 0);
        row.Country = ColumnText(best_, 1);
        row.Score = sqlite3_column_int(best_, 2);
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

void SqliteScoreStore::CheckWritable() {
    std::lock_guard lock(mutex_);
    // A file deleted or replaced under the service would take every result into a file no
    // one will read again.
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || st.st_dev != device_ || st.st_ino != inode_)
        throw EStoreError(path_ + " is no longer the database file the service opened");
    // Files made read-only or immutable still take writes through the descriptors open now,
    // but not the next open (a restart, SQLite reopening its log): not ready either.
    for (const std::string& file : {path_, path_ + "-wal"})
        if (::access(file.c_str(), W_OK) != 0 && errno != ENOENT)
            throw EStoreError(file + " cannot be written: " + std::strerror(errno));
    // A write SQLite rolls back never reaches the file, so a full disk or a file that may
    // no longer be written would pass it; this one is committed (one row, overwritten).
    TStatementUse use{probe_};
    sqlite3_bind_int64(probe_, 1, static_cast<int64_t>(std::time(nullptr)));
    if (sqlite3_step(probe_) != SQLITE_DONE) Fail("cannot write");
}

int SqliteScoreStore::SchemaVersion() {
    Exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    sqlite3_stmt* s = Prepare("SELECT max(version), (SELECT count(*) FROM sqlite_master"
                              " WHERE type = 'table' AND name = 'results') FROM schema_version");
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> owned(s, &sqlite3_finalize);
    int version = 0;
    if (sqlite3_step(s) == SQLITE_ROW) {
        // Databases from before the versions were recorded have the first schema.
        version = sqlite3_column_type(s, 0) != SQLITE_NULL ? sqlite3_column_int(s, 0)
                  : sqlite3_column_int(s, 1) > 0           ? 1
                                                           : 0;
    }
    return version;
}

void SqliteScoreStore::Migrate() {
    // Each step once, in order; a step never changes once released, a new one is added.
    static const char* const kSteps[] = {
        // 1: tokens and results.
        "CREATE TABLE IF NOT EXISTS tokens (token TEXT PRIMARY KEY, issued INTEGER NOT NULL);"
        "CREATE INDEX IF NOT EXISTS tokens_issued ON tokens (issued);"
        "CREATE TABLE IF NOT EXISTS results ("
        " id INTEGER PRIMARY KEY, name TEXT NOT NULL, country TEXT NOT NULL,"
        " score INTEGER NOT NULL, stored INTEGER NOT NULL, address TEXT NOT NULL);"
        "CREATE INDEX IF NOT EXISTS results_best ON results (score DESC, id);",
        // 2: a spent token keeps its result until it expires, so a retry is recognised; the
        // readiness probe's row.
        "ALTER TABLE tokens ADD COLUMN result_id INTEGER;"
        "CREATE TABLE probe (id INTEGER PRIMARY KEY, at INTEGER NOT NULL);",
    };
    Exec("BEGIN IMMEDIATE");
    try {
        for (int version = SchemaVersion(); version < static_cast<int>(std::size(kSteps));
             ++version) {
            Exec(kSteps[version]);
            Exec(("INSERT INTO schema_version (version) VALUES (" + std::to_string(version + 1) +
                  ")")
                     .c_str());
        }
        Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace pondlark::scores
