#include "server/PostgresScoreStore.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace pondlark::scores {

namespace {

using TResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;
using Clock = std::chrono::steady_clock;

// Waits for the connection's socket until `deadline`; false when the time is up.
bool WaitFor(PGconn* conn, short events, Clock::time_point deadline) {
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{PQsocket(conn), events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return true; // let libpq find the fault
    }
}

// Sends what was queued and collects the last result, all within kStoreTimeoutMs. On a time-out
// the connection is marked broken (its owner closes it: what it was doing is unknown).
TResultPtr Collect(PGconn* conn, bool& broken) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kStoreTimeoutMs);
    const auto timedOut = [&] {
        broken = true;
        return EStoreError("the database did not answer within " + std::to_string(kStoreTimeoutMs) +
                           " ms");
    };
    int flushed;
    while ((flushed = PQflush(conn)) == 1)
        if (!WaitFor(conn, POLLOUT | POLLIN, deadline)) throw timedOut();
    if (flushed < 0) {
        broken = true;
        throw EStoreError(std::string("database: ") + PQerrorMessage(conn));
    }
    TResultPtr last(nullptr, &PQclear);
    while (true) {
        while (PQisBusy(conn)) {
            if (!WaitFor(conn, POLLIN, deadline)) throw timedOut();
            if (!PQconsumeInput(conn)) {
                broken = true;
                throw EStoreError(std::string("database: ") + PQerrorMessage(conn));
            }
        }
        PGresult* r = PQgetResult(conn);
        if (!r) break;
        // The first failure is the one to report; later results are its consequences.
        if (!last || PQresultStatus(last.get()) != PGRES_FATAL_ERROR)
            last.reset(r);
        else
            PQclear(r);
    }
    if (PQstatus(conn) != CONNECTION_OK) broken = true;
    return last;
}

// "postgresql database NAME on HOST" from a connection string, leaving out any password.
std::string DescribeConninfo(const std::string& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        std::string message = error ? error : "cannot read the connection string";
        PQfreemem(error);
        throw EStoreError("postgresql: " + message);
    }
    std::string db, host;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val) continue;
        if (std::string(o->keyword) == "dbname") db = o->val;
        if (std::string(o->keyword) == "host") host = o->val;
    }
    PQconninfoFree(options);
    return "postgresql database " + (db.empty() ? std::string("(default)") : db) + " on " +
           (host.empty() ? std::string("the local socket") : host);
}

// Bytes as bytea's text form ("\\x" and two hexadecimal digits a byte), and back.
std::string ByteaText(const std::string& bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "\\x";
    text.reserve(2 + bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
    return text;
}

std::string FromBytea(const char* text) {
    size_t length = 0;
    unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
    if (!bytes) throw EStoreError("database: a replay that cannot be read");
    std::string out(reinterpret_cast<const char*>(bytes), length);
    PQfreemem(bytes);
    return out;
}

} // namespace

// A connection taken from the pool for one operation, given back when done, or closed when it
// broke or timed out.
class PostgresScoreStore::TLease {
public:
    explicit TLease(PostgresScoreStore& store) : store_(store), conn_(store.Acquire()) {}
    ~TLease() { store_.Release(conn_, broken_); }
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;

