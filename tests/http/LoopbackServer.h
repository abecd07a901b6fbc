// A scripted HTTP server on 127.0.0.1 for tests.
//
// It listens on a free port, accepts one connection per scripted reply (in order), records each
// raw request up to its blank line, answers with the scripted status, headers and body, and
// closes the connection. A `Silent` reply accepts and then never answers. The server stops by
// itself when the script is used up or after `lifetime`, and at destruction; it never touches
// anything but the loopback interface.
#pragma once

#include "http/ClosedPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace pondlark::test_support {

struct ScriptedReply {
    int status = 200;
    std::string body;
    std::string extraHeaders; // complete lines, each ending "\r\n"
    bool silent = false;      // accept, read, never answer

    static ScriptedReply Ok(std::string body) { return {200, std::move(body), {}, false}; }
    static ScriptedReply Status(int status) { return {status, "error", {}, false}; }
    static ScriptedReply Silent() { return {200, {}, {}, true}; }
};

class LoopbackServer {
public:
    explicit LoopbackServer(std::vector<ScriptedReply> script,
                            std::chrono::milliseconds lifetime = std::chrono::seconds(10))
        : script_(std::move(script)), deadline_(std::chrono::steady_clock::now() + lifetime) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) ||
            ::listen(listenFd_, 8) ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len))
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        thread_.join();
        ::close(listenFd_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // The raw requests received so far (request line and headers, up to the blank line).
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool Expired() const { return stop_ || std::chrono::steady_clock::now() >= deadline_; }

    // Waits for `fd` to become readable in short slices so that a stop is noticed quickly.
    bool WaitReadable(int fd) const {
        while (!Expired()) {
            pollfd p{fd, POLLIN, 0};
            const int n = ::poll(&p, 1, 20);
            if (n > 0) return true;
            if (n < 0) return false;
        }
        return false;
    }

    void Serve() {
        for (const ScriptedReply& reply : script_) {
            if (!WaitReadable(listenFd_)) return;
            const int fd = ::accept(listenFd_, nullptr, nullptr);
            if (fd < 0) return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 &&
                   WaitReadable(fd)) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            if (reply.silent) {
                while (WaitReadable(fd)) { // hold the line open until the client gives up
                    if (::recv(fd, buffer, sizeof buffer, 0) <= 0) break;
                }
            } else {
                const std::string answer = "HTTP/1.1 " + std::to_string(reply.status) +
                                           " Scripted\r\nContent-Type: text/html\r\n" +
                                           "Content-Length: " + std::to_string(reply.body.size()) +
                                           "\r\nConnection: close\r\n" + reply.extraHeaders +
                                           "\r\n" + reply.body;
                ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
            ::close(fd);
        }
    }

    std::vector<ScriptedReply> script_;
    std::chrono::steady_clock::time_point deadline_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace pondlark::test_support
