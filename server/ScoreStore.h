// Where the service keeps its results and the tokens it has handed out.
//
// Two kinds: an SQLite file on the service's own machine, and a PostgreSQL database that several
// services may share (tokens live in the database, so a token issued by one service is spent
// at another). Every statement is prepared with parameters; no value is ever spliced into SQL.
//
// Threads: a store is used by all of the service's workers at once; each kind serialises or
// pools its connections itself. Failures of the database are EStoreError.
#pragma once

#include "persist/ResultPayload.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pondlark::scores {

class EStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A token is good for an hour after it was issued, and for one result.
inline constexpr int64_t kTokenLifetimeSeconds = 3600;

// A checked result on its way into the store.
struct TNewResult : TResult {
    std::string token;
    std::string address; // the sender's IP address, kept for the operator
};

// A stored result as the table lists it.
struct TScoreRow : TResult {
    int64_t stored = 0; // Unix seconds
};

enum class TStoreOutcome {
    Stored,
    AlreadyStored, // the token was spent on this very result before: a retry, answered OK
    Refused,       // unknown, too old, or spent on another result; nothing stored
};

// How long the store may take: a connection, a statement, a wait for a pooled connection or a
// lock. Past it the operation fails with EStoreError, so a stalled database costs a request
// about this long, never a worker for good.
inline constexpr int kStoreTimeoutMs = 1500;

class IScoreStore {
public:
    virtual ~IScoreStore() = default;

    // Remembers a freshly issued token with the time it was issued (Unix seconds). Tokens past
    // their hour are dropped along the way now and then.
    virtual void AddToken(const std::string& token, int64_t now) = 0;

    // Spends `token` and stores the result, as one transaction, when the token is known,
    // unspent and was issued less than an hour before `now`. A token already spent on a result
    // with the same name, country and score gives AlreadyStored (the sender's retry of a reply
    // it lost) and stores nothing again.
    virtual TStoreOutcome StoreResult(const TNewResult& result, int64_t now) = 0;

    // The best `limit` results: highest score first, the earlier of equal scores first.
    virtual std::vector<TScoreRow> Best(int limit) = 0;

    // How many results are stored (counted: for the operator and at start, not per probe).
    virtual int64_t CountResults() = 0;

    // Throws EStoreError saying why, unless a write would succeed now. PostgreSQL: a write that
    // is rolled back. SQLite: the file opened is still the one at its path, its files may be
    // opened for writing, and a one-row write is committed (a rolled-back write never reaches
    // the file, so it would pass on a full disk).
    virtual void CheckWritable() = 0;

    // A rate limit shared by every service on the database: true, and one token taken, when
    // `key` may go on at `nowMs` (Unix milliseconds, a clock the services share), from a bucket
    // of `perMinute` that refills evenly over a minute (0: no limit). PostgreSQL only; SQLite
    // throws EStoreError.
    virtual bool TakeToken(const std::string& key, int perMinute, int64_t nowMs) = 0;

    // A short name of the kind and place ("sqlite:scores.db"), never a password.
    virtual std::string Describe() const = 0;
};

// "sqlite:PATH" or "postgresql://..." / "postgres://..." (a libpq connection URI). Creates the
// tables when they are missing, and brings an older database up to the current schema (each
// schema change is a numbered step, recorded in the table schema_version, run once in order,
// keeping every row). Throws EStoreError when the database cannot be opened or
// prepared, or std::invalid_argument for a description of neither kind.
std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& description, int connections);

} // namespace pondlark::scores
