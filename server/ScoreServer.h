// The score service: the game's protocol, the public table and the operator's endpoints over
// one store, served by cpp-httplib.
//
//   GET /cgi/version.pl?version&prg=Pondlark      OK|version|home page|server time|token|
//   GET /cgi/version.pl?hs&prg=Pondlark&inf=...   OK, or ERR|reason (nothing stored)
//   GET /cgi/version.pl?prg=Pondlark&type=0&show  the best 100 as an HTML page
//   GET /                                         the game's home page
//   GET /api/scores?limit=N                       the best N (1-100) as JSON
//   GET /healthz                                  "ok" when the store answers
//
// Every request gets one line on the access log. Threads: Run blocks on the calling thread and
// serves with a pool of workers; Stop may be called from any thread and makes Run return once
// the requests in flight are answered.
#pragma once

#include "server/BoundedHttpServer.h"
#include "server/RateLimiter.h"
#include "server/ScoreStore.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace pondlark::scores {

struct TServiceOptions {
    std::string Host = "127.0.0.1";
    int Port = 8080; // 0: any free port (Bind tells which)
    std::string Database = "sqlite:scores.db";
    int Workers = 16;
    int DatabaseConnections = 8; // PostgreSQL only
    int ResultsPerMinute = 20;   // per address; 0 for no limit
    int VersionsPerMinute = 120; // per address; 0 for no limit
    std::string PublicUrl;       // the home page in version replies; "" for http://Host/
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

    // Binds the listening socket; returns the port. Throws std::runtime_error when it cannot.
    int Bind();
    // Serves until Stop; false when serving failed to start.
    bool Run();
    void Stop();

private:
    void Routes();
    void Version(const httplib::Request& request, httplib::Response& response);
    void Result(const httplib::Request& request, httplib::Response& response);
    void Log(const httplib::Request& request, const httplib::Response& response);
    std::string HomeUrl(const httplib::Request& request) const;

    IScoreStore& store_;
    TServiceOptions options_;
    std::FILE* log_;
    TClock clock_;
    TRateLimiter resultLimit_;
    TRateLimiter versionLimit_;
    TBoundedHttpServer http_;
    std::mutex logMutex_;
    int port_ = 0;
};

} // namespace pondlark::scores