    // Runs a prepared statement with text parameters; throws EStoreError unless the status is
    // `expected`.
    TResultPtr Run(const char* name, std::initializer_list<std::string> params,
                   ExecStatusType expected) {
        std::vector<const char*> values;
        for (const std::string& p : params)
            values.push_back(p.c_str());
        return RunValues(name, values.data(), static_cast<int>(values.size()), expected);
    }
    // The same with parameters that may be NULL (a null pointer).
    TResultPtr RunValues(const char* name, const char* const* values, int count,
                         ExecStatusType expected) {
        if (!PQsendQueryPrepared(conn_, name, count, values, nullptr, nullptr, 0)) return Failed();
        TResultPtr result = Collect(conn_, broken_);
        if (!result || PQresultStatus(result.get()) != expected)
            throw EStoreError(std::string("database: ") + PQerrorMessage(conn_));
        return result;
    }
    // Runs plain SQL (several statements may be separated by ";").
    void Exec(const std::string& sql) {
        if (!PQsendQuery(conn_, sql.c_str())) Failed();
        const TResultPtr result = Collect(conn_, broken_);
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw EStoreError(std::string("database: ") + PQerrorMessage(conn_));
    }

private:
    [[noreturn]] TResultPtr Failed() {
        broken_ = true;
        throw EStoreError(std::string("database: ") + PQerrorMessage(conn_));
    }

    PostgresScoreStore& store_;
    PGconn* conn_;
    bool broken_ = false;
};

