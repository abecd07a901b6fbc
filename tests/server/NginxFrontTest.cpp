// The service behind Debian's nginx with the configuration in dist/: the game's protocol works
// through it, each player keeps its own rate limit (the service trusts nginx's
// X-Forwarded-For and nothing a client writes there), and a smuggled request gets nowhere.
#include "server/ServiceUnderTest.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "server/RawConnection.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

using namespace pondlark;
using namespace pondlark::test_support;
namespace fs = std::filesystem;

namespace {

const std::string kResult = "/cgi/version.pl?hs&prg=Pondlark&inf=";

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0;
    ::close(fd);
    return bound ? ntohs(addr.sin_port) : 0;
}

// nginx in a folder of its own, with dist/'s site pointed at the service's port and listening
// on a free one; stopped with the object.
class TNginx {
public:
    TNginx(const fs::path& folder, int servicePort) {
        const char* program = "/usr/sbin/nginx";
        if (::access(program, X_OK) != 0) {
            why_ = "nginx is not installed (Debian: nginx)";
            return;
        }
        std::ifstream in(PONDLARK_TEST_DATA "/../../dist/nginx-pondlark-scores.conf");
        std::stringstream text;
        text << in.rdbuf();
        std::string site = text.str();
        if (site.empty()) {
            why_ = "dist/nginx-pondlark-scores.conf is missing";
            return;
        }
        port_ = FreePort();
        site = std::regex_replace(site, std::regex("127\\.0\\.0\\.1:8080"),
                                  "127.0.0.1:" + std::to_string(servicePort));
        site = std::regex_replace(site, std::regex("listen 80;"),
                                  "listen 127.0.0.1:" + std::to_string(port_) + ";");
        fs::create_directories(folder);
        const std::string f = folder.string();
        std::ofstream conf(folder / "nginx.conf");
        conf << (::geteuid() == 0 ? "user nobody nogroup;\n" : "") << "daemon off;\n"
             << "worker_processes 1;\npid " << f << "/nginx.pid;\nerror_log " << f
             << "/error.log;\nevents { worker_connections 512; }\nhttp {\n"
             << "access_log " << f << "/access.log;\n"
             << "client_body_temp_path " << f << "/body;\nproxy_temp_path " << f << "/proxy;\n"
             << "fastcgi_temp_path " << f << "/fastcgi;\nuwsgi_temp_path " << f << "/uwsgi;\n"
             << "scgi_temp_path " << f << "/scgi;\n"
             << site << "\n}\n";
        conf.close();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(program, program, "-p", f.c_str(), "-c", (f + "/nginx.conf").c_str(), "-e",
                    (f + "/error.log").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            TRawConnection probe(port_);
            if (probe.Connected()) return;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                std::ifstream log(folder / "error.log");
                std::stringstream errors;
                errors << log.rdbuf();
                why_ = "nginx did not start: " + errors.str();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        why_ = "nginx did not listen within 5 s";
    }
    ~TNginx() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    TNginx(const TNginx&) = delete;
    TNginx& operator=(const TNginx&) = delete;

    const std::string& Why() const { return why_; }
    int Port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string why_;
};

// A request through nginx from `source`, the whole reply as raw text.
std::string Through(int port, const std::string& target, const char* source = "127.0.0.1",
                    const std::string& extra = "") {
    TRawConnection c(port, source);
    c.Send("GET " + target + " HTTP/1.1\r\nHost: scores.example\r\n" + extra +
           "Connection: close\r\n\r\n");
    return c.ReadAll();
}

std::string TokenOf(const std::string& reply) {
    std::string rest = reply.substr(reply.find("\r\n\r\n") + 4);
    for (int i = 0; i < 4; ++i)
        rest = rest.substr(rest.find('|') + 1);
    return rest.substr(0, rest.find('|'));
}

} // namespace

