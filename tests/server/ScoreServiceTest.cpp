// The score service's protocol, over HTTP, on each kind of store.
#include "server/ServiceUnderTest.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "server/Pages.h"
#include "server/RawConnection.h"
#include "server/ResultCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

const std::string kResult = "/cgi/version.pl?hs&prg=Pondlark&inf=";
const std::string kTable = "/cgi/version.pl?prg=Pondlark&type=0&show";

// A result encoded as the game encodes it, from fields taken as they are (a forger's too).
std::string GameInf(const std::string& token, const std::string& name = "Frog", int score = 250,
                    const std::string& country = "Wales") {
    return EncodeLine(LayOutResultPayload(name, score, token, country));
}

// A payload with one piece of the game's text replaced, padded again as the game pads, and
// encoded.
std::string Edited(const std::string& token, const std::string& from, const std::string& to) {
    std::string payload = ResultPayload({"Frog", "Wales", 250}, token);
    payload.erase(payload.find("|z=") + 3);
    payload.replace(payload.find(from), from.size(), to);
    while (payload.size() % 5 != 0)
        payload += '0';
    return EncodeLine(payload);
}

class ScoreService : public ::testing::TestWithParam<TBackend> {
protected:
    TServiceUnderTest service;

    void SetUp() override {
        scores::TServiceOptions options;
        options.ResultsPerMinute = 0; // the limit has its own test
        const std::string skip = service.Start(GetParam(), options);
        if (!skip.empty()) GTEST_SKIP() << skip;
    }
};

} // namespace

TEST_P(ScoreService, TheGamesResultIsStoredOnceAndShownOnTheTable) {
    const auto version = service.Get("/cgi/version.pl?version&prg=Pondlark");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->status, 200);
    // OK|latest version|home page|server time|token|: the game takes the token from between
    // the fourth and fifth bars.
    EXPECT_EQ(version->body.rfind("OK|" PONDLARK_VERSION "|http://127.0.0.1:", 0), 0u)
        << version->body;
    EXPECT_EQ(std::count(version->body.begin(), version->body.end(), '|'), 5);
    const std::string token = service.Token();
    ASSERT_TRUE(scores::IsTokenShaped(token)) << token;

    const auto stored = service.Get(kResult + GameInf(token, "Frog", 250, "Wales"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->status, 200);
    EXPECT_EQ(stored->body, "OK\n");
    EXPECT_EQ(service.store->CountResults(), 1);

    // Sent without a replay, it is among every result, not among the verified ones.
    const auto page = service.Get(kTable + "&all=1");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<td class=\"name\">Frog</td><td class=\"country\">Wales</td>"
                              "<td class=\"score\">250</td>"),
              std::string::npos)
        << page->body;

    const auto json = service.Get("/api/scores?limit=5&all=1");
    ASSERT_TRUE(json);
    EXPECT_EQ(json->body, "{\"scores\":[{\"rank\":1,\"name\":\"Frog\",\"country\":\"Wales\","
                          "\"score\":250,\"date\":\"" +
                              scores::DateOf(service.now) + "\",\"verified\":false}]}\n");
}

// Each request is refused with a short reason, and the store is as it was.
TEST_P(ScoreService, BadResultsAreRefusedAndStoreNothing) {
    struct Case {
        const char* what;
        std::function<std::string(const std::string& token)> inf;
        const char* reason;
        bool replay = false;    // the token spent once before on the game's own result
        int64_t ageSeconds = 0; // the clock moves on this far after the token is issued
    } cases[] = {
        {"another result on a spent token", [](auto& t) { return GameInf(t, "Toad", 9999); },
         "unknown token", true},
        {"forged token", [](auto&) { return GameInf("0123456789abcdef0123456789abcdef"); },
         "unknown token"},
        {"token past its hour", [](auto& t) { return GameInf(t); }, "unknown token", false, 3601},
        {"token not of ours", [](auto&) { return GameInf("77"); }, "bad token"},
        {"bad key", [](auto& t) { return Edited(t, "|key=P|", "|key=Q|"); }, "bad key"},
        {"bad characters", [](auto& t) { return GameInf(t).replace(3, 1, "0"); }, "bad characters"},
        {"escaped markup in the query", [](auto& t) { return GameInf(t) + "%3Cb%3E"; },
         "bad characters"},
        {"markup in a name", [](auto& t) { return GameInf(t, "<b>Frog</b>"); }, "bad name"},
        {"a space in a name", [](auto& t) { return GameInf(t, "Big Frog"); }, "bad name"},
        {"eleven letters", [](auto& t) { return GameInf(t, "Frogfrogfro"); }, "bad name"},
        {"empty name", [](auto& t) { return GameInf(t, ""); }, "bad name"},
        {"a bar in a name", [](auto& t) { return GameInf(t, "A|score=9"); }, "not a result"},
        {"markup in a country", [](auto& t) { return GameInf(t, "Frog", 5, "<i>"); },
         "bad country"},
        {"negative score", [](auto& t) { return GameInf(t, "Frog", -5); }, "bad score"},
        {"score out of range", [](auto& t) { return GameInf(t, "Frog", 100'000'000); },
         "bad score"},
        {"score with a leading zero", [](auto& t) { return Edited(t, "score=250", "score=0250"); },
         "bad score"},
        {"other type", [](auto& t) { return Edited(t, "type=0", "type=1"); }, "bad type"},
        {"does not decode to a payload", [](auto&) { return std::string(80, 'A'); },
         "not a result"},
        {"extra padding",
         [](auto& t) {
             return EncodeLine(ResultPayload({"Frog", "", 250}, t) + "00000");
         },
         "not a result"},
        {"too long", [](auto& t) { return GameInf(t) + std::string(200, 'A'); }, "too long"},
        {"wrong length", [](auto& t) { return GameInf(t).substr(1); }, "wrong length"},
        {"empty", [](auto&) { return std::string(); }, "no result"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string token = service.Token();
        ASSERT_FALSE(token.empty());
        const std::string target = kResult + c.inf(token);
        if (c.replay) {
            const auto first = service.Get(kResult + GameInf(token));
            ASSERT_TRUE(first);
            ASSERT_EQ(first->status, 200);
        }
        service.now += c.ageSeconds;
        const int64_t before = service.store->CountResults();
        const auto reply = service.Get(target);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400);
        EXPECT_EQ(reply->body, std::string("ERR|") + c.reason + "\n");
        EXPECT_EQ(service.store->CountResults(), before);
    }
    // The requests a game cannot make at all.
    const std::string token = service.Token();
    for (const std::string& target :
         std::vector<std::string>{"/cgi/version.pl?hs&prg=Pondlark",
                                  kResult + GameInf(token) + "&inf=" + GameInf(token, "Toad")}) {
        const auto reply = service.Get(target);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 400) << target;
    }
    EXPECT_EQ(service.store->CountResults(), 1) << "only the spent token's own result";
}