namespace {

void Prepare(PGconn* conn, const char* name, const char* sql) {
    bool broken = false;
    if (!PQsendPrepare(conn, name, sql, 0, nullptr))
        throw EStoreError(std::string("cannot prepare: ") + PQerrorMessage(conn));
    const TResultPtr result = Collect(conn, broken);
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw EStoreError(std::string("cannot prepare: ") + PQerrorMessage(conn));
}

void PrepareAll(PGconn* conn) {
    Prepare(conn, "add_token", "INSERT INTO tokens (token, issued) VALUES ($1, $2)");
    Prepare(conn, "prune_tokens", "DELETE FROM tokens WHERE issued <= $1");
    // A replay whose token ran out without a result proves nothing.
    Prepare(conn, "prune_replays",
            "DELETE FROM replays WHERE uploaded <= $1 AND NOT EXISTS"
            " (SELECT 1 FROM results r WHERE r.replay_id = replays.id)");
    // Spending and storing in one statement: a token spent twice at once stores one result
    // (the second update waits for the first and then finds the token spent).
    Prepare(conn, "store_result",
            "WITH spent AS (UPDATE tokens SET result_id = nextval(pg_get_serial_sequence("
            "'results', 'id')) WHERE token = $1 AND issued > $2 AND result_id IS NULL"
            " RETURNING result_id)"
            " INSERT INTO results (id, name, country, score, stored, address, replay_id, state)"
            " SELECT result_id, $3, $4, $5::integer, $6::bigint, $7, p.id,"
            " CASE WHEN p.id IS NULL THEN 'unverified' ELSE 'pending' END"
            " FROM spent LEFT JOIN replays p ON p.token = $1");
    Prepare(conn, "spent_on",
            "SELECT r.name, r.country, r.score FROM tokens t JOIN results r ON r.id = t.result_id"
            " WHERE t.token = $1 AND t.issued > $2");
    Prepare(conn, "best",
            "SELECT name, country, score, stored, state, replay_id FROM results"
            " ORDER BY score DESC, id LIMIT $1");
    Prepare(conn, "best_verified",
            "SELECT name, country, score, stored, state, replay_id FROM results"
            " WHERE state = 'verified' ORDER BY score DESC, id LIMIT $1");
    Prepare(conn, "store_replay",
            "INSERT INTO replays (token, bytes, digest, uploaded)"
            " SELECT $1, $2::bytea, $3, $4::bigint FROM tokens"
            " WHERE token = $1 AND issued > $5::bigint AND result_id IS NULL"
            " ON CONFLICT (token) DO UPDATE SET bytes = excluded.bytes,"
            " digest = excluded.digest, uploaded = excluded.uploaded");
    // The oldest pending result no one holds: a worker that finds it locked by another's claim
    // passes on to the next (SKIP LOCKED), so workers never wait for each other or take the
    // same result; the claim is a lease, so one whose worker died is taken again.
    Prepare(conn, "claim_pending",
            "UPDATE results r SET claimed_by = $1, claimed_until = $2::bigint + $3::bigint"
            " FROM (SELECT id FROM results WHERE state = 'pending' AND (claimed_until IS NULL"
            " OR claimed_until < $2::bigint) ORDER BY id LIMIT 1 FOR UPDATE SKIP LOCKED) c,"
            " replays p WHERE r.id = c.id AND p.id = r.replay_id"
            " RETURNING r.id, r.name, r.country, r.score, p.token, p.bytes, p.digest,"
            " EXISTS (SELECT 1 FROM results v WHERE v.verified_digest = p.digest)");
    Prepare(conn, "held",
            "SELECT p.digest FROM results r JOIN replays p ON p.id = r.replay_id"
            " WHERE r.id = $1 AND r.state = 'pending' AND r.claimed_by = $2 FOR UPDATE OF r");
    Prepare(conn, "digest_verified", "SELECT count(*) FROM results WHERE verified_digest = $1");
    Prepare(conn, "finish",
            "UPDATE results SET state = $2, reason = $3, level = $4::integer,"
            " frames = $5::bigint, verified_digest = $6, claimed_by = NULL, claimed_until = NULL"
            " WHERE id = $1");
    Prepare(conn, "release",
            "UPDATE results SET claimed_by = NULL, claimed_until = NULL"
            " WHERE id = $1 AND claimed_by = $2 AND state = 'pending'");
    Prepare(conn, "state_of", "SELECT state FROM results WHERE id = $1");
    Prepare(conn, "count_pending", "SELECT count(*) FROM results WHERE state = 'pending'");
    Prepare(conn, "verified_replay",
            "SELECT p.bytes FROM replays p JOIN results r ON r.replay_id = p.id"
            " WHERE p.id = $1 AND r.state = 'verified'");
    Prepare(conn, "count_results", "SELECT count(*) FROM results");
    // One token from the key's bucket of $2 a minute, refilled since its last use: a row
    // back when there was one, none (and the bucket as it was) when it is empty.
    Prepare(conn, "take_token",
            "INSERT INTO rate_buckets AS b (key, tokens, updated) VALUES ($1, $2::float8 - 1,"
            " $3::bigint) ON CONFLICT (key) DO UPDATE SET tokens = LEAST($2::float8, b.tokens +"
            " ($3::bigint - b.updated) * $2::float8 / 60000.0) - 1, updated = $3::bigint"
            " WHERE LEAST($2::float8, b.tokens + ($3::bigint - b.updated) * $2::float8 / 60000.0)"
            " >= 1 RETURNING tokens");
    Prepare(conn, "prune_buckets", "DELETE FROM rate_buckets WHERE updated <= $1");
}

// Each step once, in order; a step never changes once released, a new one is added.
const char* const kSteps[] = {
    // 1: tokens and results.
    "CREATE TABLE IF NOT EXISTS tokens (token TEXT PRIMARY KEY, issued BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS tokens_issued ON tokens (issued);"
    "CREATE TABLE IF NOT EXISTS results ("
    " id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL, country TEXT NOT NULL,"
    " score INTEGER NOT NULL, stored BIGINT NOT NULL, address TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS results_best ON results (score DESC, id);",
    // 2: a spent token keeps its result until it expires, so a retry is recognised.
    "ALTER TABLE tokens ADD COLUMN IF NOT EXISTS result_id BIGINT;",
    // 3: rate-limit buckets that all services share. Unlogged: nothing to flush per request,
    // and after a crash every address starts with a full bucket.
    ("CREATE UNLOGGED TABLE IF NOT EXISTS rate_buckets (key TEXT PRIMARY KEY,"
     " tokens DOUBLE PRECISION NOT NULL, updated BIGINT NOT NULL);"),
    // 4: replays, bound to their tokens, and each result's verification. A replay proves one
    // result only (the unique digest of the verified ones).
    "CREATE TABLE IF NOT EXISTS replays (id BIGSERIAL PRIMARY KEY, token TEXT NOT NULL UNIQUE,"
    " bytes BYTEA NOT NULL, digest TEXT NOT NULL, uploaded BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS replays_uploaded ON replays (uploaded);"
    "ALTER TABLE results ADD COLUMN IF NOT EXISTS replay_id BIGINT REFERENCES replays (id),"
    " ADD COLUMN IF NOT EXISTS state TEXT NOT NULL DEFAULT 'unverified',"
    " ADD COLUMN IF NOT EXISTS reason TEXT, ADD COLUMN IF NOT EXISTS claimed_by TEXT,"
    " ADD COLUMN IF NOT EXISTS claimed_until BIGINT,"
    " ADD COLUMN IF NOT EXISTS verified_digest TEXT, ADD COLUMN IF NOT EXISTS level INTEGER,"
    " ADD COLUMN IF NOT EXISTS frames BIGINT;"
    "CREATE UNIQUE INDEX IF NOT EXISTS results_verified_digest ON results (verified_digest);"
    "CREATE INDEX IF NOT EXISTS results_replay ON results (replay_id);"
    "CREATE INDEX IF NOT EXISTS results_pending ON results (id) WHERE state = 'pending';"
    "CREATE INDEX IF NOT EXISTS results_verified_best ON results (score DESC, id)"
    " WHERE state = 'verified';",
};

} // namespace

