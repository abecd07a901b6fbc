// cpp-httplib's server with limits a public service needs and the library leaves open.
//
// The library reads a request with a time-out per read only, so a client that sends one byte
// every few seconds, or headers without end, would hold a worker for as long as it likes. Here
// each connection is read through a stream that gives every request a deadline for the whole
// exchange and a budget of bytes (request line, headers and body together); a request that
// runs out of either is dropped. Idle keep-alive connections are closed after a short time,
// and when the server stops, a connection finishes the request it is in and then closes.
// Parsing and routing stay the library's.
#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>

namespace pondlark::scores {

struct THttpLimits {
    std::chrono::milliseconds ReadTimeout{5000};      // one wait for bytes from the client
    std::chrono::milliseconds RequestDeadline{10000}; // reading a whole request, writing a reply
    std::chrono::milliseconds KeepAliveTimeout{2000}; // an idle connection between requests
    size_t KeepAliveMaxRequests = 50;
    size_t MaxRequestBytes = 16 * 1024;
};

class TBoundedHttpServer : public httplib::Server {
public:
    explicit TBoundedHttpServer(const THttpLimits& limits);

    // After binding: lets `connections` wait to be accepted. The library listens with a queue
    // of five, and a burst of players beyond that has its connections dropped and retried a
    // second later.
    void WidenListenQueue(int connections);

    // The steady-clock time (in microseconds since its epoch) at which the request's first byte
    // arrived, as recorded on the request; 0 when unknown.
    static int64_t StartedMicros(const httplib::Request& request);

private:
    bool process_and_close_socket(socket_t sock) override;

    THttpLimits limits_;
};

} // namespace pondlark::scores
