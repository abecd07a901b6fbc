#include "server/ScoreServer.h"

#include "server/Pages.h"
#include "server/ResultCheck.h"

#include <sys/random.h>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <stdexcept>

namespace pondlark::scores {

namespace {

constexpr const char* kProgram = "Pondlark";
constexpr const char* kTextType = "text/plain; charset=utf-8";
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
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

// Printable ASCII stays; anything else (and the quote and backslash) as \xHH, so one request
// is always one line of the log.
std::string LogSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool ParseInt(std::string_view text, int low, int high, int& value) {
    int v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || v < low || v > high)
        return false;
    value = v;
    return true;
}

void Reply(httplib::Response& response, int status, const std::string& body) {
    response.status = status;
    response.set_content(body, kTextType);
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
  --workers N                 requests served at once (default 16)
  --results-per-minute N      results one address may send a minute, in bursts of N
                              (default 20; 0 for no limit)
  --versions-per-minute N     version requests one address may make a minute (default 120;
                              0 for no limit)
  --public-url URL            the home page named in version replies (default http:// and the
                              Host the game asked for)
  --site DIR                  serve the files of DIR under /play/ (the browser game that
                              scripts/web builds: its results come back to this service)
  --request-timeout SECONDS   time a client has to send a whole request and read its reply
                              (default 10); a single read waits at most 5 s
  --help                      this text

Every request is logged on standard error: time, address, method, path with query, status and
milliseconds taken. SIGTERM or SIGINT finishes the requests in flight and exits with status 0.
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
            options.Limits.RequestDeadline = std::chrono::seconds(seconds);
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

TScoreServer::TScoreServer(IScoreStore& store, const TServiceOptions& options, std::FILE* log,
                           TClock clock)
    : store_(store), options_(options), log_(log),
      clock_(clock ? std::move(clock) : TClock(SystemSeconds)),
      resultLimit_(options.ResultsPerMinute), versionLimit_(options.VersionsPerMinute),
      http_(options.Limits) {
    const int workers = options.Workers;
    http_.new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    http_.set_keep_alive_max_count(options.Limits.KeepAliveMaxRequests);
    // Only what the Keep-Alive header promises; the connection loop keeps to the same time.
    http_.set_keep_alive_timeout(std::max<time_t>(
        1,
        std::chrono::duration_cast<std::chrono::seconds>(options.Limits.KeepAliveTimeout).count()));
    http_.set_read_timeout(
        std::chrono::duration_cast<std::chrono::seconds>(options.Limits.ReadTimeout));
    Routes();
}

int TScoreServer::Bind() {
    // The browser game: its page, script, program and data as plain files.
    if (!options_.Site.empty()) {
        http_.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
        http_.set_file_extension_and_mimetype_mapping("data", "application/octet-stream");
        if (!http_.set_mount_point("/play", options_.Site))
            throw std::runtime_error("cannot serve the folder " + options_.Site);
    }
    if (options_.Port == 0) {
        port_ = http_.bind_to_any_port(options_.Host);
        if (port_ <= 0) throw std::runtime_error("cannot listen on " + options_.Host);
    } else {
        if (!http_.bind_to_port(options_.Host, options_.Port))
            throw std::runtime_error("cannot listen on " + options_.Host + ":" +
                                     std::to_string(options_.Port));
        port_ = options_.Port;
    }
    http_.WidenListenQueue(SOMAXCONN);
    return port_;
}

bool TScoreServer::Run() {
    return http_.listen_after_bind();
}

void TScoreServer::Stop() {
    http_.stop();
}

std::string TScoreServer::HomeUrl(const httplib::Request& request) const {
    if (!options_.PublicUrl.empty()) return options_.PublicUrl;
    // The host the game asked for, when it is a plain name or address with a port.
    const std::string host = request.get_header_value("Host");
    const bool plain = !host.empty() && host.size() <= 255 &&
                       host.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789.-:[]") == std::string::npos;
    if (plain) return "http://" + host + "/";
    return "http://" + options_.Host + ":" + std::to_string(port_) + "/";
}

void TScoreServer::Routes() {
    http_.Get("/cgi/version.pl",
              [this](const httplib::Request& request, httplib::Response& response) {
                  if (request.get_param_value("prg") != kProgram) {
                      Reply(response, 404, "ERR|unknown program\n");
                  } else if (request.has_param("version")) {
                      Version(request, response);
                  } else if (request.has_param("hs")) {
                      Result(request, response);
                  } else if (request.has_param("show") && request.get_param_value("type") == "0") {
                      response.set_content(TablePage(store_.Best(kTableSize)), kHtmlType);
                      response.set_header("Cache-Control", "no-cache");
                  } else {
                      Reply(response, 400, "ERR|unknown request\n");
                  }
              });
    http_.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(HomePage(), kHtmlType);
    });
    http_.Get("/api/scores", [this](const httplib::Request& request, httplib::Response& response) {
        int limit = kTableSize;
        if (request.has_param("limit") &&
            !ParseInt(request.get_param_value("limit"), 1, kTableSize, limit)) {
            response.status = 400;
            response.set_content("{\"error\":\"limit must be 1 to 100\"}\n", "application/json");
            return;
        }
        response.set_content(ScoresJson(store_.Best(limit)), "application/json");
        response.set_header("Access-Control-Allow-Origin", "*");
        response.set_header("Cache-Control", "no-cache");
    });
    http_.Get("/healthz", [this](const httplib::Request&, httplib::Response& response) {
        Reply(response, 200, "ok " + std::to_string(store_.CountResults()) + " results\n");
    });

