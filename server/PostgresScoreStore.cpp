#include "server/PostgresScoreStore.h"

#include <libpq-fe.h>

#include <memory>
#include <string>

namespace pondlark::scores {

namespace {

using TResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Runs a prepared statement with text parameters; throws EStoreError unless the status is
// `expected`.
TResultPtr Run(PGconn* conn, const char* name, std::initializer_list<std::string> params,
               ExecStatusType expected) {
    std::vector<const char*> values;
    for (const std::string& p : params)
        values.push_back(p.c_str());
    TResultPtr result(PQexecPrepared(conn, name, static_cast<int>(values.size()), values.data(),
                                     nullptr, nullptr, 0),
                      &PQclear);
    if (!result || PQresultStatus(result.get()) != expected)
        throw EStoreError(std::string("database: ") + PQerrorMessage(conn));
    return result;
}

void Exec(PGconn* conn, const char* sql) {
    TResultPtr result(PQexec(conn, sql), &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw EStoreError(std::string("database set-up: ") + PQerrorMessage(conn));
}

void Prepare(PGconn* conn, const char* name, const char* sql) {
    TResultPtr result(PQprepare(conn, name, sql, 0, nullptr), &PQclear);
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw EStoreError(std::string("cannot prepare: ") + PQerrorMessage(conn));
}

void PrepareAll(PGconn* conn) {
    Prepare(conn, "add_token", "INSERT INTO tokens (token, issued) VALUES ($1, $2)");
    Prepare(conn, "prune_tokens", "DELETE FROM tokens WHERE issued <= $1");
    // Spending and storing in one statement: a token spent twice at once stores one result.
    Prepare(conn, "store_result",
            "WITH spent AS (DELETE FROM tokens WHERE token = $1 AND issued > $2 RETURNING token)"
            " INSERT INTO results (name, country, score, stored, address)"
            " SELECT $3, $4, $5::integer, $6::bigint, $7 FROM spent");
    Prepare(conn, "best",
            "SELECT name, country, score, stored FROM results ORDER BY score DESC, id LIMIT $1");
    Prepare(conn, "count_results", "SELECT count(*) FROM results");
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

// A connection taken from the pool for one operation, given back when done.
class PostgresScoreStore::TLease {
public:
    explicit TLease(PostgresScoreStore& store) : store_(store), conn_(store.Acquire()) {}
    ~TLease() { store_.Release(conn_); }
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;
    PGconn* operator*() const { return conn_; }

private:
    PostgresScoreStore& store_;
    PGconn* conn_;
};

PostgresScoreStore::PostgresScoreStore(const std::string& conninfo, int connections)
    : conninfo_(conninfo), description_(DescribeConninfo(conninfo)),
      maxConnections_(connections < 1 ? 1 : connections) {
    PGconn* conn = Connect();
    try {
        // Services starting together would race on CREATE ... IF NOT EXISTS; one at a time.
        Exec(conn, "BEGIN");
        Exec(conn, "SELECT pg_advisory_xact_lock(7160581)");
        Exec(conn, "CREATE TABLE IF NOT EXISTS tokens ("
                   " token TEXT PRIMARY KEY, issued BIGINT NOT NULL)");
        Exec(conn, "CREATE INDEX IF NOT EXISTS tokens_issued ON tokens (issued)");
        Exec(conn, "CREATE TABLE IF NOT EXISTS results ("
                   " id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL, country TEXT NOT NULL,"
                   " score INTEGER NOT NULL, stored BIGINT NOT NULL, address TEXT NOT NULL)");
        Exec(conn, "CREATE INDEX IF NOT EXISTS results_best ON results (score DESC, id)");
        Exec(conn, "COMMIT");
        PrepareAll(conn);
    } catch (...) {
        PQfinish(conn);
        throw;
    }
    open_ = 1;
    idle_.push_back(conn);
}

PostgresScoreStore::~PostgresScoreStore() {
    for (PGconn* conn : idle_)
        PQfinish(conn);
}

PGconn* PostgresScoreStore::Connect() {
    PGconn* conn = PQconnectdb(conninfo_.c_str());
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        const std::string message = conn ? PQerrorMessage(conn) : "out of memory";
        PQfinish(conn);
        throw EStoreError("cannot connect to the " + description_ + ": " + message);
    }
    return conn;
}

PGconn* PostgresScoreStore::Acquire() {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [&] { return !idle_.empty() || open_ < maxConnections_; });
    if (!idle_.empty()) {
        PGconn* conn = idle_.back();
        idle_.pop_back();
        lock.unlock();
        if (PQstatus(conn) != CONNECTION_OK) {
            // The server went away and may be back: reconnect, with the statements again.
            PQreset(conn);
            try {
                if (PQstatus(conn) != CONNECTION_OK)
                    throw EStoreError("cannot reconnect to the " + description_ + ": " +
                                      PQerrorMessage(conn));
                PrepareAll(conn);
            } catch (...) {
                Release(conn);
                throw;
            }
        }
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

void PostgresScoreStore::Release(PGconn* conn) {
    {
        std::lock_guard lock(mutex_);
        idle_.push_back(conn);
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
    if (prune)
        Run(*conn, "prune_tokens", {std::to_string(now - kTokenLifetimeSeconds)}, PGRES_COMMAND_OK);
    Run(*conn, "add_token", {token, std::to_string(now)}, PGRES_COMMAND_OK);
}

bool PostgresScoreStore::StoreResult(const TNewResult& result, int64_t now) {
    TLease conn(*this);
    const TResultPtr r =
        Run(*conn, "store_result",
            {result.token, std::to_string(now - kTokenLifetimeSeconds), result.name, result.country,
             std::to_string(result.score), std::to_string(now), result.address},
            PGRES_COMMAND_OK);
    return std::string(PQcmdTuples(r.get())) == "1";
}

std::vector<TScoreRow> PostgresScoreStore::Best(int limit) {
    TLease conn(*this);
    const TResultPtr r = Run(*conn, "best", {std::to_string(limit)}, PGRES_TUPLES_OK);
    std::vector<TScoreRow> rows;
    const int n = PQntuples(r.get());
    for (int i = 0; i < n; ++i) {
        TScoreRow row;
        row.name = PQgetvalue(r.get(), i, 0);
        row.country = PQgetvalue(r.get(), i, 1);
        row.score = static_cast<int32_t>(std::stol(PQgetvalue(r.get(), i, 2)));
        row.stored = std::stoll(PQgetvalue(r.get(), i, 3));
        rows.push_back(std::move(row));
    }
    return rows;
}

int64_t PostgresScoreStore::CountResults() {
    TLease conn(*this);
    const TResultPtr r = Run(*conn, "count_results", {}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
}

} // namespace pondlark::scores
