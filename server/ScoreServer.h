// The score service: the game's protocol, the public table and the operator's endpoints over
// one store, served by THttpServer.
//
//   GET /cgi/version.pl?version&prg=Pondlark      OK|version|home page|server time|token|
//   GET /cgi/version.pl?hs&prg=Pondlark&inf=...   OK, or ERR|reason (nothing stored)
//   GET /cgi/version.pl?prg=Pondlark&type=0&show  the best 100 as an HTML page
//   GET /                                         the game's home page
//   GET /api/scores?limit=N[&all=1]               the best N (1-100) verified (or all) as JSON
//   POST /api/replays?token=T                     a game's replay, before its result
//   GET /api/replays/ID                           a verified result's replay, as a download
//   GET /healthz                                  "ok": the service runs (never asks the store)
//   GET /readyz                                   200 only when a write to the store works now
//   GET /metrics                                  counters in Prometheus' text format
//   GET /play/...                                 the browser game's files (--site)
//
// Pages that need no database are answered on the event loop and never wait for it; the others
// run on a worker and get a 503 when the store has not answered within two seconds. Every
// request gets one line on the access log, with the reason of a refusal; tokens and result
// payloads never appear there. Threads: Run blocks on the calling thread; Stop may be called
// from any thread and makes Run return once the requests in flight are answered.
#pragma once

#include "server/HttpServer.h"
#include "server/RateLimiter.h"
#include "server/ScoreStore.h"
#include "server/ServiceMetrics.h"
#include "server/SiteFiles.h"
#include "server/VerifyWorkers.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pondlark::scores {

struct TServiceOptions {
    std::string Host = "127.0.0.1";
    int Port = 8080; // 0: any free port (Bind tells which)
    std::string Database = "sqlite:scores.db";
    int Workers = 16;
    int DatabaseConnections = 8; // PostgreSQL only
    int ResultsPerMinute = 20;   // per address; 0 for no limit
    int VersionsPerMinute = 120; // per address; 0 for no limit
    std::string PublicUrl; // the home page in version replies; "" for http://HOST:PORT/ of --listen
    std::string Site;      // a folder served under /play/ (the browser game); "" for none
    // Proxies whose X-Forwarded-For is believed: the limits then count the client it names.
    std::vector<std::string> TrustedProxies;
    // The rate limits kept in the database (PostgreSQL), shared by every service on it.
    bool SharedLimits = false;
    // Verifying results by their replays: the verifier, its folder and limits; the workers in
    // this service (-1: one when a verifier is configured, else none); VerifyOnly: a process
    // that only verifies (no HTTP), beside services on the same PostgreSQL.
    TVerifierConfig Verify;
    int VerifyWorkers = -1;
    bool VerifyOnly = false;
    THttpLimits Limits;
};

// Reads the command line (without argv[0]). False with a message in `error` for anything it
// does not know; `help` is set for --help.
bool ParseServiceOptions(int argc, const char* const* argv, TServiceOptions& options, bool& help,
                         std::string& error);
// The --help text.
std::string ServiceUsage();

class TScoreServer {
public:
    using TClock = std::function<int64_t()>; // Unix seconds

    // `store` and `log` must outlive the server. `clock` defaults to the system clock.
    TScoreServer(IScoreStore& store, const TServiceOptions& options, std::FILE* log,
                 TClock clock = {});
    TScoreServer(const TScoreServer&) = delete;
    TScoreServer& operator=(const TScoreServer&) = delete;

    // Binds the listening socket; returns the port. Throws std::runtime_error when it cannot, or
    // when the folder of `Site` cannot be served.
    int Bind();
    // Serves (and verifies, with a verifier and workers) until Stop; false when serving failed
    // to start.
    bool Run();
    void Stop();

    // How many verify workers this service runs (0 without a verifier).
    int VerifyWorkerCount() const;

    // The client's address for the limits and the log: the peer, or for a trusted proxy the
    // last address in X-Forwarded-For that is not itself a trusted proxy.
    std::string ClientAddress(const THttpRequest& request) const;

private:
    THttpServer::TRoute Route(const THttpRequest& request);
    void Version(const THttpRequest& request, THttpResponse& response);
    void Result(const THttpRequest& request, THttpResponse& response);
    void UploadReplay(const THttpRequest& request, THttpResponse& response);
    void ServeReplay(int64_t replayId, THttpResponse& response);
    void LogLine(const std::string& text);
    void Ready(THttpResponse& response);
    void Log(const THttpRequest& request, const THttpResponse& response, double ms);
    // The rate limit `kind` ("version", "result") for `client`, in memory or shared.
    bool Allow(TRateLimiter& limiter, const char* kind, int perMinute, const std::string& client);
    std::string HomeUrl() const;
    // Runs a store operation, timing it for /metrics.
    template <class F> auto Timed(F&& operation);

    IScoreStore& store_;
    TServiceOptions options_;
    std::FILE* log_;
    TClock clock_;
    TRateLimiter resultLimit_;
    TRateLimiter versionLimit_;
    TRateLimiter replayLimit_;
    TServiceMetrics metrics_;
    std::atomic<int64_t> results_{0}; // counted at Bind, then by this service
    std::unique_ptr<TSiteFiles> site_;
    std::mutex logMutex_;
    int port_ = 0;
    std::unique_ptr<TVerifyWorkers> verifiers_;
    // Last: destroyed first, so that its workers are done before what they use goes.
    THttpServer http_;
};

} // namespace pondlark::scores
