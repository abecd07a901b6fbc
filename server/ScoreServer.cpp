#include "server/ScoreServer.h"

#include "server/Pages.h"
#include "server/ResultCheck.h"
#include "server/Sha256.h"

#include <sys/random.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <type_traits>

namespace pondlark::scores {

namespace {

constexpr const char* kProgram = "Pondlark";
constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr int kTableSize = 100;
constexpr const char* kPagePolicy = "default-src 'none'; style-src 'unsafe-inline'";
constexpr const char* kGamePolicy =
    "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' 'unsafe-inline'; "
    "img-src 'self' data: blob:; media-src 'self' blob:";

int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t SteadyMillis() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// 16 bytes from the kernel's generator as 32 hexadecimal digits.
std::string NewToken() {
    unsigned char bytes[16];
    size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("no random bytes for a token");
        }
        got += static_cast<size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0xF];
    }
    return token;
}

std::string IsoTime(int64_t unixSeconds) {
    return UtcTime(unixSeconds, "%Y-%m-%dT%H:%M:%SZ");
}

bool ParseInt(std::string_view text, int low, int high, int& value) {
    int v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || v < low || v > high)
        return false;
    value = v;
    return true;
}

// The target as the log shows it: a result's payload and a replay's token are a token that
// may still be good, so only their length is kept.
std::string LoggedTarget(const std::string& target) {
    std::string out = target;
    for (const std::string_view key : {"inf=", "token="}) {
        size_t at = 0;
        while ((at = out.find(key, at)) != std::string::npos) {
            if (at > 0 && out[at - 1] != '?' && out[at - 1] != '&') {
                at += key.size();
                continue;
            }
            const size_t end = std::min(out.find('&', at), out.size());
            const size_t length = end - at - key.size();
            out.replace(at + key.size(), length, "(" + std::to_string(length) + "-characters)");
            at += key.size();
        }
    }
    return out;
}

} // namespace

std::string ServiceUsage() {
    return R"(usage: pondlark-scores [OPTION]...
The score service of Pondlark: takes the results the game sends, keeps them in a database and
shows the best 100 as a web page.

  --listen HOST:PORT          address to serve on (default 127.0.0.1:8080; PORT 0 picks a free
                              port, printed at start; [::]:PORT for every IPv6 and IPv4 address)
  --db sqlite:PATH            keep the results in an SQLite file (default sqlite:scores.db, in
                              the working folder; write-ahead log beside it)
  --db postgresql://...       keep them in PostgreSQL (a libpq connection URI, for example
                              postgresql://scores@dbhost/pondlark); several services may share one
                              database
  --db-connections N          PostgreSQL connections to keep open at most (default 8)
  --workers N                 requests that need the database served at once (default 16;
                              the others, and idle or slow connections, need no worker)
  --results-per-minute N      results one address may send a minute, in bursts of N
                              (default 20; 0 for no limit)
  --versions-per-minute N     version requests one address may make a minute (default 120;
                              0 for no limit)
  --public-url URL            the home page named in version replies (default http://HOST:PORT/
                              of --listen; never taken from a request)
  --site DIR                  serve the files of DIR under /play/ (the browser game that
                              scripts/web builds: its results come back to this service)
  --request-timeout SECONDS   time a client has to send a request's head, from its first byte
                              (default 10); replies have no total limit, only a minimum rate
  --max-connections-per-address N
                              connections one address may hold open (default 64; 0 for no
                              limit); more are answered 503
  --trusted-proxy ADDR        a reverse proxy whose X-Forwarded-For names the client (repeat for
                              several); the limits and the log then use the client's address
  --shared-limits             keep the rate limits in the PostgreSQL database, shared by every
                              service on it (default: each service counts its own)
  --verifier PATH             the game's verifier (pondlark-verify): results sent with a replay
                              are played again by it and shown as verified only when it agrees
                              (default: pondlark-verify beside this program, when it is there;
                              without one they stay pending)
  --game-dir DIR              the game's folder the verifier plays in (default: the installed
                              game's data beside this program)
  --verify-workers N          verifiers run at once by this service (0 to 64; default 1 with a
                              verifier)
  --verify-only               run no HTTP service, only verify-workers (default 1) against the
                              --db, beside services on the same PostgreSQL
  --verify-cpu-seconds N      CPU time one verification may take (default 60)
  --verify-memory-mb N        memory (address space) one verification may take (default 1024)
  --verify-seconds N          wall-clock time one verification may take (default 120)
  --help                      this text

Every request is logged on standard error: time, address, method, path with query (a result's
payload and a replay's token shortened to their length), status, milliseconds taken, and why a
request was refused; each verdict is a line too.
SIGTERM or SIGINT finishes the requests in flight (at most 3 s) and exits with status 0.
)";
}

