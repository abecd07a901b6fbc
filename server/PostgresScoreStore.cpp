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
        if (!PQsendQueryPrepared(conn_, name, static_cast<int>(values.size()), values.data(),
                                 nullptr, nullptr, 0))
            return Failed();
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
    // Spending and storing in one statement: a token spent twice at once stores one result
    // (the second update waits for the first and then finds the token spent).
    Prepare(conn, "store_result",
            "WITH spent AS (UPDATE tokens SET result_id = nextval(pg_get_serial_sequence("
            "'results', 'id')) WHERE token = $1 AND issued > $2 AND result_id IS NULL"
            " RETURNING result_id)"
            " INSERT INTO results (id, name, country, score, stored, address)"
            " SELECT result_id, $3, $4, $5::integer, $6::bigint, $7 FROM spent");
    Prepare(conn, "spent_on",
            "SELECT r.name, r.country, r.score FROM tokens t JOIN results r ON r.id = t.result_id"
            " WHERE t.token = $1 AND t.issued > $2");
    Prepare(conn, "best",
            "SELECT name, country, score, stored FROM results ORDER BY score DESC, id LIMIT $1");
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

std::vector<TScoreRow> PostgresScoreStore::Best(int limit) {
    TLease conn(*this);
    const TResultPtr r = conn.Run("best", {std::to_string(limit)}, PGRES_TUPLES_OK);
    std::vector<TScoreRow> rows;
    const int n = PQntuples(r.get());
    for (int i = 0; i < n; ++i) {
        TScoreRow row;
        row.Name = PQgetvalue(r.get(), i, 0);
        row.Country = PQgetvalue(r.get(), i, 1);
        row.Score = static_cast<int32_t>(std::stol(PQgetvalue(r.get(), i, 2)));
        row.stored = std::stoll(PQgetvalue(r.get(), i, 3));
        rows.push_back(std::move(row));
    }
    return rows;
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