// A sender that lost the reply sends the same result again with the same token: it is told OK,
// and the result is there once.
TEST_P(ScoreService, ARetryOfAStoredResultIsAnsweredOkAndStoredOnce) {
    const std::string token = service.Token();
    const std::string target = kResult + GameInf(token, "Newt", 777, "Kent");
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto reply = service.Get(target);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 200) << "attempt " << attempt;
        EXPECT_EQ(reply->body, "OK\n");
    }
    EXPECT_EQ(service.store->CountResults(), 1);
    const auto health = service.Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->body, "ok 1 results\n") << "a retry is not counted again";
    // Past the token's hour the spent token is forgotten like any other.
    service.now += 3601;
    const auto late = service.Get(target);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->body, "ERR|unknown token\n");
}

TEST_P(ScoreService, TheTableShowsTheBestHundredWithEveryTextEscaped) {
    // Rows written straight to the store, as an older service or an operator might have left
    // them: the page must not trust them.
    for (int i = 0; i < 105; ++i) {
        const std::string token = "t" + std::to_string(i);
        service.store->AddToken(token, service.now);
        scores::TNewResult row{{"Frog" + std::to_string(i), "", 1000 + i}, token, "192.0.2.1"};
        if (i == 104) row.Name = "<script>alert(\"x\")</script>&'";
        if (i == 103) row.Country = "<img src=x onerror=alert(1)>";
        ASSERT_EQ(service.store->StoreResult(row, service.now), scores::TStoreOutcome::Stored);
    }
    const auto page = service.Get(kTable + "&all=1");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    const std::string& html = page->body;
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"rank\">1</td><td class=\"name\">&lt;script&gt;alert(&quot;x"
                        "&quot;)&lt;/script&gt;&amp;&#39;</td>"),
              std::string::npos);
    EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
    // 100 rows, best first: 1104 down to 1005; the five lowest are not shown.
    size_t rows = 0;
    for (size_t at = html.find("<tr><td"); at != std::string::npos;
         at = html.find("<tr><td", at + 1))
        ++rows;
    EXPECT_EQ(rows, 100u);
    EXPECT_NE(html.find(">1005</td>"), std::string::npos);
    EXPECT_EQ(html.find(">1004</td>"), std::string::npos);
    EXPECT_LT(html.find(">1104</td>"), html.find(">1103</td>"));
    EXPECT_EQ(page->get_header_value("Content-Security-Policy"),
              "default-src 'none'; style-src 'unsafe-inline'");

    const auto json = service.Get("/api/scores?limit=2&all=1");
    ASSERT_TRUE(json);
    EXPECT_EQ(json->body.find("<script"), std::string::npos);
    EXPECT_NE(json->body.find("\"name\":\"\\u003cscript"), std::string::npos) << json->body;
}