bool ParseServiceOptions(int argc, const char* const* argv, TServiceOptions& options, bool& help,
                         std::string& error) {
    help = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        if (arg == "--shared-limits" || arg == "--verify-only") {
            (arg == "--verify-only" ? options.VerifyOnly : options.SharedLimits) = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unknown argument " + arg;
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--listen") {
            const size_t colon = value.rfind(':');
            int port = 0;
            if (colon == std::string::npos || colon == 0 ||
                !ParseInt(std::string_view(value).substr(colon + 1), 0, 65535, port)) {
                error = "--listen wants HOST:PORT";
                return false;
            }
            std::string host = value.substr(0, colon);
            if (host.size() > 2 && host.front() == '[' && host.back() == ']')
                host = host.substr(1, host.size() - 2);
            options.Host = host;
            options.Port = port;
        } else if (arg == "--db") {
            options.Database = value;
        } else if (arg == "--site") {
            options.Site = value;
        } else if (arg == "--verifier") {
            options.Verify.Program = value;
        } else if (arg == "--game-dir") {
            options.Verify.GameDir = value;
        } else if (arg == "--verify-workers") {
            if (!ParseInt(value, 0, 64, options.VerifyWorkers)) {
                error = arg + " wants a number from 0 to 64";
                return false;
            }
        } else if (arg == "--verify-cpu-seconds" || arg == "--verify-seconds") {
            int& target =
                arg == "--verify-seconds" ? options.Verify.WallSeconds : options.Verify.CpuSeconds;
            if (!ParseInt(value, 1, 3600, target)) {
                error = arg + " wants seconds from 1 to 3600";
                return false;
            }
        } else if (arg == "--verify-memory-mb") {
            int mb = 0;
            if (!ParseInt(value, 16, 65536, mb)) {
                error = arg + " wants megabytes from 16 to 65536";
                return false;
            }
            options.Verify.MemoryBytes = static_cast<size_t>(mb) << 20;
        } else if (arg == "--db-connections" || arg == "--workers") {
            int& target = arg == "--workers" ? options.Workers : options.DatabaseConnections;
            if (!ParseInt(value, 1, 256, target)) {
                error = arg + " wants a number from 1 to 256";
                return false;
            }
        } else if (arg == "--results-per-minute" || arg == "--versions-per-minute") {
            int& target = arg == "--results-per-minute" ? options.ResultsPerMinute
                                                        : options.VersionsPerMinute;
            if (!ParseInt(value, 0, 1'000'000, target)) {
                error = arg + " wants a number from 0 to 1000000";
                return false;
            }
        } else if (arg == "--public-url") {
            if (value.find('|') != std::string::npos ||
                (value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0)) {
                error = "--public-url wants an http:// or https:// address without \"|\"";
                return false;
            }
            options.PublicUrl = value;
        } else if (arg == "--request-timeout") {
            int seconds = 0;
            if (!ParseInt(value, 1, 3600, seconds)) {
                error = "--request-timeout wants seconds from 1 to 3600";
                return false;
            }
            options.Limits.HeaderTimeout = std::chrono::seconds(seconds);
        } else if (arg == "--max-connections-per-address") {
            if (!ParseInt(value, 0, 1'000'000, options.Limits.MaxConnectionsPerAddress)) {
                error = arg + " wants a number from 0 to 1000000";
                return false;
            }
        } else if (arg == "--trusted-proxy") {
            if (value.empty() ||
                value.find_first_not_of("0123456789abcdefABCDEF.:") != std::string::npos) {
                error = "--trusted-proxy wants an IP address";
                return false;
            }
            options.TrustedProxies.push_back(value);
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (options.SharedLimits && options.Database.rfind("postgres", 0) != 0) {
        error = "--shared-limits needs a PostgreSQL --db";
        return false;
    }
    if (options.VerifyOnly && options.VerifyWorkers == 0) {
        error = "--verify-only needs at least one --verify-workers";
        return false;
    }
    return true;
}

TScoreServer::TScoreServer(IScoreStore& store, const TServiceOptions& options, std::FILE* log,
                           TClock clock)
    : store_(store), options_(options), log_(log),
      clock_(clock ? std::move(clock) : TClock(SystemSeconds)),
      resultLimit_(options.ResultsPerMinute), versionLimit_(options.VersionsPerMinute),
      replayLimit_(options.ResultsPerMinute),
      http_(
          options.Limits, options.Workers,
          [this](const THttpRequest& request) { return Route(request); },
          [this](const THttpRequest& request, const THttpResponse& response, double ms) {
              Log(request, response, ms);
          },
          [this](const std::string& what, THttpResponse& response) {
              LogLine(what);
              // A database that does not answer is a passing trouble: the game may try again.
              response.Text(503, "ERR|try later\n");
              response.refusal = "store failed";
          }) {
    if (!options_.Verify.Program.empty() && VerifyWorkerCount() > 0)
        verifiers_ = std::make_unique<TVerifyWorkers>(
            store_, options_.Verify, VerifyWorkerCount(),
            [this](const std::string& line) { LogLine(line); }, clock_, 1000, &metrics_);
}

int TScoreServer::VerifyWorkerCount() const {
    if (options_.Verify.Program.empty()) return 0;
    return options_.VerifyWorkers < 0 ? 1 : options_.VerifyWorkers;
}

void TScoreServer::LogLine(const std::string& text) {
    std::lock_guard lock(logMutex_);
    std::fprintf(log_, "pondlark-scores: %s\n", LogSafe(text).c_str());
    std::fflush(log_);
}

int TScoreServer::Bind() {
    // The browser game: its page, script, program and data, loaded and compressed now.
    if (!options_.Site.empty()) site_ = std::make_unique<TSiteFiles>(options_.Site);
    port_ = http_.Bind(options_.Host, options_.Port);
    // One count at start; from then on the results this service stores are added, so that no
    // probe ever counts the table.
    results_ = store_.CountResults();
    return port_;
}

bool TScoreServer::Run() {
    if (verifiers_) verifiers_->Start();
    const bool served = http_.Run();
    if (verifiers_) verifiers_->Stop();
    return served;
}

void TScoreServer::Stop() {
    http_.Stop();
}

std::string TScoreServer::HomeUrl() const {
    if (!options_.PublicUrl.empty()) return options_.PublicUrl;
    const bool v6 = options_.Host.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + options_.Host + "]" : options_.Host) + ":" +
           std::to_string(port_) + "/";
}