PostgresScoreStore::PostgresScoreStore(const std::string& conninfo, int connections)
    : conninfo_(conninfo), description_(DescribeConninfo(conninfo)),
      maxConnections_(connections < 1 ? 1 : connections) {
    PGconn* conn = Connect();
    bool broken = false;
    const auto exec = [&](const std::string& sql) {
        if (!PQsendQuery(conn, sql.c_str()))
            throw EStoreError(std::string("database set-up: ") + PQerrorMessage(conn));
        const TResultPtr result = Collect(conn, broken);
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw EStoreError(std::string("database set-up: ") + PQerrorMessage(conn));
        return std::string(status == PGRES_TUPLES_OK && PQntuples(result.get()) > 0 &&
                                   !PQgetisnull(result.get(), 0, 0)
                               ? PQgetvalue(result.get(), 0, 0)
                               : "");
    };
    try {
        // Services starting together would race on the steps; one at a time.
        exec("BEGIN");
        exec("SELECT pg_advisory_xact_lock(7160581)");
        exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
        // Databases from before the versions were recorded have the first schema.
        const std::string recorded = exec("SELECT max(version) FROM schema_version");
        int version = !recorded.empty()                                      ? std::stoi(recorded)
                      : !exec("SELECT to_regclass('results')::text").empty() ? 1
                                                                             : 0;
        for (; version < static_cast<int>(std::size(kSteps)); ++version) {
            exec(kSteps[version]);
            exec("INSERT INTO schema_version (version) VALUES (" + std::to_string(version + 1) +
                 ")");
        }
        exec("COMMIT");
        PrepareAll(conn);
    } catch (...) {
        PQfinish(conn);
        throw;
    }
    open_ = 1;
    idle_.push_back(conn);
    // The rest now, while no player waits: a burst would otherwise pay for a new server
    // process per connection. Those that fail are opened when needed.
    while (open_ < maxConnections_) {
        try {
            PGconn* more = Connect();
            try {
                PrepareAll(more);
            } catch (...) {
                PQfinish(more);
                throw;
            }
            idle_.push_back(more);
            ++open_;
        } catch (const EStoreError&) {
            break;
        }
    }
}

PostgresScoreStore::~PostgresScoreStore() {
    for (PGconn* conn : idle_)
        PQfinish(conn);
}

