// pondlark-scores-load: a burst of players against the score service.
//   pondlark-scores-load [--db STORE] [--players N] [--parallel N] [--db-connections N]
// Runs the service in-process on a free loopback port over the store STORE (default
// sqlite:load.db), then lets N players (default 1000), PARALLEL at a time (default 16), each
// send one result exactly as the game does: its own HTTP client, the version request, then
// the result request. Prints the throughput and the time per player (median, 99th percentile,
// worst). The service has PARALLEL workers and at most --db-connections PostgreSQL
// connections (default 16: more only crowd a small server). Exits 1 unless every player was
// answered and every result stored.
#include "persist/WebService.h"
#include "platform/HeadlessPlatform.h"
#include "server/ScoreServer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace pondlark;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    std::string db = "sqlite:load.db";
    int players = 1000;
    int parallel = 16;
    int connections = 16;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "usage: pondlark-scores-load [--db STORE] [--players N] "
                                 "[--parallel N] [--db-connections N]\n");
            return 2;
        }
        if (a == "--db")
            db = argv[++i];
        else if (a == "--players")
            players = std::max(1, std::atoi(argv[++i]));
        else if (a == "--parallel")
            parallel = std::max(1, std::atoi(argv[++i]));
        else if (a == "--db-connections")
            connections = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "pondlark-scores-load: unknown option %s\n", a.c_str());
            return 2;
        }
    }

    std::unique_ptr<scores::IScoreStore> store;
    try {
        store = scores::OpenScoreStore(db, connections);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-scores-load: %s\n", e.what());
        return 1;
    }
    std::FILE* log = std::fopen("/dev/null", "w");
    scores::TServiceOptions options;
    options.Port = 0;
    options.ResultsPerMinute = 0; // every player comes from this one address
    options.VersionsPerMinute = 0;
    options.Limits.MaxConnectionsPerAddress = 0; // likewise
    options.Workers = parallel;
    scores::TScoreServer server(*store, options, log);
    const int port = server.Bind();
    std::thread serving([&] { server.Run(); });
    const int64_t before = store->CountResults();

    std::atomic<int> next{0};
    std::atomic<int> unanswered{0};
    std::vector<double> millis(static_cast<size_t>(players));
    const auto start = Clock::now();
    std::vector<std::thread> workers;
    for (int w = 0; w < parallel; ++w) {
        workers.emplace_back([&] {
            for (int p; (p = next++) < players;) {
                // A player is a game of its own: its own client, its own connection.
                HeadlessPlatform platform;
                THttpClient http;
                const auto began = Clock::now();
                const TSubmitOutcome outcome =
                    SubmitResult(platform, http, {"127.0.0.1", port},
                                 {"Frog" + std::to_string(p % 100000), "Loadland", 100 + p});
                millis[static_cast<size_t>(p)] =
                    std::chrono::duration<double, std::milli>(Clock::now() - began).count();
                if (outcome != TSubmitOutcome::Sent) ++unanswered;
            }
        });
    }
    for (std::thread& t : workers)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    server.Stop();
    serving.join();
    std::fclose(log);

    const int64_t stored = store->CountResults() - before;
    std::sort(millis.begin(), millis.end());
    const auto at = [&](double q) {
        const auto index = static_cast<size_t>(q * static_cast<double>(millis.size()));
        return millis[std::min(millis.size() - 1, index)];
    };
    std::printf("store: %s\n", store->Describe().c_str());
    std::printf("players %d, %d at a time: %lld stored, %d unanswered\n", players, parallel,
                static_cast<long long>(stored), unanswered.load());
    std::printf("%.2f s, %.0f players/s; per player: median %.1f ms, p99 %.1f ms, worst %.1f ms\n",
                seconds, players / seconds, at(0.5), at(0.99), millis.back());
    return stored == players && unanswered == 0 ? 0 : 1;
}
