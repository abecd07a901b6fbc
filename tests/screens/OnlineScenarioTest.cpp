#include "app/GameFixture.h"
#include "http/LoopbackServer.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "persist/TextEncoding.h"
#include "platform/VirtualKeys.h"
#include "screens/SendResultFlow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>

using namespace pondlark;
using namespace pondlark::test_support;

// A player quits a good game, types a name, ticks "Send result" and presses Enter: the service
// hears the version request, then the result, and the high-score screen opens.
TEST_F(GameFixture, AStoredResultIsSentWhenTheBoxIsTicked) {
    ASSERT_TRUE(Start());
    LoopbackServer server(
        {ScriptedReply::Ok("OK|1|2|3|77|5"), ScriptedReply::Ok("OK\n"), ScriptedReply::Ok("")});
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    PlayAndSendResult(*this, 1234, "FROG");
    EXPECT_EQ(form->State().HighScores[4].Name, "FROG");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].rfind("GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1\r\n", 0), 0u)
        << requests[0];
    // The game's replay, bound to the token of the version reply, before the result.
    EXPECT_EQ(requests[1].rfind("POST /api/replays?token=77 HTTP/1.1\r\n", 0), 0u) << requests[1];
    EXPECT_NE(requests[1].find("Content-Type: application/octet-stream\r\n"), std::string::npos)
        << requests[1];
    const std::string prefix = "GET /cgi/version.pl?hs&prg=Pondlark&inf=";
    ASSERT_EQ(requests[2].rfind(prefix, 0), 0u) << requests[2];
    const std::string inf =
        requests[2].substr(prefix.size(), requests[2].find(' ', prefix.size()) - prefix.size());
    EXPECT_EQ(DecodeLine(inf), "type=0|name=FROG|score=1234|key=P|p=77|add=|z=0000");
    EXPECT_TRUE(platform.MessageBoxes().empty());
}

// A service that takes the connection and never answers costs no frozen frame: the panel keeps
// being drawn with the moving "Sending result" sign and ignores the keys, and when the client's
// time-out ends the transfer the game says it could not connect and opens the table, which holds
// the result, on screen and on disk. The headless clock is paced with the real one, so the
// frames drawn are those a player would have seen (PONDLARK_SILENT_SEND_MS sets the time-out;
// the game's own is 15 000 ms).
TEST_F(GameFixture, ASilentServiceNeverFreezesTheWindow) {
    ASSERT_TRUE(Start());
    const char* budget = std::getenv("PONDLARK_SILENT_SEND_MS");
    const std::chrono::milliseconds total{budget ? std::atoi(budget) : 1500};
    LoopbackServer server({ScriptedReply::Silent()}, total + std::chrono::seconds(5));
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    form->HttpClient.SetTimeouts({std::min(total, std::chrono::milliseconds(5000)), total});
    PlayToTickedNamePanel(*this, 1234, "FROG");
    const std::vector<uint32_t> before = platform.LastFrame();

    Key(vk::Return);
    ASSERT_TRUE(form->SendingResult());
    int frames = 0;
    std::set<std::vector<uint32_t>> looks;
    while (form->SendingResult()) {
        const uint64_t drawn = form->FrameCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Frame();
        frames += static_cast<int>(form->FrameCount() - drawn);
        if (form->SendingResult()) {
            looks.insert(platform.LastFrame());
            Key(vk::Return); // ignored while sending: no second entry, no second transfer
        }
    }
    std::printf("frames drawn during a %lld ms silent send: %d\n",
                static_cast<long long>(total.count()), frames);
    EXPECT_GT(frames, 2);
    EXPECT_GE(looks.size(), 2u) << "the sign moves";
    EXPECT_FALSE(looks.contains(before)) << "the sign shows";

    form->Pump();
    EXPECT_EQ(form->State().Scene, TScene::HighScores);
    EXPECT_EQ(platform.MessageBoxes().size(), 1u);
    EXPECT_EQ(form->State().HighScores[4].Name, "FROG");
    EXPECT_NE(form->State().HighScores[5].Name, "FROG");
    EXPECT_EQ(server.Requests().size(), 1u);
    const auto saved = ReadConfig((dir / "Config.cfg").string(), DefaultHighScores());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->HighScores[4].Name, "FROG");
}

// The program asked to end while a result is being sent (the close box does nothing on this
// screen) ends the transfer with its loop: nothing waits for the silent service (whose time-outs
// are a minute here), no message is shown, and the result is in the table on disk.
TEST_F(GameFixture, QuittingWhileSendingAbandonsTheTransfer) {
    ASSERT_TRUE(Start());
    LoopbackServer server({ScriptedReply::Silent()}, std::chrono::minutes(2));
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    form->HttpClient.SetTimeouts({std::chrono::minutes(1), std::chrono::minutes(1)});
    PlayToTickedNamePanel(*this, 1234, "FROG");
    Key(vk::Return);
    ASSERT_TRUE(form->SendingResult());
    while (server.Requests().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    platform.CloseBox();
    Frame();
    EXPECT_FALSE(form->Terminated());
    EXPECT_TRUE(form->SendingResult()) << "the close box leaves the send alone";

    PlatformEvent quit;
    quit.type = PlatformEvent::Type::Quit;
    platform.PushEvent(quit);
    form->Pump();
    EXPECT_TRUE(form->Terminated());
    EXPECT_FALSE(form->SendingResult()) << "the transfer ended with the loop";
    EXPECT_TRUE(form->HttpClient.Abandoned());
    EXPECT_TRUE(platform.MessageBoxes().empty());
    EXPECT_EQ(server.Requests().size(), 1u);
    const auto saved = ReadConfig((dir / "Config.cfg").string(), DefaultHighScores());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->HighScores[4].Name, "FROG");
}

// A script's `wait` while the result is being sent lets the transfer finish in real time before
// the script's clock moves on: the result is always sent, however fast the script runs.
TEST_F(GameFixture, AScriptsWaitLetsTheTransferFinishFirst) {
    ASSERT_TRUE(Start());
    LoopbackServer server({ScriptedReply::Ok("OK|1|2|3|77|5"), ScriptedReply::Ok("")});
    form->ServiceAddress = {"127.0.0.1", server.Port()};
    PlayToTickedNamePanel(*this, 1234, "FROG");
    TScriptRunner runner(platform, *form, nullptr);
    runner.Run(ParseScript("key Return\n"));
    const uint64_t before = platform.Ticks();
    runner.Run(ParseScript("wait 30\n"));
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(form->State().Scene, TScene::HighScores);
    EXPECT_EQ(platform.Ticks() - before, 30u);
}
