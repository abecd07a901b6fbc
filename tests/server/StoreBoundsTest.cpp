// The service towards its database: a store that stalls costs a request two seconds at most and
// never the pages that need no database, nor the service's stop; /readyz tells whether a write
// works now; and databases made by earlier versions open and keep their rows.
#include "server/ServiceUnderTest.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"

#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace pondlark;
using namespace pondlark::test_support;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kResult = "/cgi/version.pl?hs&prg=Pondlark&inf=";
const std::string kVersion = "/cgi/version.pl?version&prg=Pondlark";

int64_t MillisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A store that, once stalled, blocks every call until released: a database that accepted
// the connection and then stopped answering.
class TStallingStore final : public scores::IScoreStore {
public:
    explicit TStallingStore(std::unique_ptr<scores::IScoreStore> inner)
        : inner_(std::move(inner)) {}
    void Stall() {
        std::lock_guard lock(mutex_);
        stalled_ = true;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            stalled_ = false;
        }
        released_.notify_all();
    }

    void AddToken(const std::string& token, int64_t now) override {
        Wait();
        inner_->AddToken(token, now);
    }
    scores::TStoreOutcome StoreResult(const scores::TNewResult& result, int64_t now) override {
        Wait();
        return inner_->StoreResult(result, now);
    }
    std::vector<scores::TScoreRow> Best(int limit, bool verifiedOnly) override {
        Wait();
        return inner_->Best(limit, verifiedOnly);
    }
    scores::TReplayOutcome StoreReplay(const std::string& token, const std::string& bytes,
                                       const std::string& digest, int64_t now) override {
        Wait();
        return inner_->StoreReplay(token, bytes, digest, now);
    }
    std::optional<scores::TPendingReplay> ClaimPending(const std::string& worker, int64_t now,
                                                       int64_t leaseSeconds) override {
        Wait();
        return inner_->ClaimPending(worker, now, leaseSeconds);
    }
    scores::TVerification FinishVerification(int64_t resultId, const std::string& worker,
                                             const scores::TVerdict& verdict) override {
        Wait();
        return inner_->FinishVerification(resultId, worker, verdict);
    }
    void ReleaseClaim(int64_t resultId, const std::string& worker) override {
        Wait();
        inner_->ReleaseClaim(resultId, worker);
    }
    std::optional<scores::TVerification> VerificationOf(int64_t resultId) override {
        Wait();
        return inner_->VerificationOf(resultId);
    }
    int64_t CountPending() override {
        Wait();
        return inner_->CountPending();
    }
    std::optional<std::string> VerifiedReplay(int64_t replayId) override {
        Wait();
        return inner_->VerifiedReplay(replayId);
    }
    int64_t CountResults() override {
        Wait();
        return inner_->CountResults();
    }
    void CheckWritable() override {
        Wait();
        inner_->CheckWritable();
    }
    bool TakeToken(const std::string& key, int perMinute, int64_t nowMs) override {
        Wait();
        return inner_->TakeToken(key, perMinute, nowMs);
    }
    std::string Describe() const override { return "stalling " + inner_->Describe(); }

private:
    void Wait() {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !stalled_; });
    }

    std::unique_ptr<scores::IScoreStore> inner_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool stalled_ = false;
};

struct TTimed {
    int status = 0;
    int64_t ms = 0;
};

TTimed TimedGet(TServiceUnderTest& service, const std::string& target) {
    const auto start = Clock::now();
    const auto reply = service.Get(target);
    return {reply ? reply->status : -1, MillisSince(start)};
}

// While the store does not answer: the pages that need no database answer at once; each of
// several requests that need it gets a 503 within two seconds (more of them than workers).
void ExpectStalledStoreIsContained(TServiceUnderTest& service, const std::string& token) {
    for (const char* target : {"/", "/healthz", "/metrics"}) {
        const TTimed t = TimedGet(service, target);
        EXPECT_EQ(t.status, 200) << target;
        EXPECT_LT(t.ms, 1000) << target;
    }
    std::vector<std::future<TTimed>> pending;
    const std::vector<std::string> targets = {
        kVersion,  kResult + EncodeLine(ResultPayload({"Frog", "", 250}, token)),
        "/readyz", "/cgi/version.pl?prg=Pondlark&type=0&show",
        kVersion,  kVersion,
    };
    for (const std::string& target : targets)
        pending.push_back(std::async(std::launch::async,
                                     [&service, target] { return TimedGet(service, target); }));
    for (size_t i = 0; i < pending.size(); ++i) {
        const TTimed t = pending[i].get();
        EXPECT_EQ(t.status, 503) << targets[i];
        EXPECT_LT(t.ms, 2000) << targets[i];
    }
}

} // namespace

