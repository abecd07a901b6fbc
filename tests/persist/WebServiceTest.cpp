#include "persist/WebService.h"
#include "TestFolder.h"

#include "app/GameFixture.h"
#include "http/LoopbackServer.h"
#include "persist/ResultSender.h"
#include "persist/TextEncoding.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

const std::string kCannotConnect = "PONDLARK: Can't connect to server!";
const std::string kResultTarget = "GET /cgi/version.pl?hs&prg=Pondlark&inf=";

TServiceAddress Local(int port) {
    return {"127.0.0.1", port};
}

// The `inf=` value of a recorded result request, or nullopt when the request is something else.
std::optional<std::string> InfValue(const std::string& request) {
    if (request.rfind(kResultTarget, 0) != 0) return std::nullopt;
    const size_t start = kResultTarget.size();
    return request.substr(start, request.find(' ', start) - start);
}

struct SubmitRun {
    TSubmitOutcome outcome;
    std::vector<std::string> requests;
    std::vector<std::string> messages;
};

SubmitRun Submit(std::vector<ScriptedReply> script, const std::string& name, int32_t score,
                 const std::string& country) {
    LoopbackServer server(std::move(script));
    HeadlessPlatform platform;
    THttpClient http;
    http.SetTimeouts({std::chrono::milliseconds(1000), std::chrono::milliseconds(1000)});
    SubmitRun run;
    run.outcome = SubmitResult(platform, http, Local(server.Port()), {name, country, score});
    run.requests = server.Requests();
    run.messages = platform.MessageBoxes();
    return run;
}

} // namespace

TEST(WebService, AddressesCarryThePortOnlyWhenItIsNot80) {
    const TServiceAddress standard{"frogs.example", 80};
    const TServiceAddress other{"frogs.example", 8080};
    EXPECT_EQ(HomePageUrl(standard), "http://frogs.example/");
    EXPECT_EQ(HomePageUrl(other), "http://frogs.example:8080/");
    EXPECT_EQ(OnlineHighScoresUrl(standard),
              "http://frogs.example/cgi/version.pl?prg=Pondlark&type=0&show");
    EXPECT_EQ(VersionRequestUrl(other),
              "http://frogs.example:8080/cgi/version.pl?version&prg=Pondlark");
    EXPECT_EQ(ResultRequestUrl(standard, "ABC"),
              "http://frogs.example/cgi/version.pl?hs&prg=Pondlark&inf=ABC");
}

TEST(WebService, PathAndQueryLeaveTheSchemeAndHost) {
    for (const auto& [url, path] : std::vector<std::pair<std::string, std::string>>{
             {"http://frogs.example:8080/cgi/version.pl?prg=Pondlark&type=0&show",
              "/cgi/version.pl?prg=Pondlark&type=0&show"},
             {"https://frogs.example/", "/"},
             {"http://frogs.example", "/"},
             {"http://[::1]:8080/a?b=http://c/d", "/a?b=http://c/d"},
             {"/already/relative?x", "/already/relative?x"}})
        EXPECT_EQ(PathAndQuery(url), path) << url;
}

