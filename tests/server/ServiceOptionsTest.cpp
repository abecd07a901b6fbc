#include "server/ScoreServer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pondlark::scores;

namespace {

struct TParsed {
    bool ok;
    bool help;
    std::string error;
    TServiceOptions options;
};

TParsed Parse(std::vector<const char*> args) {
    TParsed p;
    p.ok =
        ParseServiceOptions(static_cast<int>(args.size()), args.data(), p.options, p.help, p.error);
    return p;
}

} // namespace

TEST(ServiceOptions, CommandLinesAreReadOrRefusedWithAReason) {
    const TParsed defaults = Parse({});
    ASSERT_TRUE(defaults.ok);
    EXPECT_EQ(defaults.options.Database, "sqlite:scores.db");
    EXPECT_EQ(defaults.options.ResultsPerMinute, 20);

    // Each option beside its value.
    // clang-format off
    const TParsed full = Parse({
        "--listen", "[::]:9090", "--db", "postgresql://scores@db/pondlark", "--workers", "4",
        "--db-connections", "6", "--results-per-minute", "0", "--versions-per-minute", "30",
        "--public-url", "https://frogs.example/", "--request-timeout", "3",
        "--max-connections-per-address", "8", "--trusted-proxy", "10.0.0.1",
        "--trusted-proxy", "::1", "--shared-limits", "--verifier", "/usr/bin/pondlark-verify",
        "--game-dir", "/usr/share/games/pondlark", "--verify-workers", "3",
        "--verify-cpu-seconds", "20", "--verify-memory-mb", "512", "--verify-seconds", "40",
        "--verify-only"});
    // clang-format on
    ASSERT_TRUE(full.ok) << full.error;
    EXPECT_EQ(full.options.Host, "::");
    EXPECT_EQ(full.options.Port, 9090);
    EXPECT_EQ(full.options.Database, "postgresql://scores@db/pondlark");
    EXPECT_EQ(full.options.Workers, 4);
    EXPECT_EQ(full.options.DatabaseConnections, 6);
    EXPECT_EQ(full.options.ResultsPerMinute, 0);
    EXPECT_EQ(full.options.VersionsPerMinute, 30);
    EXPECT_EQ(full.options.PublicUrl, "https://frogs.example/");
    EXPECT_EQ(full.options.Limits.HeaderTimeout, std::chrono::seconds(3));
    EXPECT_EQ(full.options.Limits.MaxConnectionsPerAddress, 8);
    EXPECT_EQ(full.options.TrustedProxies, (std::vector<std::string>{"10.0.0.1", "::1"}));
    EXPECT_TRUE(full.options.SharedLimits);
    EXPECT_FALSE(defaults.options.SharedLimits);
    EXPECT_EQ(full.options.Verify.Program, "/usr/bin/pondlark-verify");
    EXPECT_EQ(full.options.Verify.GameDir, "/usr/share/games/pondlark");
    EXPECT_EQ(full.options.VerifyWorkers, 3);
    EXPECT_EQ(full.options.Verify.CpuSeconds, 20);
    EXPECT_EQ(full.options.Verify.MemoryBytes, size_t{512} << 20);
    EXPECT_EQ(full.options.Verify.WallSeconds, 40);
    EXPECT_TRUE(full.options.VerifyOnly);
    EXPECT_FALSE(defaults.options.VerifyOnly);
    EXPECT_EQ(defaults.options.VerifyWorkers, -1) << "one when a verifier is there";

    struct Bad {
        std::vector<const char*> args;
        const char* error;
    } bad[] = {
        {{"--listen", "8080"}, "--listen wants HOST:PORT"},
        {{"--listen", "host:70000"}, "--listen wants HOST:PORT"},
        {{"--workers", "0"}, "--workers wants a number from 1 to 256"},
        {{"--workers", "4x"}, "--workers wants a number from 1 to 256"},
        {{"--results-per-minute", "-1"}, "--results-per-minute wants a number from 0 to 1000000"},
        {{"--public-url", "http://a/|b"}, "--public-url wants an http:// or https:// address"},
        {{"--public-url", "ftp://a/"}, "--public-url wants an http:// or https:// address"},
        {{"--db"}, "--db needs a value"},
        {{"--trusted-proxy", "proxy.example"}, "--trusted-proxy wants an IP address"},
        {{"--shared-limits"}, "--shared-limits needs a PostgreSQL --db"},
        {{"--max-connections-per-address", "-1"},
         "--max-connections-per-address wants a number from 0 to 1000000"},
        {{"--verify-workers", "65"}, "--verify-workers wants a number from 0 to 64"},
        {{"--verify-cpu-seconds", "0"}, "--verify-cpu-seconds wants seconds from 1 to 3600"},
        {{"--verify-seconds", "x"}, "--verify-seconds wants seconds from 1 to 3600"},
        {{"--verify-memory-mb", "8"}, "--verify-memory-mb wants megabytes from 16 to 65536"},
        {{"--verify-only", "--verify-workers", "0"}, "--verify-only needs at least one"},
        {{"--verifier"}, "--verifier needs a value"},
        {{"--verbose", "1"}, "unknown option --verbose"},
        {{"stray"}, "unknown argument stray"},
    };
    for (const Bad& b : bad) {
        const TParsed p = Parse(b.args);
        EXPECT_FALSE(p.ok) << b.error;
        EXPECT_EQ(p.error.rfind(b.error, 0), 0u) << p.error;
    }
    EXPECT_TRUE(Parse({"--listen", "x:1", "--help"}).help);
}

TEST(ServiceOptions, HelpExplainsEveryOption) {
    const std::string usage = ServiceUsage();
    for (const char* option : {"--listen HOST:PORT",
                               "--db sqlite:PATH",
                               "--db postgresql://",
                               "--db-connections N",
                               "--workers N",
                               "--results-per-minute N",
                               "--versions-per-minute N",
                               "--public-url URL",
                               "--request-timeout SECONDS",
                               "--max-connections-per-address",
                               "--trusted-proxy ADDR",
                               "--shared-limits",
                               "--verifier PATH",
                               "--game-dir DIR",
                               "--verify-workers N",
                               "--verify-only",
                               "--verify-cpu-seconds N",
                               "--verify-memory-mb N",
                               "--verify-seconds N",
                               "--help",
                               "SIGTERM",
                               "standard error"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