std::string TScoreServer::ClientAddress(const THttpRequest& request) const {
    const auto trusted = [this](const std::string& address) {
        return std::find(options_.TrustedProxies.begin(), options_.TrustedProxies.end(), address) !=
               options_.TrustedProxies.end();
    };
    if (!trusted(request.peer)) return request.peer;
    // Each proxy appends the address it took the request from; the rightmost one not of ours
    // is the client (what is left of it may be anything the client wrote).
    std::string forwarded;
    for (const auto& [name, value] : request.headers)
        if (name == "x-forwarded-for") forwarded += (forwarded.empty() ? "" : ",") + value;
    std::string client = request.peer;
    size_t end = forwarded.size();
    while (end > 0) {
        const size_t comma = forwarded.rfind(',', end - 1);
        const size_t start = comma == std::string::npos ? 0 : comma + 1;
        std::string item = forwarded.substr(start, end - start);
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        if (item.empty() || item.size() > 45 ||
            item.find_first_not_of("0123456789abcdefABCDEF.:") != std::string::npos)
            break;
        client = item;
        if (!trusted(item)) break;
        if (comma == std::string::npos) break;
        end = comma;
    }
    return client;
}

template <class F> auto TScoreServer::Timed(F&& operation) {
    const auto start = std::chrono::steady_clock::now();
    const auto observe = [&] {
        metrics_.ObserveStore(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    };
    try {
        if constexpr (std::is_void_v<decltype(operation())>) {
            operation();
            observe();
        } else {
            auto result = operation();
            observe();
            return result;
        }
    } catch (...) {
        observe();
        throw;
    }
}

THttpServer::TRoute TScoreServer::Route(const THttpRequest& request) {
    using TRoute = THttpServer::TRoute;
    // Headers every reply carries: the service's pages run no scripts and load nothing from
    // elsewhere; the browser game runs its own script and program and loads its data, from
    // this host only (no eval: a page that cannot be made to run text as a script).
    const bool game = request.path.rfind("/play/", 0) == 0;
    const auto guarded = [game](bool onWorker, THttpServer::THandler handle) {
        return TRoute{onWorker, [game, handle = std::move(handle)](const THttpRequest& r,
                                                                   THttpResponse& response) {
                          handle(r, response);
                          response.Set("Content-Security-Policy", game ? kGamePolicy : kPagePolicy);
                          response.Set("X-Content-Type-Options", "nosniff");
                      }};
    };
    const auto reply = [&](int status, std::string text, std::string refusal = "") {
        return guarded(false, [status, text = std::move(text), refusal = std::move(refusal)](
                                  const THttpRequest&, THttpResponse& response) {
            response.Text(status, text);
            response.refusal = refusal;
        });
    };
    // Nothing the game or a browser sends comes near these.
    if (request.target.size() > 1024) return reply(414, "ERR|too long\n", "target too long");
    if (request.headers.size() > 64)
        return reply(431, "ERR|too many headers\n", "too many headers");

    const std::string& path = request.path;
    if (path == "/cgi/version.pl") {
        if (request.Param("prg") != kProgram) return reply(404, "ERR|unknown program\n");
        if (request.HasParam("version"))
            return guarded(true, [this](const THttpRequest& r, THttpResponse& response) {
                Version(r, response);
            });
        if (request.HasParam("hs"))
            return guarded(true, [this](const THttpRequest& r, THttpResponse& response) {
                Result(r, response);
            });
        if (request.HasParam("show") && request.Param("type") == "0") {
            const bool all = request.Param("all") == "1";
            return guarded(true, [this, all](const THttpRequest&, THttpResponse& response) {
                response.Text(200,
                              TablePage(Timed([&] { return store_.Best(kTableSize, !all); }), all),
                              kHtmlType);
                response.Set("Cache-Control", "no-cache");
            });
        }
        return reply(400, "ERR|unknown request\n");
    }
    if (path == "/")
        return guarded(false, [](const THttpRequest&, THttpResponse& response) {
            response.Text(200, HomePage(), kHtmlType);
        });
    if (path == "/api/scores") {
        int limit = kTableSize;
        if (request.HasParam("limit") && !ParseInt(request.Param("limit"), 1, kTableSize, limit))
            return guarded(false, [](const THttpRequest&, THttpResponse& response) {
                response.Text(400, "{\"error\":\"limit must be 1 to 100\"}\n", "application/json");
            });
        const bool all = request.Param("all") == "1";
        return guarded(true, [this, limit, all](const THttpRequest&, THttpResponse& response) {
            response.Text(200, ScoresJson(Timed([&] { return store_.Best(limit, !all); })),
                          "application/json");
            response.Set("Access-Control-Allow-Origin", "*");
            response.Set("Cache-Control", "no-cache");
        });
    }
    if (path == "/api/replays") {
        if (request.method != "POST") return reply(405, "ERR|only POST\n", "method not allowed");
        TRoute route = guarded(true, [this](const THttpRequest& r, THttpResponse& response) {
            UploadReplay(r, response);
        });
        route.maxBody = kMaxReplayBytes;
        return route;
    }
    if (path.rfind("/api/replays/", 0) == 0) {
        int64_t id = 0;
        const std::string digits = path.substr(13);
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
            id <= 0)
            return reply(404, "ERR|not found\n");
        return guarded(true, [this, id](const THttpRequest&, THttpResponse& response) {
            ServeReplay(id, response);
        });
    }
    if (path == "/healthz")
        return guarded(false, [this](const THttpRequest&, THttpResponse& response) {
            response.Text(200, "ok " + std::to_string(results_.load()) + " results\n");
            response.Set("Cache-Control", "no-store");
        });
    if (path == "/readyz")
        return guarded(true,
                       [this](const THttpRequest&, THttpResponse& response) { Ready(response); });
    if (path == "/metrics")
        return guarded(false, [this](const THttpRequest&, THttpResponse& response) {
            response.Text(200, metrics_.Text(http_.OpenConnections()),
                          "text/plain; version=0.0.4; charset=utf-8");
            response.Set("Cache-Control", "no-store");
        });
    if (site_ && path == "/play")
        // The game's page names its files relative to its folder, which an address without
        // the last slash would lose.
        return guarded(false, [](const THttpRequest&, THttpResponse& response) {
            response.Text(302, "");
            response.Set("Location", "/play/");
        });
    if (site_ && game)
        return guarded(false, [this](const THttpRequest& r, THttpResponse& response) {
            site_->Serve(r, r.path.substr(6), response);
        });
    return reply(404, "ERR|not found\n");
}