PGconn* PostgresScoreStore::Connect() {
    // Time-outs the server keeps (statements, locks, a transaction left open) and TCP
    // keepalives, so that a vanished server is noticed; the connection itself is timed here,
    // since a stopped server accepts a connection and never answers it.
    const std::string options = "-c statement_timeout=" + std::to_string(kStoreTimeoutMs) +
                                " -c lock_timeout=" + std::to_string(kStoreTimeoutMs) +
                                " -c idle_in_transaction_session_timeout=10000";
    const char* keywords[] = {
        "dbname",  "keepalives", "keepalives_idle", "keepalives_interval", "keepalives_count",
        "options", nullptr};
    const char* values[] = {conninfo_.c_str(), "1", "10", "5", "3", options.c_str(), nullptr};
    PGconn* conn = PQconnectStartParams(keywords, values, 1);
    if (!conn) throw EStoreError("cannot connect to the " + description_ + ": out of memory");
    const auto deadline = Clock::now() + std::chrono::milliseconds(kStoreTimeoutMs);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (PQstatus(conn) != CONNECTION_BAD && state != PGRES_POLLING_OK &&
           state != PGRES_POLLING_FAILED) {
        if (!WaitFor(conn, state == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline)) {
            PQfinish(conn);
            throw EStoreError("cannot connect to the " + description_ + ": no answer within " +
                              std::to_string(kStoreTimeoutMs) + " ms");
        }
        state = PQconnectPoll(conn);
    }
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        throw EStoreError("cannot connect to the " + description_ + ": " + message);
    }
    // Notices ("already exists, skipping") are the set-up's expected news, not the log's.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    if (PQsetnonblocking(conn, 1) != 0) {
        PQfinish(conn);
        throw EStoreError("cannot use the connection to the " + description_);
    }
    return conn;
}

PGconn* PostgresScoreStore::Acquire() {
    std::unique_lock lock(mutex_);
    if (!available_.wait_for(lock, std::chrono::milliseconds(kStoreTimeoutMs),
                             [&] { return !idle_.empty() || open_ < maxConnections_; }))
        throw EStoreError("every connection to the " + description_ + " is busy");
    if (!idle_.empty()) {
        PGconn* conn = idle_.back();
        idle_.pop_back();
        return conn;
    }
    ++open_;
    lock.unlock();
    try {
        PGconn* conn = Connect();
        try {
            PrepareAll(conn);
        } catch (...) {
            PQfinish(conn);
            throw;
        }
        return conn;
    } catch (...) {
        std::lock_guard relock(mutex_);
        --open_;
        available_.notify_one();
        throw;
    }
}

void PostgresScoreStore::Release(PGconn* conn, bool broken) {
    {
        std::lock_guard lock(mutex_);
        // One left inside a transaction (an operation failed half way) is not reused either.
        if (broken || PQstatus(conn) != CONNECTION_OK ||
            PQtransactionStatus(conn) != PQTRANS_IDLE) {
            // Closed; the next one that needs a connection opens a fresh one.
            PQfinish(conn);
            --open_;
        } else {
            idle_.push_back(conn);
        }
    }
    available_.notify_one();
}

void PostgresScoreStore::AddToken(const std::string& token, int64_t now) {
    bool prune = false;
    {
        std::lock_guard lock(mutex_);
        if (now - lastPrune_ >= 60) {
            lastPrune_ = now;
            prune = true;
        }
    }
    TLease conn(*this);
    if (prune) {
        conn.Run("prune_tokens", {std::to_string(now - kTokenLifetimeSeconds)}, PGRES_COMMAND_OK);
        conn.Run("prune_replays", {std::to_string(now - kTokenLifetimeSeconds)}, PGRES_COMMAND_OK);
        // A bucket untouched for a minute is full again: the row says nothing any more.
        conn.Run("prune_buckets", {std::to_string((now - 60) * 1000)}, PGRES_COMMAND_OK);
    }
    // A token is not worth a flush to disk of its own: should the database crash within the
    // moment after, the player's result is refused and nothing acknowledged is lost. Results
    // stay durable. This halves the flushes per player.
    conn.Exec("BEGIN; SET LOCAL synchronous_commit TO OFF");
    conn.Run("add_token", {token, std::to_string(now)}, PGRES_COMMAND_OK);
    conn.Exec("COMMIT");
}