TEST(WebService, PassBackValueIsTheFifthField) {
    struct Case {
        const char* reply;
        const char* p;
    } cases[] = {
        {"OK", ""},
        {"OK|1|2|3|4|5", "4"},
        {"OK|1|2|3|4", ""}, // four bars: the fifth pass finds none
        {"OK|1|2|3|four|", "four"},
        {"OK|a|b|c|d|e|f|g", "d"},
        {"OK|||||", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassBackValue(c.reply), c.p) << c.reply;
}

TEST(WebService, PayloadIsPaddedWithZerosToAMultipleOfFive) {
    struct Case {
        const char* name;
        int32_t score;
        const char* p;
        const char* country;
        const char* payload;
    } cases[] = {
        {"ABCDEFGHI", 1234, "", "", "type=0|name=ABCDEFGHI|score=1234|key=P|p=|add=|z=0"},
        {"A", 5, "", "", "type=0|name=A|score=5|key=P|p=|add=|z=00"},
        {"Frog", 250, "77", "Wales", "type=0|name=Frog|score=250|key=P|p=77|add=Wales|z="},
        {"Bo", 10, "x", "", "type=0|name=Bo|score=10|key=P|p=x|add=|z=0000"},
    };
    for (const Case& c : cases) {
        const std::string payload = ResultPayload({c.name, c.country, c.score}, c.p);
        EXPECT_EQ(payload, c.payload);
        EXPECT_EQ(payload.size() % 5, 0u) << payload;
    }
}

TEST(WebService, ResultIsSentOnlyAfterAnOkVersionReply) {
    struct Case {
        const char* what;
        ScriptedReply version;
        std::optional<std::string> p; // nullopt: the service counts as unreachable
    } cases[] = {
        {"OK without fields", ScriptedReply::Ok("OK"), ""},
        {"OK with five fields", ScriptedReply::Ok("OK|1|2|3|4|5"), "4"},
        {"OK and more text", ScriptedReply::Ok("OKAY|a|b|c|p-value|"), "p-value"},
        {"lower case", ScriptedReply::Ok("ok|1|2|3|4|5"), std::nullopt},
        {"leading space", ScriptedReply::Ok(" OK"), std::nullopt},
        {"one letter", ScriptedReply::Ok("O"), std::nullopt},
        {"empty reply", ScriptedReply::Ok(""), std::nullopt},
        {"server error", {500, "OK|1|2|3|4|5", {}, false}, std::nullopt},
        {"silent server", ScriptedReply::Silent(), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SubmitRun run = Submit({c.version, ScriptedReply::Ok("thanks")}, "Lark", 120, "");
        ASSERT_GE(run.requests.size(), 1u);
        EXPECT_EQ(run.requests[0].rfind("GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1", 0),
                  0u);
        if (!c.p) {
            EXPECT_EQ(run.outcome, TSubmitOutcome::ServiceUnavailable);
            EXPECT_EQ(run.messages, std::vector<std::string>{kCannotConnect});
            EXPECT_EQ(run.requests.size(), 1u) << "nothing sent after a failed version request";
            continue;
        }
        EXPECT_EQ(run.outcome, TSubmitOutcome::Sent);
        EXPECT_TRUE(run.messages.empty());
        ASSERT_EQ(run.requests.size(), 2u);
        const auto inf = InfValue(run.requests[1]);
        ASSERT_TRUE(inf) << run.requests[1];
        EXPECT_EQ(DecodeLine(*inf), ResultPayload({"Lark", "", 120}, *c.p));
    }
}

TEST(WebService, RefusedConnectionShowsTheMessageAndSendsNothing) {
    ClosedPort closed;
    HeadlessPlatform platform;
    THttpClient http;
    EXPECT_EQ(SubmitResult(platform, http, Local(closed.Port()), {"Lark", "", 120}),
              TSubmitOutcome::ServiceUnavailable);
    EXPECT_EQ(platform.MessageBoxes(), std::vector<std::string>{kCannotConnect});
}

TEST(WebService, MissingHttpLibraryShowsTheMessageAndSendsNothing) {
    LoopbackServer server({ScriptedReply::Ok("OK"), ScriptedReply::Ok("OK")});
    HeadlessPlatform platform;
    THttpClient http("libpondlark-no-such-http.so.4");
    EXPECT_EQ(SubmitResult(platform, http, Local(server.Port()), {"Lark", "", 120}),
              TSubmitOutcome::ServiceUnavailable);
    EXPECT_EQ(platform.MessageBoxes(), std::vector<std::string>{kCannotConnect});
    EXPECT_TRUE(server.Requests().empty());
}

TEST(WebService, FailedResultRequestIsNotReported) {
    const SubmitRun run =
        Submit({ScriptedReply::Ok("OK"), ScriptedReply::Status(500)}, "Lark", 120, "");
    EXPECT_EQ(run.outcome, TSubmitOutcome::Sent);
    EXPECT_EQ(run.requests.size(), 2u);
    EXPECT_TRUE(run.messages.empty());
}

TEST(WebService, WorkedExamplePayloadIsFiftyCharactersAndDecodesExactly) {
    const SubmitRun run =
        Submit({ScriptedReply::Ok("OK"), ScriptedReply::Ok("")}, "Tadpole99", 4321, "");
    ASSERT_EQ(run.requests.size(), 2u);
    const auto inf = InfValue(run.requests[1]);
    ASSERT_TRUE(inf) << run.requests[1];
    EXPECT_EQ(inf->size(), 80u);
    EXPECT_EQ(inf->find_first_not_of(kBase32Alphabet), std::string::npos) << *inf;
    const std::string payload = DecodeLine(*inf);
    EXPECT_EQ(payload, "type=0|name=Tadpole99|score=4321|key=P|p=|add=|z=0");
    EXPECT_EQ(payload.size(), 50u);
}

TEST(WebService, LinksGoToThePlatformUnchanged) {
    HeadlessPlatform platform;
    const TServiceAddress address{"frogs.example", 80};
    GoWeb(platform, HomePageUrl(address));
    GoWeb(platform, OnlineHighScoresUrl(address));
    EXPECT_EQ(
        platform.OpenedUrls(),
        (std::vector<std::string>{"http://frogs.example/",
                                  "http://frogs.example/cgi/version.pl?prg=Pondlark&type=0&show"}));
}

TEST(WebService, FileUrlEscapesEverythingButPlainPathCharacters) {
    EXPECT_EQ(FileUrl("/games/Pond-lark_1.0~/play.url"), "file:///games/Pond-lark_1.0~/play.url");
    EXPECT_EQ(FileUrl("/my games/50%/a&b\xE9"), "file:///my%20games/50%25/a%26b%E9");
}

TEST(WebService, PlayLinkOpensOnlyAnExistingFile) {
    namespace fs = std::filesystem;
    const fs::path dir = FreshTestFolder();
    HeadlessPlatform platform;

    OpenPlayLink(platform, dir.string());
    EXPECT_TRUE(platform.OpenedUrls().empty()) << "absent";

    fs::create_directory(dir / "play.url");
    OpenPlayLink(platform, dir.string());
    EXPECT_TRUE(platform.OpenedUrls().empty()) << "a folder is not a link file";
    fs::remove(dir / "play.url");

    std::ofstream(dir / "play.url") << "[InternetShortcut]\r\nURL=http://frogs.example/\r\n";
    OpenPlayLink(platform, (dir / ".").string());
    EXPECT_EQ(platform.OpenedUrls(),
              std::vector<std::string>{FileUrl((dir / "play.url").lexically_normal().string())});
    fs::remove_all(dir);
}

TEST_F(GameFixture, MainWindowSendsTheEnteredNameScoreAndCountry) {
    ASSERT_TRUE(Start());
    LoopbackServer server({ScriptedReply::Ok("OK|1|2|3|pass|5"), ScriptedReply::Ok("")});
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    form->NameEntry = "Hopper";
    form->CountryEntry = "New Zealand & Co";
    form->State().Score = 777;
    form->SubmitResult();
    FinishSending();

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const auto inf = InfValue(requests[1]);
    ASSERT_TRUE(inf) << requests[1];
    EXPECT_EQ(DecodeLine(*inf), ResultPayload({"Hopper", "New Zealand & Co", 777}, "pass"));
    EXPECT_TRUE(platform.MessageBoxes().empty());

    form->GoWeb(HomePageUrl(form->ServiceAddress));
    EXPECT_EQ(platform.OpenedUrls().back(),
              "http://127.0.0.1:" + std::to_string(server.Port()) + "/");
}

TEST(WebService, PayloadCarriesOnlyWhatTheEntriesAccept) {
    struct Case {
        const char* name;
        const char* country;
        const char* payload;
    } cases[] = {
        {"Bob|score=999999", "", "type=0|name=Bobscore99|score=5|key=P|p=|add=|z=000"},
        {"Ann", "Wales|z=1", "type=0|name=Ann|score=5|key=P|p=|add=Walesz1|z=000"},
        {"|=|=", "New Zealand & Co", "type=0|name=|score=5|key=P|p=|add=NewZealand|z=000"},
        {"\xC9mile\r\n", "\xF1", "type=0|name=mile|score=5|key=P|p=|add=|z=0000"},
    };
    for (const Case& c : cases) {
        const std::string payload = ResultPayload({c.name, c.country, 5}, "");
        EXPECT_EQ(payload, c.payload) << c.name;
        EXPECT_EQ(std::count(payload.begin(), payload.end(), '|'), 6) << "no field added";
    }
}

TEST(WebService, BothRequestsShareOneBudget) {
    // The version request is answered at once; the clock says how much of the 1000 ms budget it
    // took, as a trickling service would have used it.
    struct Case {
        int versionTookMs;
        TSubmitOutcome outcome;
        size_t requests;
    } cases[] = {
        {0, TSubmitOutcome::Sent, 2},
        {900, TSubmitOutcome::Sent, 2},
        {980, TSubmitOutcome::OutOfTime, 1},
        {5000, TSubmitOutcome::OutOfTime, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.versionTookMs);
        LoopbackServer server({ScriptedReply::Ok("OK"), ScriptedReply::Silent()});
        HeadlessPlatform platform;
        THttpClient http;
        const THttpTimeouts limits{std::chrono::milliseconds(1000),
                                   std::chrono::milliseconds(1000)};
        http.SetTimeouts(limits);
        const auto start = std::chrono::steady_clock::now();
        int calls = 0;
        const TSubmitClock clock = [&] {
            // The first reading is the start; every later one is after the version reply.
            return start + std::chrono::milliseconds(calls++ == 0 ? 0 : c.versionTookMs);
        };
        EXPECT_EQ(SubmitResult(platform, http, Local(server.Port()), {"Lark", "", 120}, clock),
                  c.outcome);
        EXPECT_EQ(server.Requests().size(), c.requests);
        EXPECT_TRUE(platform.MessageBoxes().empty()) << "the service did answer";
        EXPECT_EQ(http.Timeouts().Total, limits.Total) << "the client's limits are restored";
        EXPECT_EQ(http.Timeouts().Connect, limits.Connect);
    }
}

// A closing game abandons a send to a service that holds the line: whichever request is under way
// ends then and there (the client's own time-outs are a minute), nothing more is sent, the
// transfer reads as abandoned and the client takes no further request.
TEST(ResultSender, AbandoningEndsTheRequestUnderWay) {
    struct Case {
        const char* what;
        std::vector<ScriptedReply> script;
        size_t requests; // made when the service falls silent
    } cases[] = {
        {"silent version request", {ScriptedReply::Silent(), ScriptedReply::Ok("")}, 1},
        {"silent result request", {ScriptedReply::Ok("OK|1|2|3|4|5"), ScriptedReply::Silent()}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server(c.script, std::chrono::minutes(2));
        THttpClient http;
        http.SetTimeouts({std::chrono::minutes(1), std::chrono::minutes(1)});
        TResultSender sender;
        ASSERT_TRUE(sender.Start(http, Local(server.Port()), {"Lark", "", 120}));
        while (server.Requests().size() < c.requests)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));

        EXPECT_EQ(sender.Abandon(), TSubmitOutcome::Abandoned);
        EXPECT_FALSE(sender.Busy());
        EXPECT_EQ(sender.TakeOutcome(), std::nullopt) << "handed back once";
        EXPECT_EQ(server.Requests().size(), c.requests) << "nothing more is sent";
        EXPECT_TRUE(http.Abandoned());
        EXPECT_THROW(http.Get(VersionRequestUrl(Local(server.Port()))), EHttpError);
    }
}
