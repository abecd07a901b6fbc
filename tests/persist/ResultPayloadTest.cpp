#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "persist/WebService.h"
#include "server/ResultCheck.h"

#include <gtest/gtest.h>

using namespace pondlark;

TEST(ResultPayload, ParsingGivesBackWhatTheGameWrote) {
    struct Case {
        const char* name;
        int32_t score;
        const char* p;
        const char* country;
    } cases[] = {{"A", 0, "", ""},
                 {"ABCDEFGHI", 1234, "", ""},
                 {"Frog", 250, "77", "Wales"},
                 {"Bo", -10, "x", "Uk"}};
    for (const Case& c : cases) {
        const std::string payload = ResultPayload({c.name, c.country, c.score}, c.p);
        const auto fields = ParseResultPayload(payload);
        ASSERT_TRUE(fields) << payload;
        EXPECT_EQ(fields->type, "0");
        EXPECT_EQ(fields->name, c.name);
        EXPECT_EQ(fields->score, std::to_string(c.score));
        EXPECT_EQ(fields->key, std::string(1, kResultKey));
        EXPECT_EQ(fields->passBack, c.p);
        EXPECT_EQ(fields->country, c.country);
    }
}

TEST(ResultPayload, ParsingRefusesAnythingButTheLayout) {
    for (const char* payload : {
             "",
             "type=0|name=A|score=5|key=P|p=|add=|z=0",       // one "0" short of a multiple of 5
             "type=0|name=A|score=5|key=P|p=|add=|z=0000000", // more padding than needed
             "type=0|name=A|score=5|key=P|p=|add=|z=01",      // padding that is not zeros
             "type=0|name=A|score=5|p=|key=P|add=|z=00",      // fields out of order
             "type=0|name=A|name=B|score=5|key=P|p=|add=|z=", // a field twice
             "type=0|name=A|score=5|key=P|p=|add=Wales",      // no end field
             "name=A|type=0|score=5|key=P|p=|add=|z=00",      // wrong first field
         })
        EXPECT_FALSE(ParseResultPayload(payload)) << payload;
}

TEST(ResultPayload, TheServiceAcceptsWhatTheGameSendsForAnyStoredName) {
    // Whatever a hand-edited settings file holds, the game sends only what the service takes.
    const std::string token(scores::kTokenLength, 'a');
    const std::string inf =
        EncodeLine(ResultPayload({"Bob|score=9", "<b>Wales</b> and more", 120}, token));
    const scores::TCheckedResult checked = scores::CheckResultRequest(inf);
    ASSERT_EQ(checked.refusal, scores::TRefusal::None) << scores::RefusalText(checked.refusal);
    EXPECT_EQ(checked.Name, "Bobscore9");
    EXPECT_EQ(checked.Country, "bWalesband");
    EXPECT_EQ(checked.Score, 120);
}

TEST(WebService, ServiceAddressesFromTheCommandLine) {
    struct Case {
        const char* text;
        const char* host; // nullptr: refused
        int port;
    } cases[] = {
        {"127.0.0.1:8080", "127.0.0.1", 8080},
        {"scores.example:80", "scores.example", 80},
        {"[::1]:9000", "[::1]", 9000},
        {"host:65535", "host", 65535},
        {"host", nullptr, 0},
        {":8080", nullptr, 0},
        {"host:", nullptr, 0},
        {"host:0", nullptr, 0},
        {"host:65536", nullptr, 0},
        {"host:80x", nullptr, 0},
        {"a/b:80", nullptr, 0},
        {"a b:80", nullptr, 0},
        {"user@host:80", nullptr, 0},
    };
    for (const Case& c : cases) {
        const auto address = ParseServiceAddress(c.text);
        if (!c.host) {
            EXPECT_FALSE(address) << c.text;
            continue;
        }
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
    }
}