TEST_P(ScoreService, OperatorsEndpointsAndUnknownRequests) {
    struct Case {
        const char* target;
        int status;
        const char* contains;
    } cases[] = {
        {"/healthz", 200, "ok 0 results"},
        {"/", 200, "href=\"/cgi/version.pl?prg=Pondlark&amp;type=0&amp;show\""},
        {"/api/scores", 200, "{\"scores\":[]}"},
        {"/api/scores?limit=0", 400, "limit must be 1 to 100"},
        {"/api/scores?limit=101", 400, "limit must be 1 to 100"},
        {"/cgi/version.pl?prg=Pondlark&type=0&show", 200, "No results yet"},
        {"/cgi/version.pl?version&prg=Other", 404, "ERR|unknown program"},
        {"/cgi/version.pl?prg=Pondlark", 400, "ERR|unknown request"},
        {"/nothing-here", 404, "ERR|not found"},
    };
    for (const Case& c : cases) {
        const auto reply = service.Get(c.target);
        ASSERT_TRUE(reply) << c.target;
        EXPECT_EQ(reply->status, c.status) << c.target;
        EXPECT_NE(reply->body.find(c.contains), std::string::npos) << c.target << reply->body;
    }
}

// One line per request; a refusal says why, and neither a token nor a payload is written.
TEST_P(ScoreService, TheLogGivesEachRefusalItsReasonAndNoToken) {
    const std::string token = service.Token();
    ASSERT_TRUE(service.Get(kResult + GameInf(token, "<b>")));
    ASSERT_TRUE(service.Get(kResult + GameInf("0123456789abcdef0123456789abcdef")));
    ASSERT_TRUE(service.Get(kResult + GameInf(token)));
    const std::string log = service.Log();
    EXPECT_NE(log.find("\" 400 "), std::string::npos) << log;
    EXPECT_NE(log.find("refused: bad name"), std::string::npos) << log;
    EXPECT_NE(log.find("refused: unknown token"), std::string::npos) << log;
    EXPECT_EQ(log.find(token), std::string::npos) << log;
    EXPECT_EQ(log.find(GameInf(token).substr(0, 40)), std::string::npos) << log;
    EXPECT_NE(log.find("inf=("), std::string::npos) << "the payload's length instead" << log;
}

// The home page in the version reply is the service's own address (or --public-url), whatever
// Host a request names: a forged Host must not send players elsewhere.
TEST_P(ScoreService, TheHomePageIsNeverTakenFromTheRequest) {
    TRawConnection c(service.port);
    ASSERT_TRUE(c.Send("GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1\r\n"
                       "Host: evil.example\r\nConnection: close\r\n\r\n"));
    const std::string reply = c.ReadAll();
    EXPECT_NE(reply.find("|http://127.0.0.1:" + std::to_string(service.port) + "/|"),
              std::string::npos)
        << reply;
    EXPECT_EQ(reply.find("evil"), std::string::npos) << reply;
}

INSTANTIATE_TEST_SUITE_P(Stores, ScoreService,
                         ::testing::Values(TBackend::Sqlite, TBackend::Postgres), BackendName);

// --site: the browser game is served beside the table, each file with the type a browser needs
// (a program it compiles only when it comes as application/wasm), and nothing outside the folder.
TEST(ScoreServiceSite, TheBrowserGameIsServedUnderPlayAndNothingBesideIt) {
    TServiceUnderTest service;
    const std::filesystem::path site = service.folder / "site";
    std::filesystem::create_directories(site);
    const std::string wasm("\0asm\1\0\0\0", 8);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"index.html", "<!doctype html><title>Pondlark</title>"},
             {"game.wasm", wasm},
             {"game.data", "DATA"}}) {
        std::FILE* f = std::fopen((site / name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    scores::TServiceOptions options;
    options.Site = site.string();
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    struct Case {
        const char* path;
        int status;
        const char* type;
        std::string body;
    };
    for (const Case& c :
         {Case{"/play/", 200, "text/html", "<!doctype html><title>Pondlark</title>"},
          Case{"/play/game.wasm", 200, "application/wasm", wasm},
          Case{"/play/game.data", 200, "application/octet-stream", "DATA"},
          Case{"/play/../scores.db", 404, "", ""}, Case{"/play/missing.js", 404, "", ""}}) {
        SCOPED_TRACE(c.path);
        const httplib::Result r = service.Get(c.path);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, c.status);
        if (c.status != 200) continue;
        EXPECT_EQ(r->get_header_value("Content-Type").rfind(c.type, 0), 0u)
            << r->get_header_value("Content-Type");
        EXPECT_EQ(r->body, c.body);
        // The game's script and program may run, from this host only, and nothing as eval.
        const std::string policy = r->get_header_value("Content-Security-Policy");
        EXPECT_NE(policy.find("script-src 'self' 'wasm-unsafe-eval';"), std::string::npos)
            << policy;
    }
    // The folder without its last slash: the page would look for its files one folder up.
    const httplib::Result bare = service.Get("/play");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->status, 302);
    EXPECT_EQ(bare->get_header_value("Location"), "/play/");
    // The service's own pages are still there, and still run no script.
    const httplib::Result table = service.Get(kTable);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->status, 200);
    EXPECT_EQ(table->get_header_value("Content-Security-Policy").rfind("default-src 'none';", 0),
              0u);
}

TEST(ScoreServiceSite, AFolderThatCannotBeServedStopsTheStart) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.Site = (service.folder / "no-such-folder").string();
    EXPECT_THROW(service.Start(TBackend::Sqlite, options), std::runtime_error);
}