TStoreOutcome PostgresScoreStore::StoreResult(const TNewResult& result, int64_t now) {
    TLease conn(*this);
    const std::string oldest = std::to_string(now - kTokenLifetimeSeconds);
    const TResultPtr r =
        conn.Run("store_result",
                 {result.token, oldest, result.Name, result.Country, std::to_string(result.Score),
                  std::to_string(now), result.address},
                 PGRES_COMMAND_OK);
    if (std::string(PQcmdTuples(r.get())) == "1") return TStoreOutcome::Stored;
    const TResultPtr spent = conn.Run("spent_on", {result.token, oldest}, PGRES_TUPLES_OK);
    if (PQntuples(spent.get()) == 1 && result.Name == PQgetvalue(spent.get(), 0, 0) &&
        result.Country == PQgetvalue(spent.get(), 0, 1) &&
        std::to_string(result.Score) == PQgetvalue(spent.get(), 0, 2))
        return TStoreOutcome::AlreadyStored;
    return TStoreOutcome::Refused;
}

std::vector<TScoreRow> PostgresScoreStore::Best(int limit, bool verifiedOnly) {
    TLease conn(*this);
    const TResultPtr r =
        conn.Run(verifiedOnly ? "best_verified" : "best", {std::to_string(limit)}, PGRES_TUPLES_OK);
    std::vector<TScoreRow> rows;
    const int n = PQntuples(r.get());
    for (int i = 0; i < n; ++i) {
        TScoreRow row;
        row.Name = PQgetvalue(r.get(), i, 0);
        row.Country = PQgetvalue(r.get(), i, 1);
        row.Score = static_cast<int32_t>(std::stol(PQgetvalue(r.get(), i, 2)));
        row.stored = std::stoll(PQgetvalue(r.get(), i, 3));
        row.verified = VerificationNamed(PQgetvalue(r.get(), i, 4)) == TVerification::Verified;
        if (row.verified && !PQgetisnull(r.get(), i, 5))
            row.replayId = std::stoll(PQgetvalue(r.get(), i, 5));
        rows.push_back(std::move(row));
    }
    return rows;
}

TReplayOutcome PostgresScoreStore::StoreReplay(const std::string& token, const std::string& bytes,
                                               const std::string& digest, int64_t now) {
    TLease conn(*this);
    const TResultPtr r = conn.Run("store_replay",
                                  {token, ByteaText(bytes), digest, std::to_string(now),
                                   std::to_string(now - kTokenLifetimeSeconds)},
                                  PGRES_COMMAND_OK);
    return std::string(PQcmdTuples(r.get())) == "1" ? TReplayOutcome::Stored
                                                    : TReplayOutcome::Refused;
}

std::optional<TPendingReplay> PostgresScoreStore::ClaimPending(const std::string& worker,
                                                               int64_t now, int64_t leaseSeconds) {
    TLease conn(*this);
    const TResultPtr r =
        conn.Run("claim_pending", {worker, std::to_string(now), std::to_string(leaseSeconds)},
                 PGRES_TUPLES_OK);
    if (PQntuples(r.get()) != 1) return std::nullopt;
    TPendingReplay p;
    p.resultId = std::stoll(PQgetvalue(r.get(), 0, 0));
    p.claim.Name = PQgetvalue(r.get(), 0, 1);
    p.claim.Country = PQgetvalue(r.get(), 0, 2);
    p.claim.Score = static_cast<int32_t>(std::stol(PQgetvalue(r.get(), 0, 3)));
    p.token = PQgetvalue(r.get(), 0, 4);
    p.bytes = FromBytea(PQgetvalue(r.get(), 0, 5));
    p.digest = PQgetvalue(r.get(), 0, 6);
    p.digestVerifiedBefore = std::string(PQgetvalue(r.get(), 0, 7)) == "t";
    return p;
}

