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
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
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
    bool verified = false;
    int64_t replayId = 0; // of a verified result: its replay (/api/replays/ID); else 0
};

// The most bytes a replay may have. The game's recording takes at most 64 KiB for ten minutes
// of play and the verifier plays at most an hour: six times that, with room to spare.
inline constexpr size_t kMaxReplayBytes = 512 * 1024;

// Where a result stands. Results sent without a replay (any client of the plain protocol) are
// Unverified for good; one with a replay waits as Pending until a worker plays it.
enum class TVerification { Unverified, Pending, Verified, Refused };

// The reason of a verdict refused because its replay already proves another result.
inline constexpr const char* kReplayReused = "the replay already proves another result";

enum class TReplayOutcome {
    Stored,  // kept with its token (a second upload before the result replaces the first)
    Refused, // the token is unknown, past its hour or already spent
};

// A pending result claimed by a worker, with what it claims and its replay.
struct TPendingReplay {
    int64_t resultId = 0;
    TResult claim;
    std::string token;
    std::string bytes;
    std::string digest;                // SHA-256 of `bytes`, hexadecimal
    bool digestVerifiedBefore = false; // the same bytes already prove another result
};

// A worker's finding on a claimed result.
struct TVerdict {
    bool verified = false;
    int level = 0;
    int64_t frames = 0;
    std::string reason; // why it was refused
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
    // it lost) and stores nothing again. A result whose token came with a replay (StoreReplay)
    // is stored Pending, bound to it; any other Unverified.
    virtual TStoreOutcome StoreResult(const TNewResult& result, int64_t now) = 0;

    // The best `limit` results (all, or only the verified ones): highest score first, the
    // earlier of equal scores first.
    virtual std::vector<TScoreRow> Best(int limit, bool verifiedOnly) = 0;

    // Keeps a replay bound to `token` when the token is known, unspent and less than an hour
    // old at `now`. `digest` is the SHA-256 of `bytes` in hexadecimal.
    virtual TReplayOutcome StoreReplay(const std::string& token, const std::string& bytes,
                                       const std::string& digest, int64_t now) = 0;

    // Takes the oldest pending result that no worker holds (or whose holder's lease ran out
    // before `now`), holding it for `worker` until `now + leaseSeconds`. Several workers, in
    // this process or others on the same database, never hold the same result at once.
    // nullopt when nothing waits.
    virtual std::optional<TPendingReplay> ClaimPending(const std::string& worker, int64_t now,
                                                       int64_t leaseSeconds) = 0;
    // Records the verdict on a result `worker` holds; Verified only when the verdict says so
    // and no other verified result has the same replay (the verdict is then Refused with that
    // reason). Returns what was recorded; Pending when the worker no longer held it (its lease
    // ran out and another took it): nothing changed.
    virtual TVerification FinishVerification(int64_t resultId, const std::string& worker,
                                             const TVerdict& verdict) = 0;
    // Gives a held result back to the queue (a worker that stops before its verdict).
    virtual void ReleaseClaim(int64_t resultId, const std::string& worker) = 0;
    // A result's standing (nullopt for no such result).
    virtual std::optional<TVerification> VerificationOf(int64_t resultId) = 0;
    // How many results wait for a worker.
    virtual int64_t CountPending() = 0;
    // The bytes of replay `replayId` when it proves a verified result; nullopt otherwise.
    virtual std::optional<std::string> VerifiedReplay(int64_t replayId) = 0;

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

// The state's name in the database ("unverified", "pending", "verified", "refused"), and back
// (Unverified for a name it does not know).
const char* VerificationName(TVerification state);
TVerification VerificationNamed(std::string_view name);

// "sqlite:PATH" or "postgresql://..." / "postgres://..." (a libpq connection URI). Creates the
// tables when they are missing, and brings an older database up to the current schema (each
// schema change is a numbered step, recorded in the table schema_version, run once in order,
// keeping every row). Throws EStoreError when the database cannot be opened or
// prepared, or std::invalid_argument for a description of neither kind.
std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& description, int connections);

} // namespace pondlark::scores