void TScoreServer::Ready(THttpResponse& response) {
    response.Set("Cache-Control", "no-store");
    try {
        Timed([&] { store_.CheckWritable(); });
        response.Text(200, "ready\n");
    } catch (const EStoreError& e) {
        response.Text(503, "ERR|not ready: " + LogSafe(e.what()) + "\n");
        response.refusal = "not ready";
    }
}

void TScoreServer::Version(const THttpRequest& request, THttpResponse& response) {
    response.Set("Cache-Control", "no-store");
    if (!Allow(versionLimit_, "version", options_.VersionsPerMinute, ClientAddress(request))) {
        response.Text(429, "ERR|too many requests\n");
        response.refusal = "version requests over the rate limit";
        return;
    }
    const int64_t now = clock_();
    const std::string token = NewToken();
    Timed([&] { store_.AddToken(token, now); });
    response.Text(200,
                  "OK|" PONDLARK_VERSION "|" + HomeUrl() + "|" + IsoTime(now) + "|" + token + "|");
}

void TScoreServer::Result(const THttpRequest& request, THttpResponse& response) {
    response.Set("Cache-Control", "no-store");
    const auto refuse = [&](int status, TRefusal refusal) {
        response.Text(status, "ERR|" + std::string(RefusalText(refusal)) + "\n");
        response.refusal = RefusalText(refusal);
    };
    const std::string client = ClientAddress(request);
    if (!Allow(resultLimit_, "result", options_.ResultsPerMinute, client))
        return refuse(429, TRefusal::RateLimited);
    // The query must hold exactly one payload: two would leave the choice to the parser.
    if (request.ParamCount("inf") != 1) return refuse(400, TRefusal::Empty);
    const TCheckedResult checked = CheckResultRequest(request.Param("inf"));
    if (checked.refusal != TRefusal::None) return refuse(400, checked.refusal);
    const TNewResult result{checked, checked.token, client};
    const TStoreOutcome outcome = Timed([&] { return store_.StoreResult(result, clock_()); });
    if (outcome == TStoreOutcome::Refused) return refuse(400, TRefusal::UnknownToken);
    if (outcome == TStoreOutcome::Stored) {
        ++results_;
        // It may have come with a replay: a worker looks now rather than at its next round.
        if (verifiers_) verifiers_->Wake();
    }
    response.Text(200, "OK\n");
}