    http_.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            // The game's page names its files relative to its folder, which an address without the
            // last slash would lose.
            if (request.path == "/play" && !options_.Site.empty()) {
                response.set_redirect("/play/");
                return httplib::Server::HandlerResponse::Handled;
            }
            // Nothing the game or a browser sends comes near these.
            if (request.target.size() > 1024) {
                Reply(response, 414, "ERR|too long\n");
                return httplib::Server::HandlerResponse::Handled;
            }
            if (request.headers.size() > 64) {
                Reply(response, 431, "ERR|too many headers\n");
                return httplib::Server::HandlerResponse::Handled;
            }
            if (request.method != "GET" && request.method != "HEAD") {
                Reply(response, 405, "ERR|only GET\n");
                return httplib::Server::HandlerResponse::Handled;
            }
            return httplib::Server::HandlerResponse::Unhandled;
        });
    http_.set_post_routing_handler(
        [](const httplib::Request& request, httplib::Response& response) {
            // The service's pages carry no scripts and load nothing from elsewhere; the browser
            // game runs its own script and program and loads its data, from this host only (no
            // eval: a page that cannot be made to run text as a script).
            const bool game = request.path.rfind("/play/", 0) == 0;
            response.set_header("Content-Security-Policy", game ? kGamePolicy : kPagePolicy);
            response.set_header("X-Content-Type-Options", "nosniff");
        });
    http_.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request&, httplib::Response& response) {
            // Replies that already say what went wrong keep their words.
            if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            Reply(response, response.status, response.status == 404 ? "ERR|not found\n" : "ERR\n");
            return httplib::Server::HandlerResponse::Handled;
        }));
    http_.set_exception_handler(
        [this](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            std::string what = "unknown error";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            {
                std::lock_guard lock(logMutex_);
                std::fprintf(log_, "pondlark-scores: %s\n", LogSafe(what).c_str());
            }
            // A database that does not answer is a passing trouble: the game may try again.
            Reply(response, 503, "ERR|try later\n");
        });
    http_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        Log(request, response);
    });
}

void TScoreServer::Version(const httplib::Request& request, httplib::Response& response) {
    if (!versionLimit_.Allow(request.remote_addr, SteadyMillis())) {
        Reply(response, 429, "ERR|too many requests\n");
        return;
    }
    const int64_t now = clock_();
    const std::string token = NewToken();
    store_.AddToken(token, now);
    Reply(response, 200,
          "OK|" PONDLARK_VERSION "|" + HomeUrl(request) + "|" + IsoTime(now) + "|" + token + "|");
    response.set_header("Cache-Control", "no-store");
}

void TScoreServer::Result(const httplib::Request& request, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    if (!resultLimit_.Allow(request.remote_addr, SteadyMillis())) {
        Reply(response, 429, "ERR|" + std::string(RefusalText(TRefusal::RateLimited)) + "\n");
        return;
    }
    // The query must hold exactly one payload: two would leave the choice to the parser.
    if (request.get_param_value_count("inf") != 1) {
        Reply(response, 400, "ERR|" + std::string(RefusalText(TRefusal::Empty)) + "\n");
        return;
    }
    const TCheckedResult checked = CheckResultRequest(request.get_param_value("inf"));
    if (checked.refusal != TRefusal::None) {
        Reply(response, 400, "ERR|" + std::string(RefusalText(checked.refusal)) + "\n");
        return;
    }
    const TNewResult result{checked.name, checked.country, checked.score, checked.token,
                            request.remote_addr};
    if (!store_.StoreResult(result, clock_())) {
        Reply(response, 400, "ERR|" + std::string(RefusalText(TRefusal::UnknownToken)) + "\n");
        return;
    }
    Reply(response, 200, "OK\n");
}

void TScoreServer::Log(const httplib::Request& request, const httplib::Response& response) {
    const int64_t started = TBoundedHttpServer::StartedMicros(request);
    const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    const double ms = started > 0 ? static_cast<double>(now - started) / 1000.0 : 0.0;
    const std::string line = IsoTime(SystemSeconds()) + " " + LogSafe(request.remote_addr) + " \"" +
                             LogSafe(request.method) + " " + LogSafe(request.target) + "\" " +
                             std::to_string(response.status);
    std::lock_guard lock(logMutex_);
    std::fprintf(log_, "%s %.2f ms\n", line.c_str(), ms);
    std::fflush(log_);
}

} // namespace pondlark::scores
