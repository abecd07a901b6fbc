// The service's defences against clients that are not the game: rate limits, request sizes and
// slow senders.
#include "server/ServiceUnderTest.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "server/RateLimiter.h"
#include "server/RawConnection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace pondlark;
using namespace pondlark::test_support;

TEST(ScoreServiceLimits, AnAddressSendingTooManyResultsIsToldToWait) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.ResultsPerMinute = 3;
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    std::vector<int> statuses;
    for (int i = 0; i < 5; ++i) {
        const std::string token = service.Token();
        const auto reply = service.Get("/cgi/version.pl?hs&prg=Pondlark&inf=" +
                                       EncodeLine(ResultPayload({"Frog", "", 10 + i}, token)));
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
    options.Limits.HeaderTimeout = std::chrono::milliseconds(1500);
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

// Behind a trusted proxy the limits count the client the proxy names; anyone else's
// X-Forwarded-For is ignored, and so is what a client wrote before the proxy's own entry.
TEST(ScoreServiceLimits, TheClientAddressIsTakenFromTrustedProxiesOnly) {
    const std::filesystem::path folder = FreshTestFolder();
    const auto store = scores::OpenScoreStore("sqlite:" + (folder / "scores.db").string(), 1);
    scores::TServiceOptions options;
    options.TrustedProxies = {"10.0.0.1", "10.0.0.2"};
    std::FILE* log = std::fopen("/dev/null", "w");
    scores::TScoreServer server(*store, options, log);
    struct Case {
        const char* peer;
        std::vector<const char*> forwarded;
        const char* client;
    } cases[] = {
        {"192.0.2.9", {}, "192.0.2.9"},
        {"192.0.2.9", {"198.51.100.1"}, "192.0.2.9"}, // not a proxy of ours
        {"10.0.0.1", {"198.51.100.1"}, "198.51.100.1"},
        {"10.0.0.1", {"6.6.6.6, 198.51.100.1"}, "198.51.100.1"},   // the client's own claim
        {"10.0.0.1", {"198.51.100.1, 10.0.0.2"}, "198.51.100.1"},  // two proxies of ours
        {"10.0.0.1", {"6.6.6.6", "198.51.100.1"}, "198.51.100.1"}, // two header lines
        {"10.0.0.1", {"not-an-address"}, "10.0.0.1"},
        {"10.0.0.1", {}, "10.0.0.1"},
        {"10.0.0.1", {"2001:db8::7"}, "2001:db8::7"},
    };
    for (const Case& c : cases) {
        scores::THttpRequest request;
        request.peer = c.peer;
        for (const char* value : c.forwarded)
            request.headers.emplace_back("x-forwarded-for", value);
        EXPECT_EQ(server.ClientAddress(request), c.client) << c.peer;
    }
    std::fclose(log);
    std::filesystem::remove_all(folder);
}

// --shared-limits: two services on one PostgreSQL count one address's results together, and
// the bucket refills over the minute on the database's side as in memory.
TEST(ScoreServiceLimits, SharedLimitsHoldAcrossServicesOnOnePostgresql) {
    TServiceUnderTest first;
    scores::TServiceOptions options;
    options.ResultsPerMinute = 3;
    options.SharedLimits = true;
    const std::string skip = first.Start(TBackend::Postgres, options);
    if (!skip.empty()) GTEST_SKIP() << skip;

    // The buckets themselves, with a clock the test moves.
    scores::IScoreStore& store = *first.store;
    const int64_t t0 = 1'790'000'000'000;
    EXPECT_TRUE(store.TakeToken("k", 2, t0));
    EXPECT_TRUE(store.TakeToken("k", 2, t0));
    EXPECT_FALSE(store.TakeToken("k", 2, t0));
    EXPECT_TRUE(store.TakeToken("other", 2, t0)) << "each key its own bucket";
    EXPECT_FALSE(store.TakeToken("k", 2, t0 + 29'000));
    EXPECT_TRUE(store.TakeToken("k", 2, t0 + 30'000)) << "one token back after half a minute";
    EXPECT_TRUE(store.TakeToken("k", 0, t0 + 30'000)) << "0 is no limit";

    // A second service on the same database.
    const auto secondStore = scores::OpenScoreStore(first.postgres->Uri(), 2);
    std::FILE* log = std::fopen((first.folder / "second.log").c_str(), "w");
    options.Host = "127.0.0.1";
    options.Port = 0;
    scores::TScoreServer second(*secondStore, options, log, [&] { return first.now.load(); });
    const int secondPort = second.Bind();
    std::thread serving([&] { second.Run(); });
    std::vector<int> statuses;
    for (int i = 0; i < 5; ++i) {
        const std::string token = first.Token();
        httplib::Client client("127.0.0.1", i % 2 == 0 ? first.port : secondPort);
        const auto reply = client.Get("/cgi/version.pl?hs&prg=Pondlark&inf=" +
                                      EncodeLine(ResultPayload({"Frog", "", 10 + i}, token)));
        ASSERT_TRUE(reply);
        statuses.push_back(reply->status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 200, 429, 429}));
    second.Stop();
    serving.join();
    std::fclose(log);
}