void TScoreServer::UploadReplay(const THttpRequest& request, THttpResponse& response) {
    response.Set("Cache-Control", "no-store");
    const auto refuse = [&](int status, const std::string& reason) {
        response.Text(status, "ERR|" + reason + "\n");
        response.refusal = reason;
    };
    if (!Allow(replayLimit_, "replay", options_.ResultsPerMinute, ClientAddress(request)))
        return refuse(429, "too many requests");
    if (request.ParamCount("token") != 1 || !IsTokenShaped(request.Param("token")))
        return refuse(400, "bad token");
    if (request.body.empty()) return refuse(400, "empty replay");
    const std::string digest = Sha256Hex(request.body);
    const TReplayOutcome outcome = Timed(
        [&] { return store_.StoreReplay(request.Param("token"), request.body, digest, clock_()); });
    if (outcome == TReplayOutcome::Refused) return refuse(400, "unknown token");
    response.Text(200, "OK\n");
}

void TScoreServer::ServeReplay(int64_t replayId, THttpResponse& response) {
    const std::optional<std::string> bytes = Timed([&] { return store_.VerifiedReplay(replayId); });
    if (!bytes) {
        response.Text(404, "ERR|not found\n");
        return;
    }
    response.Text(200, *bytes, "application/octet-stream");
    response.Set("Content-Disposition",
                 "attachment; filename=\"pondlark-" + std::to_string(replayId) + ".replay\"");
    // A verified replay never changes.
    response.Set("Cache-Control", "public, max-age=31536000, immutable");
}

