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
        addToken_ = Keep("INSERT INTO tokens (token, issued) VALUES (?1, ?2)");
        pruneTokens_ = Keep("DELETE FROM tokens WHERE issued <= ?1");
        // A replay whose token ran out without a result proves nothing.
        pruneReplays_ = Keep("DELETE FROM replays WHERE uploaded <= ?1 AND NOT EXISTS"
                             " (SELECT 1 FROM results r WHERE r.replay_id = replays.id)");
        findToken_ = Keep("SELECT t.issued, r.name, r.country, r.score, t.result_id IS NOT NULL"
                          " FROM tokens t LEFT JOIN results r ON r.id = t.result_id"
                          " WHERE t.token = ?1");
        spendToken_ = Keep("UPDATE tokens SET result_id = ?2 WHERE token = ?1");
        insertResult_ =
            Keep("INSERT INTO results (name, country, score, stored, address, replay_id, state)"
                 " SELECT ?1, ?2, ?3, ?4, ?5, p.id,"
                 " CASE WHEN p.id IS NULL THEN 'unverified' ELSE 'pending' END"
                 " FROM (SELECT 1) LEFT JOIN replays p ON p.token = ?6");
        best_ = Keep("SELECT name, country, score, stored, state, replay_id FROM results"
                     " ORDER BY score DESC, id LIMIT ?1");
        bestVerified_ = Keep("SELECT name, country, score, stored, state, replay_id FROM results"
                             " WHERE state = 'verified' ORDER BY score DESC, id LIMIT ?1");
        count_ = Keep("SELECT count(*) FROM results");
        probe_ = Keep("INSERT OR REPLACE INTO probe (id, at) VALUES (1, ?1)");
        storeReplay_ = Keep("INSERT INTO replays (token, bytes, digest, uploaded)"
                            " VALUES (?1, ?2, ?3, ?4) ON CONFLICT (token) DO UPDATE SET"
                            " bytes = excluded.bytes, digest = excluded.digest,"
                            " uploaded = excluded.uploaded");
        pending_ = Keep("SELECT r.id, r.name, r.country, r.score, p.token, p.bytes, p.digest,"
                        " EXISTS (SELECT 1 FROM results v WHERE v.verified_digest = p.digest)"
                        " FROM results r JOIN replays p ON p.id = r.replay_id"
                        " WHERE r.state = 'pending' AND (r.claimed_until IS NULL OR"
                        " r.claimed_until < ?1) ORDER BY r.id LIMIT 1");
        claim_ = Keep("UPDATE results SET claimed_by = ?2, claimed_until = ?3 WHERE id = ?1");
        held_ = Keep("SELECT p.digest FROM results r JOIN replays p ON p.id = r.replay_id"
                     " WHERE r.id = ?1 AND r.state = 'pending' AND r.claimed_by = ?2");
        digestVerified_ = Keep("SELECT count(*) FROM results WHERE verified_digest = ?1");
        finish_ = Keep("UPDATE results SET state = ?2, reason = ?3, level = ?4, frames = ?5,"
                       " verified_digest = ?6, claimed_by = NULL, claimed_until = NULL"
                       " WHERE id = ?1");
        release_ = Keep("UPDATE results SET claimed_by = NULL, claimed_until = NULL"
                        " WHERE id = ?1 AND claimed_by = ?2 AND state = 'pending'");
        state_ = Keep("SELECT state FROM results WHERE id = ?1");
        countPending_ = Keep("SELECT count(*) FROM results WHERE state = 'pending'");
        verifiedReplay_ = Keep("SELECT p.bytes FROM replays p JOIN results r ON r.replay_id = p.id"
                               " WHERE p.id = ?1 AND r.state = 'verified'");
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
    for (sqlite3_stmt* s : kept_)
        sqlite3_finalize(s);
    kept_.clear();
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

sqlite3_stmt* SqliteScoreStore::Keep(const char* sql) {
    sqlite3_stmt* s = Prepare(sql);
    kept_.push_back(s);
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
        TStatementUse replays{pruneReplays_};
        sqlite3_bind_int64(pruneReplays_, 1, now - kTokenLifetimeSeconds);
        if (sqlite3_step(pruneReplays_) != SQLITE_DONE) Fail("cannot drop old replays");
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
                BindText(insertResult_, 6, result.token);
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

std::vector<TScoreRow> SqliteScoreStore::Best(int limit, bool verifiedOnly) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* const best = verifiedOnly ? bestVerified_ : best_;
    TStatementUse use{best};
    sqlite3_bind_int(best, 1, limit);
    std::vector<TScoreRow> rows;
    int rc;
    while ((rc = sqlite3_step(best)) == SQLITE_ROW) {
        TScoreRow row;
        row.Name = ColumnText(best, 0);
        row.Country = ColumnText(best, 1);
        row.Score = sqlite3_column_int(best, 2);
        row.stored = sqlite3_column_int64(best, 3);
        row.verified = VerificationNamed(ColumnText(best, 4)) == TVerification::Verified;
        if (row.verified) row.replayId = sqlite3_column_int64(best, 5);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) Fail("cannot read the table");
    return rows;
}

