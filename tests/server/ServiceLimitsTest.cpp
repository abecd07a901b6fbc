// The service's defences against clients that are not the game: rate limits, request sizes and
// slow senders.
#include "server/ServiceUnderTest.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "server/RateLimiter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

// A raw connection, for requests no HTTP client library would send.
class TRawConnection {
public:
    explicit TRawConnection(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~TRawConnection() { ::close(fd_); }
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

private:
    int fd_;
    bool connected_ = false;
};

} // namespace

TEST(ScoreServiceLimits, AnAddressSendingTooManyResultsIsToldToWait) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.ResultsPerMinute = 3;
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    std::vector<int> statuses;
    for (int i = 0; i < 5; ++i) {
        const std::string token = service.Token();
        const auto reply = service.Get("/cgi/version.pl?hs&prg=Pondlark&inf=" +
                                       EncodeLine(ResultPayload("Frog", 10 + i, token, "")));
        ASSERT_TRUE(reply);
        statuses.push_back(reply->status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 200, 429, 429}));
    EXPECT_EQ(service.store->CountResults(), 3);
}

TEST(ScoreServiceLimits, RateLimiterRefillsOverAMinutePerAddress) {
    scores::TRateLimiter limiter(2, 3);
    EXPECT_TRUE(limiter.Allow("a", 0));
    EXPECT_TRUE(limiter.Allow("a", 0));
    EXPECT_FALSE(limiter.Allow("a", 0));
    EXPECT_TRUE(limiter.Allow("b", 0)) << "another address has its own bucket";
    EXPECT_FALSE(limiter.Allow("a", 29'000));
    EXPECT_TRUE(limiter.Allow("a", 30'000)) << "one token back after half a minute";
    // Past the address limit the full buckets are forgotten; a busy one is kept.
    EXPECT_TRUE(limiter.Allow("c", 200'000));
    EXPECT_TRUE(limiter.Allow("d", 200'000));
    EXPECT_TRUE(limiter.Allow("d", 200'000));
    EXPECT_TRUE(limiter.Allow("e", 200'000));
    EXPECT_FALSE(limiter.Allow("d", 200'000));
    EXPECT_TRUE(scores::TRateLimiter(0).Allow("x", 0));
}

TEST(ScoreServiceLimits, OversizedAndSlowRequestsAreDroppedWithoutAnAnswer) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.Limits.RequestDeadline = std::chrono::milliseconds(1500);
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");

    {
        // Headers beyond the request budget: the connection ends without a reply.
        TRawConnection c(service.port);
        ASSERT_TRUE(c.Connected());
        std::string request = "GET /healthz HTTP/1.1\r\nHost: x\r\n";
        while (request.size() < 40'000)
            request += "X-Filler: " + std::string(100, 'f') + "\r\n";
        c.Send(request + "\r\n");
        EXPECT_EQ(c.ReadAll().find("HTTP/1.1 200"), std::string::npos);
    }
    {
        // A target longer than any the game sends.
        const auto reply =
            service.Get("/cgi/version.pl?hs&prg=Pondlark&inf=" + std::string(2000, 'A'));
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 414);
    }
    {
        // One header line every 300 ms never finishes a request: it is cut at the deadline and
        // the worker is free again.
        TRawConnection c(service.port);
        ASSERT_TRUE(c.Connected());
        bool open = c.Send("GET /healthz HTTP/1.1\r\n");
        for (int i = 0; i < 40 && open; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            open = c.Send("X-Slow: " + std::to_string(i) + "\r\n");
        }
        EXPECT_FALSE(open) << "the service kept a slow sender for 12 s";
        EXPECT_EQ(c.ReadAll().find("HTTP/1.1 200"), std::string::npos);
    }
    const auto healthy = service.Get("/healthz");
    ASSERT_TRUE(healthy);
    EXPECT_EQ(healthy->status, 200);
}