bool TScoreServer::Allow(TRateLimiter& limiter, const char* kind, int perMinute,
                         const std::string& client) {
    if (!options_.SharedLimits) return limiter.Allow(client, SteadyMillis());
    const int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    return Timed(
        [&] { return store_.TakeToken(std::string(kind) + " " + client, perMinute, nowMs); });
}

void TScoreServer::Log(const THttpRequest& request, const THttpResponse& response, double ms) {
    std::string route = "other";
    const std::string& path = request.path;
    if (request.method.empty())
        route = "connection";
    else if (path == "/cgi/version.pl")
        route = request.HasParam("hs")        ? "result"
                : request.HasParam("version") ? "version"
                                              : "table";
    else if (path == "/" || path == "/api/scores" || path == "/healthz" || path == "/readyz" ||
             path == "/metrics")
        route = path == "/" ? "home" : path.substr(1);
    else if (path.rfind("/api/replays", 0) == 0)
        route = "api/replays";
    else if (path.rfind("/play", 0) == 0)
        route = "play";
    metrics_.CountRequest(route, response.status);
    if (!response.refusal.empty()) metrics_.CountRefusal(response.refusal);

    const std::string client = request.method.empty() ? request.peer : ClientAddress(request);
    std::string line =
        IsoTime(SystemSeconds()) + " " + LogSafe(client) + " \"" +
        LogSafe(request.method.empty() ? "-" : request.method) + " " +
        LogSafe(request.method.empty() ? "(connection)" : LoggedTarget(request.target)) + "\" " +
        std::to_string(response.status);
    char taken[32];
    std::snprintf(taken, sizeof taken, " %.2f ms", ms);
    line += taken;
    if (!response.refusal.empty()) line += " refused: " + LogSafe(response.refusal);
    std::lock_guard lock(logMutex_);
    std::fprintf(log_, "%s\n", line.c_str());
    std::fflush(log_);
}

} // namespace pondlark::scores