std::optional<std::pair<int64_t, bool>> SqliteScoreStore::FindToken(const std::string& token) {
    TStatementUse use{findToken_};
    BindText(findToken_, 1, token);
    const int rc = sqlite3_step(findToken_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot look up a token");
    if (rc != SQLITE_ROW) return std::nullopt;
    return std::pair{sqlite3_column_int64(findToken_, 0), sqlite3_column_int(findToken_, 4) != 0};
}

TReplayOutcome SqliteScoreStore::StoreReplay(const std::string& token, const std::string& bytes,
                                             const std::string& digest, int64_t now) {
    std::lock_guard lock(mutex_);
    Exec("BEGIN IMMEDIATE");
    try {
        const auto found = FindToken(token);
        if (!found || found->first <= now - kTokenLifetimeSeconds || found->second) {
            Exec("ROLLBACK");
            return TReplayOutcome::Refused;
        }
        {
            TStatementUse use{storeReplay_};
            BindText(storeReplay_, 1, token);
            sqlite3_bind_blob(storeReplay_, 2, bytes.data(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
            BindText(storeReplay_, 3, digest);
            sqlite3_bind_int64(storeReplay_, 4, now);
            if (sqlite3_step(storeReplay_) != SQLITE_DONE) Fail("cannot store a replay");
        }
        Exec("COMMIT");
        return TReplayOutcome::Stored;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<TPendingReplay> SqliteScoreStore::ClaimPending(const std::string& worker, int64_t now,
                                                             int64_t leaseSeconds) {
    std::lock_guard lock(mutex_);
    // One writer at a time: the look and the claim are one transaction no other process
    // can come between.
    Exec("BEGIN IMMEDIATE");
    try {
        std::optional<TPendingReplay> taken;
        {
            TStatementUse use{pending_};
            sqlite3_bind_int64(pending_, 1, now);
            const int rc = sqlite3_step(pending_);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot look for pending replays");
            if (rc == SQLITE_ROW) {
                TPendingReplay p;
                p.resultId = sqlite3_column_int64(pending_, 0);
                p.claim.Name = ColumnText(pending_, 1);
                p.claim.Country = ColumnText(pending_, 2);
                p.claim.Score = sqlite3_column_int(pending_, 3);
                p.token = ColumnText(pending_, 4);
                const auto* blob = static_cast<const char*>(sqlite3_column_blob(pending_, 5));
                p.bytes.assign(blob ? blob : "",
                               static_cast<size_t>(sqlite3_column_bytes(pending_, 5)));
                p.digest = ColumnText(pending_, 6);
                p.digestVerifiedBefore = sqlite3_column_int(pending_, 7) != 0;
                taken = std::move(p);
            }
        }
        if (taken) {
            TStatementUse use{claim_};
            sqlite3_bind_int64(claim_, 1, taken->resultId);
            BindText(claim_, 2, worker);
            sqlite3_bind_int64(claim_, 3, now + leaseSeconds);
            if (sqlite3_step(claim_) != SQLITE_DONE) Fail("cannot claim a replay");
        }
        Exec("COMMIT");
        return taken;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

TVerification SqliteScoreStore::FinishVerification(int64_t resultId, const std::string& worker,
                                                   const TVerdict& verdict) {
    std::lock_guard lock(mutex_);
    Exec("BEGIN IMMEDIATE");
    try {
        std::optional<std::string> digest;
        {
            TStatementUse use{held_};
            sqlite3_bind_int64(held_, 1, resultId);
            BindText(held_, 2, worker);
            const int rc = sqlite3_step(held_);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot look up a claim");
            if (rc == SQLITE_ROW) digest = ColumnText(held_, 0);
        }
        if (!digest) {
            Exec("ROLLBACK");
            return TVerification::Pending;
        }
        TVerification state = verdict.verified ? TVerification::Verified : TVerification::Refused;
        std::string reason = verdict.reason;
        if (state == TVerification::Verified) {
            TStatementUse use{digestVerified_};
            BindText(digestVerified_, 1, *digest);
            if (sqlite3_step(digestVerified_) != SQLITE_ROW) Fail("cannot look up a replay");
            if (sqlite3_column_int64(digestVerified_, 0) > 0) {
                state = TVerification::Refused;
                reason = kReplayReused;
            }
        }
        {
            TStatementUse use{finish_};
            sqlite3_bind_int64(finish_, 1, resultId);
            BindText(finish_, 2, VerificationName(state));
            if (state == TVerification::Refused) BindText(finish_, 3, reason);
            if (state == TVerification::Verified) {
                sqlite3_bind_int(finish_, 4, verdict.level);
                sqlite3_bind_int64(finish_, 5, verdict.frames);
                BindText(finish_, 6, *digest);
            }
            if (sqlite3_step(finish_) != SQLITE_DONE) Fail("cannot record a verdict");
        }
        Exec("COMMIT");
        return state;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SqliteScoreStore::ReleaseClaim(int64_t resultId, const std::string& worker) {
    std::lock_guard lock(mutex_);
    TStatementUse use{release_};
    sqlite3_bind_int64(release_, 1, resultId);
    BindText(release_, 2, worker);
    if (sqlite3_step(release_) != SQLITE_DONE) Fail("cannot release a claim");
}

std::optional<TVerification> SqliteScoreStore::VerificationOf(int64_t resultId) {
    std::lock_guard lock(mutex_);
    TStatementUse use{state_};
    sqlite3_bind_int64(state_, 1, resultId);
    const int rc = sqlite3_step(state_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot read a result");
    if (rc != SQLITE_ROW) return std::nullopt;
    return VerificationNamed(ColumnText(state_, 0));
}

int64_t SqliteScoreStore::CountOf(sqlite3_stmt* s, const char* what) {
    std::lock_guard lock(mutex_);
    TStatementUse use{s};
    if (sqlite3_step(s) != SQLITE_ROW) Fail(what);
    return sqlite3_column_int64(s, 0);
}

int64_t SqliteScoreStore::CountPending() {
    return CountOf(countPending_, "cannot count the pending results");
}

std::optional<std::string> SqliteScoreStore::VerifiedReplay(int64_t replayId) {
    std::lock_guard lock(mutex_);
    TStatementUse use{verifiedReplay_};
    sqlite3_bind_int64(verifiedReplay_, 1, replayId);
    const int rc = sqlite3_step(verifiedReplay_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("cannot read a replay");
    if (rc != SQLITE_ROW) return std::nullopt;
    const auto* blob = static_cast<const char*>(sqlite3_column_blob(verifiedReplay_, 0));
    return std::string(blob ? blob : "",
                       static_cast<size_t>(sqlite3_column_bytes(verifiedReplay_, 0)));
}

int64_t SqliteScoreStore::CountResults() {
    return CountOf(count_, "cannot count the results");
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
        // 3: replays, bound to their tokens, and each result's verification. A replay proves
        // one result only (the unique digest of the verified ones).
        "CREATE TABLE replays (id INTEGER PRIMARY KEY, token TEXT NOT NULL UNIQUE,"
        " bytes BLOB NOT NULL, digest TEXT NOT NULL, uploaded INTEGER NOT NULL);"
        "CREATE INDEX replays_uploaded ON replays (uploaded);"
        "ALTER TABLE results ADD COLUMN replay_id INTEGER REFERENCES replays (id);"
        "ALTER TABLE results ADD COLUMN state TEXT NOT NULL DEFAULT 'unverified';"
        "ALTER TABLE results ADD COLUMN reason TEXT;"
        "ALTER TABLE results ADD COLUMN claimed_by TEXT;"
        "ALTER TABLE results ADD COLUMN claimed_until INTEGER;"
        "ALTER TABLE results ADD COLUMN verified_digest TEXT;"
        "ALTER TABLE results ADD COLUMN level INTEGER;"
        "ALTER TABLE results ADD COLUMN frames INTEGER;"
        "CREATE UNIQUE INDEX results_verified_digest ON results (verified_digest);"
        "CREATE INDEX results_replay ON results (replay_id);"
        "CREATE INDEX results_pending ON results (id) WHERE state = 'pending';"
        "CREATE INDEX results_verified_best ON results (score DESC, id)"
        " WHERE state = 'verified';",
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