TEST(NginxFront, TheServiceWorksBehindTheDistConfiguration) {
    TServiceUnderTest service;
    scores::TServiceOptions options;
    options.TrustedProxies = {"127.0.0.1"};
    options.ResultsPerMinute = 2;
    options.PublicUrl = "https://scores.example/";
    ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    TNginx nginx(service.folder / "nginx", service.port);
    if (!nginx.Why().empty()) GTEST_SKIP() << nginx.Why();
    const int port = nginx.Port();

    // The protocol: a token, a result, its retry, the table, the operator's pages.
    const std::string version = Through(port, "/cgi/version.pl?version&prg=Pondlark", "127.0.0.2");
    ASSERT_EQ(version.rfind("HTTP/1.1 200", 0), 0u) << version;
    EXPECT_NE(version.find("|https://scores.example/|"), std::string::npos) << version;
    const std::string token = TokenOf(version);
    // The game's replay, the one body that passes, bound to the token before the result; a
    // body anywhere else stops at nginx.
    for (const auto& [target, body, status] :
         std::vector<std::tuple<std::string, std::string, const char*>>{
             {"/api/replays?token=" + token, std::string(300 * 1024, 'r'), "HTTP/1.1 200"},
             {"/api/scores", "x", "HTTP/1.1 405"},
             {"/api/replays?token=" + token, std::string(600 * 1024, 'r'), "HTTP/1.1 413"}}) {
        TRawConnection c(port, "127.0.0.2");
        c.Send("POST " + target + " HTTP/1.1\r\nHost: scores.example\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        const std::string reply = c.ReadAll();
        EXPECT_EQ(reply.rfind(status, 0), 0u) << target << " " << body.size() << ": " << reply;
    }
    const std::string result = kResult + EncodeLine(ResultPayload({"Frog", "Wales", 250}, token));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string stored = Through(port, result, "127.0.0.2");
        EXPECT_EQ(stored.rfind("HTTP/1.1 200", 0), 0u) << stored;
        EXPECT_NE(stored.find("\r\n\r\nOK\n"), std::string::npos) << stored;
    }
    struct Case {
        const char* target;
        const char* status;
        const char* contains;
    } cases[] = {
        {"/cgi/version.pl?prg=Pondlark&type=0&show&all=1", "200", "Frog"},
        {"/api/scores?limit=1&all=1", "200", "\"name\":\"Frog\""},
        {"/healthz", "200", "ok 1 results"},
        {"/readyz", "200", "ready"},
        {"/", "200", "Pondlark"},
        {"/nothing", "404", "ERR|not found"},
    };
    for (const Case& c : cases) {
        const std::string reply = Through(port, c.target);
        EXPECT_EQ(reply.substr(9, 3), c.status) << c.target << reply;
        EXPECT_NE(reply.find(c.contains), std::string::npos) << c.target << reply;
    }
    // The service logged the player's address, as nginx saw it, and no token.
    EXPECT_NE(service.Log().find("127.0.0.2 \"GET /cgi/version.pl?hs"), std::string::npos)
        << service.Log();
    EXPECT_EQ(service.Log().find(token), std::string::npos) << "a token in the log";

    // Each player its own limit (two results a minute), whatever it writes in X-Forwarded-For.
    const auto send = [&](const char* source, const std::string& forged) {
        const std::string t =
            TokenOf(Through(port, "/cgi/version.pl?version&prg=Pondlark", source));
        const std::string reply =
            Through(port, kResult + EncodeLine(ResultPayload({"Toad", "", 10}, t)), source,
                    forged.empty() ? "" : "X-Forwarded-For: " + forged + "\r\n");
        return reply.substr(9, 3);
    };
    EXPECT_EQ(send("127.0.0.4", ""), "200");
    EXPECT_EQ(send("127.0.0.4", ""), "200");
    EXPECT_EQ(send("127.0.0.4", "198.51.100.7"), "429") << "a forged address is not believed";
    EXPECT_EQ(send("127.0.0.5", ""), "200") << "another player is not limited";

    // A body smuggled on a GET does not reach the service as a request of its own.
    TRawConnection smuggler(port);
    const std::string inner = "GET /readyz HTTP/1.1\r\nHost: x\r\n\r\n";
    smuggler.Send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: " +
                  std::to_string(inner.size()) + "\r\n\r\n" + inner);
    smuggler.ReadAll();
    EXPECT_EQ(service.Log().find("\"GET /readyz\""), service.Log().rfind("\"GET /readyz\""))
        << "only the one /readyz of the table above";
}
