#include "app/GameFixture.h"
#include "http/LoopbackServer.h"
#include "persist/TextEncoding.h"
#include "screens/SendResultFlow.h"

#include <gtest/gtest.h>

using namespace pondlark;
using namespace pondlark::test_support;

// A player quits a good game, types a name, ticks "Send result" and presses Enter: the service
// hears the version request, then the result, and the high-score screen opens.
TEST_F(GameFixture, AStoredResultIsSentWhenTheBoxIsTicked) {
    ASSERT_TRUE(Start());
    LoopbackServer server({ScriptedReply::Ok("OK|1|2|3|77|5"), ScriptedReply::Ok("")});
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    PlayAndSendResult(*this, 1234, "FROG");
    EXPECT_EQ(form->State().HighScores[4].Name, "FROG");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].rfind("GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1\r\n", 0), 0u)
        << requests[0];
    const std::string prefix = "GET /cgi/version.pl?hs&prg=Pondlark&inf=";
    ASSERT_EQ(requests[1].rfind(prefix, 0), 0u) << requests[1];
    const std::string inf =
        requests[1].substr(prefix.size(), requests[1].find(' ', prefix.size()) - prefix.size());
    EXPECT_EQ(DecodeLine(inf), "type=0|name=FROG|score=1234|key=P|p=77|add=|z=0000");
    EXPECT_TRUE(platform.MessageBoxes().empty());
}