TEST(StoreBounds, AStalledStoreGetsA503WithinTwoSecondsAndDoesNotHoldTheStop) {
    TServiceUnderTest service;
    auto stalling = std::make_unique<TStallingStore>(
        scores::OpenScoreStore("sqlite:" + (service.folder / "scores.db").string(), 1));
    TStallingStore& store = *stalling;
    scores::TServiceOptions options;
    options.Workers = 2;
    service.StartOn(std::move(stalling), options);
    const std::string token = service.Token();
    ASSERT_FALSE(token.empty());

    store.Stall();
    ExpectStalledStoreIsContained(service, token);
    EXPECT_NE(service.Log().find("503"), std::string::npos);
    // Stopping does not wait for the workers that are still inside the store.
    const int64_t stopMs = service.StopAndWait();
    EXPECT_LT(stopMs, 5000);
    store.Release();
}

TEST(StoreBounds, APostgresqlStoppedWithSigstopIsContainedAndRecoveredFrom) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.Workers = 2;
    const std::string skip = service.Start(TBackend::Postgres, options);
    if (!skip.empty()) GTEST_SKIP() << skip;
    const std::string token = service.Token();
    ASSERT_FALSE(token.empty());

    ASSERT_TRUE(service.postgres->SignalAll(SIGSTOP));
    ExpectStalledStoreIsContained(service, token);
    ASSERT_TRUE(service.postgres->SignalAll(SIGCONT));

    // Back: the connections that timed out were closed; fresh ones serve again.
    int status = 0;
    for (int i = 0; i < 20 && status != 200; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(250));
        status = TimedGet(service, "/readyz").status;
    }
    EXPECT_EQ(status, 200);
    const auto stored = service.Get(kResult + EncodeLine(ResultPayload({"Frog", "", 250}, token)));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->body, "OK\n");

    // Stopped again, with a request waiting for it: the service still stops in time.
    ASSERT_TRUE(service.postgres->SignalAll(SIGSTOP));
    auto inFlight = std::async(std::launch::async, [&] { return TimedGet(service, kVersion); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LT(service.StopAndWait(), 5000);
    inFlight.get();
    ASSERT_TRUE(service.postgres->SignalAll(SIGCONT));
}

// /readyz against an SQLite file that can no longer take a write; /healthz stays "ok" (the
// process lives), /readyz says 503 with the reason, and 200 again once mended.
TEST(StoreBounds, ReadinessTellsWhetherAWriteWorksNow) {
    TServiceUnderTest service;
    const std::filesystem::path disk = service.folder / "disk";
    std::filesystem::create_directories(disk);
    // A small disk of its own, where the test may mount one.
    const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=2m") == 0;
    const std::filesystem::path db = disk / "scores.db";
    service.StartOn(scores::OpenScoreStore("sqlite:" + db.string(), 1), {});
    const auto shell = [](const std::string& command) { return std::system(command.c_str()); };
    const std::string files = db.string() + " " + db.string() + "-wal " + db.string() + "-shm";
    const bool immutable = shell("chattr +i " + files + " 2>/dev/null") == 0 &&
                           shell("chattr -i " + files + " 2>/dev/null") == 0;

    struct Row {
        const char* what;
        std::string skip; // why the row cannot run here, or ""
        std::function<void()> spoil, mend;
    } rows[] = {
        {"disk full", mounted ? "" : "cannot mount a small tmpfs here",
         [&] { shell("dd if=/dev/zero of=" + (disk / "filler").string() + " bs=64k 2>/dev/null"); },
         [&] { std::filesystem::remove(disk / "filler"); }},
        {"immutable files",
         immutable ? "" : "chattr +i does not work on this file system or as this user",
         [&] { shell("chattr +i " + files); }, [&] { shell("chattr -i " + files); }},
        // Last: there is no mending it.
        {"the database file deleted", "", [&] { std::filesystem::remove(db); }, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!row.skip.empty()) {
            std::printf("[ skipped  ] readiness row \"%s\": %s\n", row.what, row.skip.c_str());
            continue;
        }
        ASSERT_EQ(service.Get("/readyz")->status, 200);
        row.spoil();
        const auto ready = service.Get("/readyz");
        ASSERT_TRUE(ready);
        EXPECT_EQ(ready->status, 503);
        EXPECT_EQ(ready->body.rfind("ERR|not ready: ", 0), 0u) << ready->body;
        EXPECT_EQ(service.Get("/healthz")->status, 200);
        if (!row.mend) continue;
        row.mend();
        EXPECT_EQ(service.Get("/readyz")->status, 200);
    }
    service.StopAndWait();
    service.store.reset();
    if (mounted) ::umount2(disk.c_str(), MNT_DETACH);
}

// A database made by the first release (its tables exactly as that release created them,
// with a result and an unspent token in them) opens, keeps its rows, takes a new result on
// the old token and recognises the retry, keeps its old results unverified and takes a result
// with its replay as pending; a second open changes nothing.
class SchemaMigration : public ::testing::TestWithParam<TBackend> {};

TEST_P(SchemaMigration, ADatabaseOfTheFirstSchemaOpensKeepsItsRowsAndTakesAResult) {
    const std::filesystem::path folder = FreshTestFolder();
    std::optional<TPostgresServer> postgres;
    std::string skip;
    const std::string description = DatabaseFor(GetParam(), folder, postgres, skip);
    if (description.empty()) GTEST_SKIP() << skip;
    const char* kFirstSchema[] = {
        "CREATE TABLE tokens (token TEXT PRIMARY KEY, issued BIGINT NOT NULL)",
        "CREATE INDEX tokens_issued ON tokens (issued)",
        GetParam() == TBackend::Sqlite
            ? "CREATE TABLE results (id INTEGER PRIMARY KEY, name TEXT NOT NULL,"
              " country TEXT NOT NULL, score INTEGER NOT NULL, stored INTEGER NOT NULL,"
              " address TEXT NOT NULL)"
            : "CREATE TABLE results (id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL,"
              " country TEXT NOT NULL, score INTEGER NOT NULL, stored BIGINT NOT NULL,"
              " address TEXT NOT NULL)",
        "CREATE INDEX results_best ON results (score DESC, id)",
        "INSERT INTO results (name, country, score, stored, address)"
        " VALUES ('Oldfrog', 'Wales', 4200, 1789999000, '192.0.2.1')",
        "INSERT INTO tokens (token, issued) VALUES ('0123456789abcdef0123456789abcdef', "
        "1789999900)",
    };
    if (GetParam() == TBackend::Sqlite) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((folder / "scores.db").c_str(), &db), SQLITE_OK);
        for (const char* sql : kFirstSchema)
            ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    } else {
        PGconn* conn = PQconnectdb(description.c_str());
        ASSERT_EQ(PQstatus(conn), CONNECTION_OK) << PQerrorMessage(conn);
        for (const char* sql : kFirstSchema) {
            PGresult* r = PQexec(conn, sql);
            EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << sql << PQerrorMessage(conn);
            PQclear(r);
        }
        PQfinish(conn);
    }
    const int64_t now = 1'790'000'000;
    for (int open = 0; open < 2; ++open) {
        SCOPED_TRACE(open == 0 ? "first open" : "second open");
        const auto store = scores::OpenScoreStore(description, 2);
        const auto rows = store->Best(10, false);
        ASSERT_GE(rows.size(), 1u);
        EXPECT_EQ(rows.front().Name, "Oldfrog");
        EXPECT_EQ(rows.front().Score, 4200);
        // Results from before replays were proven by none: kept, unverified, off the default
        // table.
        EXPECT_FALSE(rows.front().verified);
        EXPECT_TRUE(store->Best(10, true).empty());
        const scores::TNewResult result{
            {"Newfrog", "Kent", 300}, "0123456789abcdef0123456789abcdef", "192.0.2.2"};
        EXPECT_EQ(store->StoreResult(result, now),
                  open == 0 ? scores::TStoreOutcome::Stored : scores::TStoreOutcome::AlreadyStored);
        EXPECT_EQ(store->CountResults(), 2 + open);
        EXPECT_NO_THROW(store->CheckWritable());
        // The migrated database takes a result with its replay, which waits for a worker.
        const std::string token = "fedcba9876543210fedcba987654321" + std::to_string(open);
        store->AddToken(token, now);
        EXPECT_EQ(store->StoreReplay(token, "replay", "digest", now),
                  scores::TReplayOutcome::Stored);
        EXPECT_EQ(store->StoreResult({{"Replayed", "Kent", 310}, token, "192.0.2.3"}, now),
                  scores::TStoreOutcome::Stored);
        EXPECT_EQ(store->CountPending(), open + 1);
    }
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Stores, SchemaMigration,
                         ::testing::Values(TBackend::Sqlite, TBackend::Postgres), BackendName);
