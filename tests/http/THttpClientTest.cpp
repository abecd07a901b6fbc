#include "http/THttpClient.h"

#include "http/LoopbackServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

std::string LocalUrl(int port, const std::string& target) {
    return "http://127.0.0.1:" + std::to_string(port) + target;
}

// Short enough that the failure cases stay quick; long enough for a loaded machine.
THttpTimeouts ShortTimeouts() {
    return {std::chrono::milliseconds(1000), std::chrono::milliseconds(1000)};
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(THttpClient, SendsExactlyTheServiceHeadersAndReturnsTheWholeBody) {
    const std::string body("OK|1|2\r\nline two\0 with a zero byte", 34);
    LoopbackServer server({ScriptedReply::Ok(body)});
    THttpClient http;

    EXPECT_EQ(http.Get(LocalUrl(server.Port(), "/cgi/version.pl?version&prg=Pondlark")), body);

    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string request = server.Requests()[0];
    EXPECT_EQ(request.rfind("GET /cgi/version.pl?version&prg=Pondlark HTTP/1.1\r\n", 0), 0u)
        << request;
    for (const std::string& header : std::vector<std::string>{
             "Accept: text/html, */*\r\n", "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n",
             "Content-Type: text/html\r\n",
             "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"})
        EXPECT_EQ(Occurrences(request, header), 1u) << header << " in\n" << request;
    EXPECT_EQ(Occurrences(request, "Accept:"), 1u) << "no second Accept line";
    EXPECT_EQ(Occurrences(request, "User-Agent:"), 1u);
}

TEST(THttpClient, ReportsEveryFailureAsAnError) {
    struct Case {
        const char* what;
        std::optional<ScriptedReply> reply; // none: nothing listens on the port
        long status;
    } cases[] = {
        {"server error", ScriptedReply::Status(500), 500},
        {"not found", ScriptedReply::Status(404), 404},
        {"redirect", ScriptedReply::Status(302), 302},
        {"silent server", ScriptedReply::Silent(), 0},
        {"refused connection", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        THttpClient http;
        http.SetTimeouts(ShortTimeouts());
        std::optional<LoopbackServer> server;
        std::optional<ClosedPort> closed;
        int port = 0;
        if (c.reply) {
            server.emplace(std::vector<ScriptedReply>{*c.reply});
            port = server->Port();
        } else {
            closed.emplace();
            port = closed->Port();
        }
        try {
            http.Get(LocalUrl(port, "/"));
            ADD_FAILURE() << "no error reported";
        } catch (const EHttpError& e) {
            EXPECT_EQ(e.Status(), c.status) << e.what();
        }
    }
}

TEST(THttpClient, DoesNotFollowRedirects) {
    LoopbackServer server(
        {{302, "moved", "Location: /elsewhere\r\n", false}, ScriptedReply::Ok("followed")});
    THttpClient http;
    http.SetTimeouts(ShortTimeouts());
    EXPECT_THROW(http.Get(LocalUrl(server.Port(), "/")), EHttpError);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(THttpClient, KeepsCookiesForLaterRequests) {
    LoopbackServer server(
        {{200, "OK", "Set-Cookie: visit=frog42; Path=/\r\n", false}, ScriptedReply::Ok("OK")});
    THttpClient http;
    http.Get(LocalUrl(server.Port(), "/cgi/version.pl?version&prg=Pondlark"));
    http.Get(LocalUrl(server.Port(), "/cgi/version.pl?hs&prg=Pondlark&inf=AB"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(Occurrences(requests[0], "Cookie:"), 0u);
    EXPECT_EQ(Occurrences(requests[1], "Cookie: visit=frog42\r\n"), 1u) << requests[1];
}

TEST(THttpClient, IgnoresProxySettingsOfTheEnvironment) {
    ClosedPort deadProxy;
    const std::string proxy = "http://127.0.0.1:" + std::to_string(deadProxy.Port());
    LoopbackServer server({ScriptedReply::Ok("direct")});
    ::setenv("http_proxy", proxy.c_str(), 1);
    ::setenv("HTTP_PROXY", proxy.c_str(), 1);
    THttpClient http;
    http.SetTimeouts(ShortTimeouts());
    std::string body;
    EXPECT_NO_THROW(body = http.Get(LocalUrl(server.Port(), "/")));
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_EQ(body, "direct");
}

TEST(THttpClient, RefusesRepliesLargerThanTheLimit) {
    LoopbackServer server({ScriptedReply::Ok(std::string(4096, 'x')), ScriptedReply::Ok("OK")});
    THttpClient http;
    http.SetTimeouts(ShortTimeouts());
    http.SetMaxBodySize(1024);
    EXPECT_THROW(http.Get(LocalUrl(server.Port(), "/")), EHttpError);
    EXPECT_EQ(http.Get(LocalUrl(server.Port(), "/")), "OK") << "the client stays usable";
}

TEST(THttpClient, MissingLibraryFailsEveryRequestWithItsName) {
    LoopbackServer server({ScriptedReply::Ok("OK")});
    THttpClient http("libpondlark-no-such-http.so.4");
    http.SetTimeouts(ShortTimeouts());
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        try {
            http.Get(LocalUrl(server.Port(), "/"));
            ADD_FAILURE() << "a client without its library answered";
        } catch (const EHttpError& error) {
            EXPECT_NE(std::string(error.what()).find("libpondlark-no-such-http.so.4"),
                      std::string::npos)
                << error.what();
            EXPECT_EQ(error.Status(), 0);
        }
    }
    EXPECT_TRUE(server.Requests().empty());
    http.Abandon(); // nothing was opened: must not touch the missing library
    EXPECT_TRUE(http.Abandoned());
}
