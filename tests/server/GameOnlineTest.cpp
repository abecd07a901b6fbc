// The game's own online flow against the real pondlark-scores program: a result played in the
// headless game reaches the service's table page, on SQLite and on PostgreSQL; the program
// logs every request and stops cleanly on SIGTERM, answering the request it is in.
#include "app/GameFixture.h"
#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "persist/WebService.h"
#include "platform/Replay.h"
#include "screens/SendResultFlow.h"
#include "server/RawConnection.h"
#include "server/ServiceUnderTest.h"
#include "server/SpawnLogged.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <regex>
#include <span>
#include <sstream>
#include <thread>

extern char** environ;

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Connects(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// pondlark-scores started as a child process on a free port, its standard error in a file.
class TServiceProcess {
public:
    TServiceProcess(const std::string& db, const std::filesystem::path& log,
                    const std::vector<std::string>& more = {})
        : log_(log) {
        std::vector<std::string> args = {PONDLARK_SCORES_PROGRAM, "--listen", "127.0.0.1:0", "--db",
                                         db};
        args.insert(args.end(), more.begin(), more.end());
        pid_ = SpawnLogged(std::move(args), log_);
        // The program names its port on its first line.
        const std::regex serving("serving http://127\\.0\\.0\\.1:([0-9]+)/");
        for (int i = 0; i < 200 && pid_ > 0 && port_ == 0; ++i) {
            std::smatch m;
            const std::string text = ReadFile(log_);
            if (std::regex_search(text, m, serving))
                port_ = std::stoi(m[1]);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~TServiceProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int Port() const { return port_; }
    std::string Log() const { return ReadFile(log_); }
    void Terminate() { ::kill(pid_, SIGTERM); }
    // The exit status, or -1 when the program did not exit normally.
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::filesystem::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};

struct GameOnline : GameFixture, ::testing::WithParamInterface<TBackend> {
    std::optional<TPostgresServer> postgres;
    std::unique_ptr<TServiceProcess> process;

    // Starts pondlark-scores on the test's store; "" or why the test must be skipped.
    std::string StartService(const std::vector<std::string>& more = {}) {
        std::string skip;
        const std::string db = DatabaseFor(GetParam(), dir, postgres, skip);
        if (db.empty()) return skip;
        process = std::make_unique<TServiceProcess>(db, dir / "service.log", more);
        return "";
    }
    void TearDown() override {
        process.reset();
        postgres.reset();
        GameFixture::TearDown();
    }
};

} // namespace

TEST_P(GameOnline, APlayedResultAppearsOnTheServicesTablePage) {
    const std::string skip = StartService();
    if (!skip.empty()) GTEST_SKIP() << skip;
    TServiceProcess& service = *process;
    ASSERT_NE(service.Port(), 0) << service.Log();

    ASSERT_TRUE(Start());
    form->ServiceAddress = {"127.0.0.1", service.Port()};
    PlayAndSendResult(*this, 1234, "FROG");
    if (HasFatalFailure()) return;
    EXPECT_TRUE(platform.MessageBoxes().empty()) << "the service answered the version request";

    THttpClient http;
    const std::string page = http.Get("http://127.0.0.1:" + std::to_string(service.Port()) +
                                      "/cgi/version.pl?prg=Pondlark&type=0&show&all=1");
    EXPECT_NE(page.find("<td class=\"rank\">1</td><td class=\"name\">FROG</td>"
                        "<td class=\"country\"></td><td class=\"score\">1234</td>"),
              std::string::npos)
        << page;
    // The page the game opens from the high-score screen is the same address.
    EXPECT_EQ(form->OnlineHighScoresUrl(), "http://127.0.0.1:" + std::to_string(service.Port()) +
                                               "/cgi/version.pl?prg=Pondlark&type=0&show");

    service.Terminate();
    EXPECT_EQ(service.Wait(), 0);
    // One access-log line per request: the version request, the result and the page.
    const std::string log = service.Log();
    const std::regex line(R"re(\S+ 127\.0\.0\.1 "GET (\S+)" (\d{3}) \d+\.\d\d ms)re");
    std::vector<std::string> logged;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator();
         ++it) {
        const std::string target = (*it)[1].str();
        const size_t inf = target.find("&inf=");
        logged.push_back((inf == std::string::npos ? target : target.substr(0, inf + 5) + "...") +
                         " " + (*it)[2].str());
    }
    EXPECT_EQ(logged,
              (std::vector<std::string>{"/cgi/version.pl?version&prg=Pondlark 200",
                                        "/cgi/version.pl?hs&prg=Pondlark&inf=... 200",
                                        "/cgi/version.pl?prg=Pondlark&type=0&show&all=1 200"}))
        << log;
}

// Level 1 jumped to and fro until the lives run out: the game of docs/shots/gameover.txt up to
// its name panel (without its shots), then the name typed and "Send result" ticked.
std::string HonestGameScript() {
    std::ifstream in(PONDLARK_TEST_DATA "/../../docs/shots/gameover.txt");
    std::string script, line;
    while (std::getline(in, line) && line.rfind("type ", 0) != 0)
        if (line.rfind("shot ", 0) != 0) script += line + "\n";
    return script + "type FROGGY\nclick 260 385\n";
}

// What the service lists at `target`, once `done` holds for it (or after about 60 s, the bound
// of a stuck verifier, not a measure of speed).
std::string ListedOnce(int port, const std::string& target,
                       const std::function<bool(const std::string&)>& done) {
    THttpClient http;
    std::string text;
    for (int i = 0; i < 600; ++i) {
        try {
            text = http.Get("http://127.0.0.1:" + std::to_string(port) + target);
        } catch (const EHttpError&) {
        }
        if (done(text)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return text;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The whole way of a verified result: a game played in the headless game sends its result and
// its replay to the real program, whose worker plays the replay with the real pondlark-verify
// and lists it as verified with its replay; tampered replays and a forged result stay off the
// default table, each refusal with its reason in the log.
TEST_P(GameOnline, APlayedGameIsVerifiedAndTamperedOnesAreRefused) {
    const std::string skip = StartService({"--verifier", PONDLARK_VERIFY_PROGRAM, "--game-dir",
                                           PONDLARK_GAME_DIR, "--verify-workers", "2"});
    if (!skip.empty()) GTEST_SKIP() << skip;
    TServiceProcess& service = *process;
    ASSERT_NE(service.Port(), 0) << service.Log();
    ASSERT_TRUE(Start());
    const TServiceAddress address{"127.0.0.1", service.Port()};
    form->ServiceAddress = address;
    TScriptRunner runner(platform, *form, nullptr);
    runner.Run(ParseScript(HonestGameScript()));
    ASSERT_EQ(form->State().Scene, TScene::GameOver);
    const int32_t score = form->State().Score;
    ASSERT_GT(score, 0);
    Key(vk::Return);
    FinishSending();

    const std::string verified = ListedOnce(service.Port(), "/api/scores", [](const auto& text) {
        return text.find("\"verified\":true") != std::string::npos;
    });
    ASSERT_NE(
        verified.find("\"name\":\"FROGGY\",\"country\":\"\",\"score\":" + std::to_string(score)),
        std::string::npos)
        << verified << service.Log();
    const size_t at = verified.find("\"replay\":\"") + 10;
    const std::string replayPath = verified.substr(at, verified.find('"', at) - at);
    THttpClient http;
    const std::string url = "http://127.0.0.1:" + std::to_string(service.Port());
    const std::string downloaded = http.Get(url + replayPath);
    const TReplay played = ParseReplay(
        std::span(reinterpret_cast<const uint8_t*>(downloaded.data()), downloaded.size()));
    EXPECT_EQ(played.Score, score);
    EXPECT_EQ(played.Name, "FROGGY");

    // Each tampered game the way the game sends one: a token, the replay, the result.
    const auto rebound = [&](const std::string& token) {
        TReplay r = played;
        r.Token = token;
        const std::vector<uint8_t> bytes = EncodeReplay(r);
        return std::string(bytes.begin(), bytes.end());
    };
    struct Case {
        const char* what;
        std::function<std::string(const std::string& token)> replay;
        TResult claim;
        const char* logged;
    } cases[] = {
        {"the claimed score +5", rebound, {"FROGGY", "", score + 5}, "score differs"},
        {"another name", rebound, {"TOAD", "", score}, "another name"},
        {"the replay of another token",
         [&](auto&) { return std::string(downloaded); },
         {"FROGGY", "", score},
         "the replay already proves another result"},
        {"a flipped byte",
         [&](auto& t) {
             std::string b = rebound(t);
             b[b.size() / 2] = static_cast<char>(b[b.size() / 2] ^ 0x10);
             return b;
         },
         {"FROGGY", "", score},
         "damaged replay"},
        {"truncated",
         [&](auto& t) { return rebound(t).substr(0, rebound(t).size() / 2); },
         {"FROGGY", "", score},
         "truncated replay"},
        {"forged, without a replay",
         [](auto&) { return std::string(); },
         {"FORGER", "", 99'999'999},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string token = PassBackValue(http.Get(VersionRequestUrl(address)));
        const std::string replay = c.replay(token);
        if (!replay.empty()) {
            EXPECT_EQ(http.Post(ReplayUploadUrl(address, token), replay), "OK\n");
        }
        EXPECT_EQ(http.Get(ResultRequestUrl(address, EncodeLine(ResultPayload(c.claim, token)))),
                  "OK\n");
    }
    const std::string all = ListedOnce(service.Port(), "/api/scores?all=1", [&](const auto&) {
        return Count(service.Log(), " refused: ") >= 5;
    });
    const std::string log = service.Log();
    for (const Case& c : cases) {
        if (*c.logged) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << c.what << log;
        }
    }
    EXPECT_EQ(Count(all, "\"rank\":"), 7u) << "every result is kept: " << all;
    const std::string shown = http.Get(url + "/api/scores");
    EXPECT_EQ(Count(shown, "\"rank\":"), 1u) << shown;
    EXPECT_NE(shown.find(replayPath), std::string::npos) << shown;
    EXPECT_EQ(shown.find("99999999"), std::string::npos) << shown;
    EXPECT_EQ(http.Get(url + "/cgi/version.pl?prg=Pondlark&type=0&show").find("FORGER"),
              std::string::npos);
}

TEST_P(GameOnline, SigtermAnswersTheRequestInFlightAndExitsCleanly) {
    const std::string skip = StartService();
    if (!skip.empty()) GTEST_SKIP() << skip;
    TServiceProcess& service = *process;
    ASSERT_NE(service.Port(), 0) << service.Log();

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(service.Port()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const timeval limit{20, 0}; // a service that never answers fails the test, not hangs it
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const auto send = [fd](const std::string& text) {
        return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    };
    const auto receiveUntil = [fd](const std::string& end) {
        std::string reply;
        char buffer[1024];
        ssize_t n;
        while (reply.find(end) == std::string::npos &&
               (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            reply.append(buffer, static_cast<size_t>(n));
        return reply;
    };
    // A first request makes sure the service has taken the connection (one still waiting in
    // the listen queue is not in flight); the second is half sent when the signal comes.
    ASSERT_TRUE(send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_NE(receiveUntil("results\n").find("ok 0 results"), std::string::npos);
    ASSERT_TRUE(send("GET /healthz HTTP/1.1\r\nHost: x\r\n"));
    service.Terminate();
    // Once the service has stopped listening, the rest of the request goes out.
    for (int i = 0; i < 200 && Connects(service.Port()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_FALSE(Connects(service.Port()));
    ASSERT_TRUE(send("\r\n"));
    const std::string reply = receiveUntil("results\n");
    // Answered, the connection is closed rather than kept for another request.
    char more = 0;
    const ssize_t after = ::recv(fd, &more, 1, 0);
    ::close(fd);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("ok 0 results"), std::string::npos) << reply;
    EXPECT_EQ(service.Wait(), 0) << service.Log();
}

INSTANTIATE_TEST_SUITE_P(Stores, GameOnline,
                         ::testing::Values(TBackend::Sqlite, TBackend::Postgres), BackendName);

// The program, not only the server object: with its PostgreSQL stopped (SIGSTOP, connections
// open) and a request waiting for it, SIGTERM still ends it within five seconds, status 0, and
// the waiting request gets its 503.
TEST(GameOnlineStalledDatabase, SigtermEndsTheProgramWithinFiveSecondsWhilePostgresqlIsStopped) {
    TPostgresServer postgres;
    if (!postgres.Running())
        GTEST_SKIP() << "PostgreSQL cannot run here, so this test is skipped: " << postgres.Why();
    const std::filesystem::path folder = FreshTestFolder();
    TServiceProcess service(postgres.Uri(), folder / "service.log");
    ASSERT_NE(service.Port(), 0) << service.Log();
    const std::string version =
        "GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1\r\nHost: x\r\nConnection: "
        "close\r\n\r\n";
    {
        TRawConnection first(service.Port());
        ASSERT_TRUE(first.Send(version));
        EXPECT_EQ(first.ReadAll().rfind("HTTP/1.1 200", 0), 0u);
    }
    ASSERT_TRUE(postgres.SignalAll(SIGSTOP));
    TRawConnection waiting(service.Port());
    ASSERT_TRUE(waiting.Send(version));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    service.Terminate();
    const int status = service.Wait();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    const std::string reply = waiting.ReadAll();
    postgres.SignalAll(SIGCONT);
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(status, 0) << service.Log();
    EXPECT_EQ(reply.rfind("HTTP/1.1 503", 0), 0u) << reply;
    std::filesystem::remove_all(folder);
}
