#include "server/BoundedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

namespace pondlark::scores {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The header that carries the request's start to the access log. Whatever a client sends
// under this name is replaced.
constexpr const char* kStartedHeader = "X-Pondlark-Started-Us";

int64_t NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

void AddressOf(const sockaddr_storage& addr, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (addr.ss_family == AF_INET) {
        const auto& a = reinterpret_cast<const sockaddr_in&>(addr);
        inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
        port = ntohs(a.sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto& a = reinterpret_cast<const sockaddr_in6&>(addr);
        inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
        port = ntohs(a.sin6_port);
    }
    ip = text;
}

// A socket read with a deadline and a byte budget per request, buffered because the library
// reads a request head one byte at a time.
class TDeadlineStream final : public httplib::Stream {
public:
    TDeadlineStream(int fd, const THttpLimits& limits) : fd_(fd), limits_(limits) {}

    void StartRequest() {
        deadline_ = Clock::now() + limits_.RequestDeadline;
        budget_ = limits_.MaxRequestBytes;
    }
    // True once a read or write failed: time-out, deadline, budget, or the peer gone. The
    // library may still answer such a request (a 400) and offer to keep the connection; the
    // connection is closed instead, or a trickling client would start request after request.
    bool Broken() const { return broken_; }

    // Waits up to `timeout` for the first byte of another request; gives up early when
    // `stopping` says so and nothing has arrived.
    template <class Stopping> bool WaitForRequest(milliseconds timeout, Stopping stopping) {
        const auto end = Clock::now() + timeout;
        while (true) {
            if (pos_ < len_ || Poll(POLLIN, milliseconds(50))) return true;
            if (stopping() || Clock::now() >= end) return false;
        }
    }

    bool is_readable() const override {
        return pos_ < len_ || Poll(POLLIN, Remaining(limits_.ReadTimeout));
    }
    bool is_writable() const override { return Poll(POLLOUT, Remaining(limits_.ReadTimeout)); }

    ssize_t read(char* ptr, size_t size) override {
        // A request larger than any this service takes, one that has taken too long, or a
        // client that has sent nothing for the read time-out.
        if (budget_ == 0 || Clock::now() >= deadline_ || (pos_ >= len_ && !is_readable())) {
            broken_ = true;
            return -1;
        }
        if (pos_ >= len_) {
            ssize_t n;
            do {
                n = ::recv(fd_, buffer_, sizeof buffer_, 0);
            } while (n < 0 && errno == EINTR);
            if (n <= 0) {
                broken_ = true;
                return n;
            }
            pos_ = 0;
            len_ = static_cast<size_t>(n);
        }
        const size_t n = std::min({size, len_ - pos_, budget_});
        std::memcpy(ptr, buffer_ + pos_, n);
        pos_ += n;
        budget_ -= n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (Clock::now() >= deadline_ || !is_writable()) {
            broken_ = true;
            return -1;
        }
        ssize_t n;
        do {
            n = ::send(fd_, ptr, size, MSG_NOSIGNAL);
        } while (n < 0 && errno == EINTR);
        if (n < 0) broken_ = true;
        return n;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            AddressOf(addr, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            AddressOf(addr, ip, port);
    }
    socket_t socket() const override { return fd_; }

private:
    // The shorter of `wait` and what is left of the request's deadline.
    milliseconds Remaining(milliseconds wait) const {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline_ - Clock::now());
        return std::clamp(left, milliseconds(0), wait);
    }
    bool Poll(short events, milliseconds wait) const {
        pollfd p{fd_, events, 0};
        int n;
        do {
            n = ::poll(&p, 1, static_cast<int>(wait.count()));
        } while (n < 0 && errno == EINTR);
        return n > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
    }

    int fd_;
    const THttpLimits& limits_;
    Clock::time_point deadline_ = Clock::now();
    size_t budget_ = 0;
    bool broken_ = false;
    char buffer_[4096];
    size_t pos_ = 0;
    size_t len_ = 0;
};

} // namespace

TBoundedHttpServer::TBoundedHttpServer(const THttpLimits& limits) : limits_(limits) {
    // Bodies are not part of this service; the byte budget covers the rest.
    set_payload_max_length(limits.MaxRequestBytes);
}

void TBoundedHttpServer::WidenListenQueue(int connections) {
    ::listen(svr_sock_, connections);
}

int64_t TBoundedHttpServer::StartedMicros(const httplib::Request& request) {
    // A request the library refused before it was set up may still carry the client's own.
    const std::string value = request.get_header_value(kStartedHeader);
    int64_t micros = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), micros);
    return error == std::errc() && end == value.data() + value.size() ? micros : 0;
}

bool TBoundedHttpServer::process_and_close_socket(socket_t sock) {
    // A reply goes out as a head and a body: without this the second write waits for the
    // client's delayed acknowledgement, some 40 ms.
    const int on = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    TDeadlineStream stream(sock, limits_);
    bool ok = true;
    for (size_t served = 0; served < limits_.KeepAliveMaxRequests; ++served) {
        // A new connection gets the read time-out to begin; between requests a connection may
        // idle for the keep-alive time, or not at all once the server is stopping.
        const bool waited =
            stream.WaitForRequest(served == 0 ? limits_.ReadTimeout : limits_.KeepAliveTimeout,
                                  [&] { return served > 0 && svr_sock_ == INVALID_SOCKET; });
        if (!waited) break;
        const int64_t started = NowMicros();
        stream.StartRequest();
        const bool last = served + 1 == limits_.KeepAliveMaxRequests || svr_sock_ == INVALID_SOCKET;
        bool closed = false;
        ok = process_request(stream, last, closed, [started](httplib::Request& request) {
            request.headers.erase(kStartedHeader);
            request.headers.emplace(kStartedHeader, std::to_string(started));
        });
        if (!ok || closed || stream.Broken()) break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

} // namespace pondlark::scores