TVerification PostgresScoreStore::FinishVerification(int64_t resultId, const std::string& worker,
                                                     const TVerdict& verdict) {
    TLease conn(*this);
    const std::string id = std::to_string(resultId);
    conn.Exec("BEGIN");
    // Verified verdicts one at a time across every worker of the database, so that two results
    // proven by the same bytes cannot both pass the digest check.
    if (verdict.verified) conn.Exec("SELECT pg_advisory_xact_lock(7160582)");
    const TResultPtr held = conn.Run("held", {id, worker}, PGRES_TUPLES_OK);
    if (PQntuples(held.get()) != 1) {
        conn.Exec("ROLLBACK");
        return TVerification::Pending;
    }
    const std::string digest = PQgetvalue(held.get(), 0, 0);
    TVerification state = verdict.verified ? TVerification::Verified : TVerification::Refused;
    std::string reason = verdict.reason;
    if (state == TVerification::Verified) {
        const TResultPtr seen = conn.Run("digest_verified", {digest}, PGRES_TUPLES_OK);
        if (std::string(PQgetvalue(seen.get(), 0, 0)) != "0") {
            state = TVerification::Refused;
            reason = kReplayReused;
        }
    }
    const bool verified = state == TVerification::Verified;
    const char* values[] = {id.c_str(),
                            VerificationName(state),
                            verified ? nullptr : reason.c_str(),
                            nullptr,
                            nullptr,
                            verified ? digest.c_str() : nullptr};
    const std::string level = std::to_string(verdict.level);
    const std::string frames = std::to_string(verdict.frames);
    if (verified) {
        values[3] = level.c_str();
        values[4] = frames.c_str();
    }
    conn.RunValues("finish", values, 6, PGRES_COMMAND_OK);
    conn.Exec("COMMIT");
    return state;
}

void PostgresScoreStore::ReleaseClaim(int64_t resultId, const std::string& worker) {
    TLease conn(*this);
    conn.Run("release", {std::to_string(resultId), worker}, PGRES_COMMAND_OK);
}

std::optional<TVerification> PostgresScoreStore::VerificationOf(int64_t resultId) {
    TLease conn(*this);
    const TResultPtr r = conn.Run("state_of", {std::to_string(resultId)}, PGRES_TUPLES_OK);
    if (PQntuples(r.get()) != 1) return std::nullopt;
    return VerificationNamed(PQgetvalue(r.get(), 0, 0));
}

int64_t PostgresScoreStore::CountPending() {
    TLease conn(*this);
    const TResultPtr r = conn.Run("count_pending", {}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
}

std::optional<std::string> PostgresScoreStore::VerifiedReplay(int64_t replayId) {
    TLease conn(*this);
    const TResultPtr r = conn.Run("verified_replay", {std::to_string(replayId)}, PGRES_TUPLES_OK);
    if (PQntuples(r.get()) != 1) return std::nullopt;
    return FromBytea(PQgetvalue(r.get(), 0, 0));
}

int64_t PostgresScoreStore::CountResults() {
    TLease conn(*this);
    const TResultPtr r = conn.Run("count_results", {}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
}

bool PostgresScoreStore::TakeToken(const std::string& key, int perMinute, int64_t nowMs) {
    if (perMinute <= 0) return true;
    TLease conn(*this);
    const TResultPtr r = conn.Run(
        "take_token", {key, std::to_string(perMinute), std::to_string(nowMs)}, PGRES_TUPLES_OK);
    return PQntuples(r.get()) == 1;
}

void PostgresScoreStore::CheckWritable() {
    TLease conn(*this);
    // A token no one can hold (tokens are hexadecimal), written and undone.
    conn.Exec("BEGIN; INSERT INTO tokens (token, issued) VALUES ('readiness probe', 0);"
              " ROLLBACK");
}

} // namespace pondlark::scores
