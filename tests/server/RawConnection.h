// A raw TCP connection to a service on loopback, for requests no HTTP client library would
// send and clients that misbehave on purpose (trickling, idling, reading slowly).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace pondlark::test_support {

class TRawConnection {
public:
    // From `source` (any 127.x.y.z: loopback takes them all, so a test can be several
    // addresses); `receiveBuffer` > 0 shrinks the socket's buffer, for a slow reader.
    explicit TRawConnection(int port, const char* source = "127.0.0.1", int receiveBuffer = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        ::inet_pton(AF_INET, source, &from.sin_addr);
        // A source address that cannot be had leaves the connection from the default one.
        (void)::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~TRawConnection() { ::close(fd_); }
    TRawConnection(const TRawConnection&) = delete;
    TRawConnection& operator=(const TRawConnection&) = delete;

    bool Connected() const { return connected_; }
    // False once the peer has closed the connection.
    bool Send(const std::string& text) {
        return ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    }
    // Everything until the peer closes (or 20 s pass).
    std::string ReadAll() {
        std::string out;
        char buffer[4096];
        for (int i = 0; i < 400; ++i) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }
    // What has arrived, without waiting; sets `closed` when the peer has closed.
    std::string ReadAvailable(bool& closed) {
        std::string out;
        char buffer[16384];
        while (true) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n == 0) closed = true;
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }
    // Up to `limit` bytes, waiting at most `waitMs` for the first.
    std::string Read(size_t limit, int waitMs, bool& closed) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0) return "";
        std::string out(limit, '\0');
        const ssize_t n = ::recv(fd_, out.data(), limit, 0);
        if (n <= 0) {
            closed = true;
            return "";
        }
        out.resize(static_cast<size_t>(n));
        return out;
    }

private:
    int fd_;
    bool connected_ = false;
};

} // namespace pondlark::test_support
