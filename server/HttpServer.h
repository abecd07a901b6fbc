// The service's HTTP/1.1 server, made for many slow or idle clients: one event loop (Boost.Asio,
// requests parsed by Boost.Beast) holds every connection, so a connection that idles, trickles
// its head or reads its reply slowly costs a socket and a little memory, never a thread. Work
// that may wait for the database runs on a pool of workers, each request with a deadline after
// which the client gets a 503 whatever the worker is doing.
//
// What a connection may do:
//   - each address holds at most MaxConnectionsPerAddress connections (more are answered 503
//     and closed), and the server at most MaxConnections;
//   - a request's head must arrive whole within HeaderTimeout of its first byte, and be at most
//     MaxHeaderBytes;
//   - between requests (and before the first) a connection may idle for IdleTimeout, and it
//     serves at most MaxRequestsPerConnection requests;
//   - a reply has no deadline, only a minimum rate: over each SendTimeout the client must take
//     MinSendRate bytes a second of it (what waits in the kernel's buffers does not count), so
//     a slow reader gets a whole file however long it takes, and one that stops is dropped;
//   - strict framing: GET and HEAD without a body. A request with Content-Length (other than 0)
//     or Transfer-Encoding, or one the parser cannot read, gets one 400 and the connection
//     closes, so a body can never be taken for the next request. POST only where the router
//     says so (TRoute::maxBody), with a Content-Length of at most that (413 beyond, 411 without
//     one, 400 for Transfer-Encoding); the body must arrive within HeaderTimeout plus one second
//     for every MinSendRate bytes of it.
//
// Threads: Run serves on the calling thread until Stop (callable from any thread). After Stop
// the listening socket closes at once, idle connections close, and requests in flight are
// answered (with "Connection: close") for up to StopGrace; then Run returns. Workers still
// inside a handler are joined by the destructor.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pondlark::scores {

struct THttpLimits {
    std::chrono::milliseconds HeaderTimeout{10000};
    std::chrono::milliseconds IdleTimeout{5000};
    std::chrono::milliseconds SendTimeout{10000};
    size_t MinSendRate = 2048; // bytes a second
    size_t MaxRequestsPerConnection = 100;
    size_t MaxHeaderBytes = 16 * 1024;
    int MaxConnectionsPerAddress = 64; // 0 for no limit
    int MaxConnections = 10000;
    std::chrono::milliseconds HandlerTimeout{1800}; // a worker's request, then 503
    std::chrono::milliseconds StopGrace{3000};
};

struct THttpRequest {
    std::string method;                                       // "GET", "HEAD" or "POST"
    std::string target;                                       // as sent: path and query
    std::string path;                                         // the target's path, percent-decoded
    std::string query;                                        // after '?', as sent
    std::string peer;                                         // the connection's address
    std::vector<std::pair<std::string, std::string>> headers; // names in lower case
    std::vector<std::pair<std::string, std::string>> params;  // decoded query
    std::chrono::steady_clock::time_point started;            // the head's first byte
    std::string body;                                         // a POST's, whole

    // The first header of that (lower-case) name, "" when absent.
    std::string Header(std::string_view name) const;
    bool HasParam(std::string_view name) const;
    // The first value of the parameter, "" when absent.
    std::string Param(std::string_view name) const;
    size_t ParamCount(std::string_view name) const;
};

struct THttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    // The body: `body`, or when `shared` is set, `length` bytes of it from `offset` (a cached
    // file, shared by every reply that sends it).
    std::string body;
    std::shared_ptr<const std::string> shared;
    size_t offset = 0;
    size_t length = 0;
    // Set by the handler for the log: why a request was refused ("" when it was not).
    std::string refusal;

    void Set(std::string name, std::string value);
    std::string Header(std::string_view name) const;
    void Text(int code, std::string text, const char* type = "text/plain; charset=utf-8");
    size_t BodySize() const { return shared ? length : body.size(); }
};

class THttpServer {
public:
    using THandler = std::function<void(const THttpRequest&, THttpResponse&)>;
    struct TRoute {
        bool onWorker = false; // may wait (for the database): run on a worker with a deadline
        THandler handle;
        // A POST route: the most bytes of body it takes (0: POST is not allowed here, 405).
        size_t maxBody = 0;
    };
    // Chooses the handler for a request from its head (a POST's body is read afterwards); runs
    // on the event loop, so it must not block.
    using TRouter = std::function<TRoute(const THttpRequest&)>;
    // Called on the event loop for every reply as it goes out (and for refused connections,
    // with an empty method), with the milliseconds since the request's first byte.
    using TLogger = std::function<void(const THttpRequest&, const THttpResponse&, double ms)>;
    // A handler threw: what to answer (the default is a plain 503).
    using TFailure = std::function<void(const std::string& what, THttpResponse&)>;

    THttpServer(const THttpLimits& limits, int workers, TRouter router, TLogger logger,
                TFailure failure);
    ~THttpServer();
    THttpServer(const THttpServer&) = delete;
    THttpServer& operator=(const THttpServer&) = delete;

    // Listens on host:port (port 0: a free one); returns the port. Throws std::runtime_error.
    int Bind(const std::string& host, int port);
    // Serves until Stop; false when not bound.
    bool Run();
    void Stop();

    // Connections open now (any thread).
    int64_t OpenConnections() const;

private:
    class TImpl;
    std::unique_ptr<TImpl> impl_;
};

} // namespace pondlark::scores
