// The service among hostile and slow clients: connections that idle, trickle their heads or
// hold keep-alive connections must not keep a normal player waiting; requests are framed
// strictly; a slow reader gets a whole file, a reader that stops is dropped.
#include "server/ServiceUnderTest.h"

#include "server/RawConnection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace pondlark;
using namespace pondlark::test_support;
using Clock = std::chrono::steady_clock;

namespace {

int64_t MillisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

size_t CountReplies(const std::string& bytes) {
    size_t count = 0;
    for (size_t at = bytes.find("HTTP/1.1 "); at != std::string::npos;
         at = bytes.find("HTTP/1.1 ", at + 1))
        ++count;
    return count;
}

enum class THostile { Idle, Trickler, KeepAliveHolder };

} // namespace

// Each row holds `connections` hostile connections (spread over eight addresses, so the
// per-address cap lets all of them in) against two workers for three and a half seconds,
// while a normal player on its own address asks for /healthz and a token now and then.
TEST(ServiceConnections, HostileConnectionsDoNotKeepANormalPlayerWaiting) {
    struct Row {
        const char* what;
        THostile kind;
        int connections;
    } rows[] = {
        {"idle, 4x the workers", THostile::Idle, 8},
        {"idle, 250", THostile::Idle, 250},
        {"header tricklers at 1 byte/s, 4x the workers", THostile::Trickler, 8},
        {"header tricklers at 1 byte/s, 250", THostile::Trickler, 250},
        {"keep-alive holders, a request every 1.5 s, 4x the workers", THostile::KeepAliveHolder, 8},
        {"keep-alive holders, a request every 1.5 s, 250", THostile::KeepAliveHolder, 250},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TServiceUnderTest service;
        scores::TServiceOptions options;
        options.Workers = 2;
        options.VersionsPerMinute = 0;
        ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");

        std::vector<std::unique_ptr<TRawConnection>> hostile;
        for (int i = 0; i < row.connections; ++i) {
            const std::string source = "127.0.0." + std::to_string(2 + i % 8);
            hostile.push_back(std::make_unique<TRawConnection>(service.port, source.c_str()));
            ASSERT_TRUE(hostile.back()->Connected());
        }
        const std::string request = "GET /healthz HTTP/1.1\r\nHost: pond\r\n\r\n";
        std::atomic<bool> done{false};
        std::thread attacker([&] {
            const auto start = Clock::now();
            int64_t lastTrickle = -1000, lastRequest = -1500;
            size_t trickled = 0;
            while (!done) {
                const int64_t now = MillisSince(start);
                if (row.kind == THostile::Trickler && now - lastTrickle >= 1000) {
                    for (auto& c : hostile)
                        c->Send(std::string(1, request[trickled % 20]));
                    ++trickled;
                    lastTrickle = now;
                }
                if (row.kind == THostile::KeepAliveHolder && now - lastRequest >= 1500) {
                    for (auto& c : hostile)
                        c->Send(request);
                    lastRequest = now;
                }
                bool closed = false;
                for (auto& c : hostile)
                    c->ReadAvailable(closed);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        int64_t worst = 0;
        for (int probe = 0; probe < 3; ++probe) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            for (const char* target : {"/healthz", "/cgi/version.pl?version&prg=Pondlark"}) {
                const auto start = Clock::now();
                const auto reply = service.Get(target);
                const int64_t ms = MillisSince(start);
                worst = std::max(worst, ms);
                ASSERT_TRUE(reply) << target;
                EXPECT_EQ(reply->status, 200) << target;
                EXPECT_LT(ms, 1000) << target;
            }
        }
        done = true;
        attacker.join();
        std::printf("[ figures  ] %s: slowest normal request %lld ms\n", row.what,
                    static_cast<long long>(worst));
    }
}

// One address may hold only so many connections; the next is told so, and others are not
// affected.
TEST(ServiceConnections, OneAddressHoldsAtMostItsShareOfConnections) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.Limits.MaxConnectionsPerAddress = 4;
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    std::vector<std::unique_ptr<TRawConnection>> held;
    for (int i = 0; i < 4; ++i)
        held.push_back(std::make_unique<TRawConnection>(service.port, "127.0.0.9"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    TRawConnection fifth(service.port, "127.0.0.9");
    ASSERT_TRUE(fifth.Connected());
    const std::string refused = fifth.ReadAll();
    EXPECT_EQ(refused.rfind("HTTP/1.1 503", 0), 0u) << refused;
    const auto other = service.Get("/healthz");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 200);
    EXPECT_NE(service.Log().find("refused: too many connections from this address"),
              std::string::npos)
        << service.Log();
    // A closed connection gives its place back.
    held.pop_back();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    TRawConnection again(service.port, "127.0.0.9");
    ASSERT_TRUE(again.Send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    EXPECT_EQ(again.ReadAll().rfind("HTTP/1.1 200", 0), 0u);
}

// Raw bytes in, replies counted: a body on a GET or HEAD, chunked or doubly sized, would be
// read as a request of its own by a server that guessed; here it gets one 400 and the
// connection closes. Pipelined requests are each answered, in order.
TEST(ServiceConnections, RequestsAreFramedStrictly) {
    TServiceUnderTest service;
    ASSERT_EQ(service.Start(TBackend::Sqlite), "");
    const std::string smuggled = "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        size_t replies;
        const char* firstStatus;
    } cases[] = {
        {"GET with a body",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(smuggled.size()) +
             "\r\n\r\n" + smuggled,
         1, "400"},
        {"HEAD with a body",
         "HEAD /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(smuggled.size()) +
             "\r\n\r\n" + smuggled,
         1, "400"},
        {"GET chunked",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n" +
             std::string("22\r\n") + smuggled + "\r\n0\r\n\r\n" + smuggled + smuggled,
         1, "400"},
        {"two Content-Length headers",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: " +
             std::to_string(smuggled.size()) + "\r\n\r\n" + smuggled,
         1, "400"},
        {"a POST", "POST /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n" + smuggled, 1,
         "405"},
        {"a malformed request line", "GET\r\n\r\n" + smuggled, 1, "400"},
        {"three pipelined GETs", smuggled + smuggled + smuggled, 3, "200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRawConnection connection(service.port);
        ASSERT_TRUE(connection.Connected());
        const auto start = Clock::now();
        ASSERT_TRUE(connection.Send(c.bytes));
        // The three pipelined GETs keep the connection; the others are closed by the service.
        std::string replies;
        if (c.replies == 3) {
            bool closed = false;
            for (int i = 0; i < 100 && CountReplies(replies) < 3; ++i)
                replies += connection.Read(65536, 100, closed);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            replies += connection.ReadAvailable(closed);
        } else {
            replies = connection.ReadAll();
            EXPECT_LT(MillisSince(start), 1500) << "closed at once, not after a time-out";
        }
        EXPECT_EQ(CountReplies(replies), c.replies) << replies;
        EXPECT_EQ(replies.substr(9, 3), c.firstStatus) << replies;
    }
}

// The browser game's data to a player on a slow line: a whole 6.8 MB file at 200 kB/s (34 s,
// far past any total deadline), while a reader that stops reading is dropped.
TEST(ServiceConnections, ASlowReaderGetsTheWholeFileAndAStoppedOneIsDropped) {
    TServiceUnderTest service;
    const std::filesystem::path site = service.folder / "site";
    std::filesystem::create_directories(site);
    const size_t size = 6'800'000;
    {
        // Random bytes: nothing to compress, so every byte goes over the line.
        std::string data(size, '\0');
        std::mt19937 random(7);
        for (char& c : data)
            c = static_cast<char>(random());
        std::FILE* f = std::fopen((site / "game.data").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
    scores::TServiceOptions options;
    options.Site = site.string();
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    const std::string request =
        "GET /play/game.data HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";

    TRawConnection slow(service.port, "127.0.0.1", 16384);
    TRawConnection stopped(service.port, "127.0.0.1", 16384);
    ASSERT_TRUE(slow.Send(request));
    ASSERT_TRUE(stopped.Send(request));
    std::string received;
    bool closed = false;
    const auto start = Clock::now();
    // 20 kB every 100 ms: 200 kB/s.
    while (!closed && MillisSince(start) < 60'000) {
        const auto tick = Clock::now();
        size_t got = 0;
        while (got < 20'000 && !closed) {
            const std::string piece = slow.Read(20'000 - got, 1000, closed);
            if (piece.empty()) break;
            got += piece.size();
            received += piece;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100) - (Clock::now() - tick));
    }
    const int64_t seconds = MillisSince(start) / 1000;
    const size_t head = received.find("\r\n\r\n");
    ASSERT_NE(head, std::string::npos);
    EXPECT_EQ(received.size() - head - 4, size) << "after " << seconds << " s";
    std::printf("[ figures  ] slow reader: %zu bytes at 200 kB/s in %lld s\n",
                received.size() - head - 4, static_cast<long long>(seconds));

    // The one that stopped reading long ago was dropped: what it can still read ends short.
    std::string rest;
    bool stoppedClosed = false;
    while (!stoppedClosed) {
        const std::string piece = stopped.Read(1 << 20, 2000, stoppedClosed);
        if (piece.empty()) break;
        rest += piece;
    }
    EXPECT_TRUE(stoppedClosed);
    EXPECT_LT(rest.size(), size);
}
