// A small blocking HTTP/1.1 client for the publisher's web service.
//
// A GET sends exactly the headers the service has always seen (Accept "text/html, */*",
// User-Agent "Mozilla/3.0 (compatible; Indy Library)", Content-Type "text/html"); a POST (the
// game's replay) the same with Content-Type "application/octet-stream" and its length. Both ignore
// any proxy settings of the environment, does not follow redirects and returns the whole reply body
// as bytes. Cookies the service sets are kept for the client's lifetime and sent back with later
// requests.
//
// Failures are exceptions: `Get` throws `EHttpError` when the connection fails, the reply cannot
// be read, a time-out expires, the body exceeds the size limit or the status is outside 200-299.
// Nothing else is thrown (apart from std::bad_alloc).
//
// Time-outs: a silent server must never freeze the game, so connecting gives up after 5 s and a
// whole request after 15 s; both can be shortened (tests use about a second).
//
// Threads: one client is used from one thread at a time; separate clients may run on separate
// threads. The client blocks its caller for the duration of a request. `Abandon` is the one call
// another thread may make meanwhile: a program that is closing need not wait for a silent server.
//
// Loading: the transfer library (libcurl and the 30-odd libraries it pulls in) is loaded by its
// versioned name when the first request starts, not when the program starts: most games never
// send a result, and every library loaded at start delays the first frame and stays in memory.
// Once loaded it stays loaded for the rest of the process. A library that cannot be loaded makes
// every `Get` throw EHttpError naming it (and why), and is reported once on standard error.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace pondlark {

class EHttpError : public std::runtime_error {
public:
    // `status` is the HTTP status of the reply, or 0 when no complete reply arrived.
    EHttpError(const std::string& message, long status = 0)
        : std::runtime_error(message), status_(status) {}
    long Status() const { return status_; }

private:
    long status_;
};

struct THttpTimeouts {
    std::chrono::milliseconds Connect{5000};
    std::chrono::milliseconds Total{15000};
};

// The versioned name of the transfer library the desktop client loads.
inline constexpr const char* kHttpLibrary = "libcurl.so.4";

class THttpClient {
public:
    // Never throws and loads nothing: the library `library` (a name or path as dlopen takes it)
    // is loaded by the first `Get`; when it or the transfer handle cannot be had, every `Get`
    // reports it.
    explicit THttpClient(std::string library = kHttpLibrary);
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    void SetTimeouts(const THttpTimeouts& timeouts) { timeouts_ = timeouts; }
    const THttpTimeouts& Timeouts() const { return timeouts_; }

    // Largest reply body accepted; the service's replies are a few bytes, so anything far
    // larger is a broken or hostile server and is refused rather than buffered without end.
    void SetMaxBodySize(std::size_t bytes) { maxBody_ = bytes; }
    std::size_t MaxBodySize() const { return maxBody_; }

    // Sends one GET to an absolute "http://" URL and returns the reply body.
    std::string Get(const std::string& url);
    // Sends `body` with one POST to an absolute "http://" URL and returns the reply body.
    std::string Post(const std::string& url, const std::string& body);

    // Safe from any thread: ends the request under way at once (its `Get` throws EHttpError) and
    // refuses every later one. There is no way back; it is meant for a program that is closing.
    void Abandon();
    bool Abandoned() const { return abandoned_.load(std::memory_order_acquire); }

private:
    std::string Request(const std::string& url, const std::string* body);
    // Loads the library and makes the handles on first use; throws EHttpError when it cannot.
    void Open();

    std::string library_;
    std::string openError_; // why the library or the handles could not be had; then kept
    std::unique_ptr<struct TCurlCalls> calls_; // the loaded library's entry points, once loaded
    void* curl_ = nullptr; // CURL*, owned; kept for the lifetime so its cookie store lives on
    // CURLM*, owned; runs the transfers so that `Abandon` can wake them. Set once by `Open`
    // while `Abandon` may read it from another thread.
    std::atomic<void*> multi_{nullptr};
    std::atomic<bool> abandoned_{false};
    THttpTimeouts timeouts_;
    std::size_t maxBody_ = 1 << 20;
};

} // namespace pondlark
