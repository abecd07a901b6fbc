// pondlark-verify-bench: how fast the verify workers empty a queue of pending results.
//
// For each worker count, a fresh database (PostgreSQL: a database of its own on the server of
// --db; SQLite: a file of its own beside it) is filled with --results pending results, each with
// its replay; then that many workers of the service's own kind (TVerifyWorkers, the real
// verifier as a child per replay) verify them, and the time until none is pending is printed
// with the verifiers' CPU time.
//
// Replays: by default made up for a stand-in verifier ("score N" and a line of its own, so no
// two are alike); with --replay FILE, a real game's replay bound to a token of its own for each
// result (so each is a replay of its own that the real verifier plays to its end, and claims
// what the replay's trailer says).
#include "platform/Replay.h"
#include "server/ScoreStore.h"
#include "server/Sha256.h"
#include "server/VerifyWorkers.h"

#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace pondlark;
using namespace pondlark::scores;

namespace {

struct TReplayItem {
    std::string token, name, country, bytes;
    int score = 0;
};

int Usage() {
    std::fputs("usage: pondlark-verify-bench --db sqlite:PATH|postgresql://... --verifier PATH\n"
               "       [--game-dir DIR] [--results N] [--workers 1,2,4] [--replay FILE]\n",
               stderr);
    return 2;
}

// A fresh database for one run; the --db text that opens it.
std::string FreshDatabase(const std::string& db, const std::string& name) {
    if (db.rfind("sqlite:", 0) == 0) {
        const std::string path = db.substr(7) + "." + name;
        for (const char* suffix : {"", "-wal", "-shm"})
            std::remove((path + suffix).c_str());
        return "sqlite:" + path;
    }
    PGconn* conn = PQconnectdb(db.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::fprintf(stderr, "cannot connect: %s", PQerrorMessage(conn));
        std::exit(1);
    }
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    for (const std::string& sql : {"DROP DATABASE IF EXISTS " + name, "CREATE DATABASE " + name}) {
        PGresult* r = PQexec(conn, sql.c_str());
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            std::fprintf(stderr, "%s: %s", sql.c_str(), PQerrorMessage(conn));
            std::exit(1);
        }
        PQclear(r);
    }
    PQfinish(conn);
    return db + (db.find('?') == std::string::npos ? "?" : "&") + "dbname=" + name;
}

// `results` copies of the replay in `file`, each bound to a token of its own.
std::vector<TReplayItem> Rebound(const std::string& file, int results) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    TReplay replay =
        ParseReplay(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    std::vector<TReplayItem> items;
    for (int i = 0; i < results; ++i) {
        char token[33];
        std::snprintf(token, sizeof token, "%032x", i + 1);
        replay.Token = token;
        const std::vector<uint8_t> bytes = EncodeReplay(replay);
        items.push_back({token, replay.Name, replay.Country,
                         std::string(bytes.begin(), bytes.end()), replay.Score});
    }
    return items;
}

} // namespace

int main(int argc, char** argv) {
    std::string db, replays;
    TVerifierConfig config;
    int results = 1000;
    std::vector<int> counts = {1, 2, 4};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i], value = argv[i + 1];
        if (arg == "--db")
            db = value;
        else if (arg == "--verifier")
            config.Program = value;
        else if (arg == "--game-dir")
            config.GameDir = value;
        else if (arg == "--results")
            results = std::atoi(value.c_str());
        else if (arg == "--replay")
            replays = value;
        else if (arg == "--workers") {
            counts.clear();
            std::istringstream list(value);
            std::string n;
            while (std::getline(list, n, ','))
                counts.push_back(std::atoi(n.c_str()));
        } else
            return Usage();
    }
    if (db.empty() || config.Program.empty() || results < 1 || argc % 2 == 0) return Usage();
    std::vector<TReplayItem> items;
    if (!replays.empty()) items = Rebound(replays, results);
    const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    std::printf("%d pending results, verifier %s\n", results, config.Program.c_str());
    std::printf("workers  seconds  results/s  verified  refused  verifier CPU per result (ms)\n");
    for (const int count : counts) {
        const auto store =
            OpenScoreStore(FreshDatabase(db, "pondlark_bench_" + std::to_string(count)), count + 2);
        for (int i = 0; i < results; ++i) {
            TReplayItem item;
            if (items.empty()) {
                item.token = "bench" + std::to_string(i);
                item.name = "Frog";
                item.score = 100 + i;
                item.bytes =
                    "score " + std::to_string(item.score) + "\nreplay " + std::to_string(i);
            } else {
                item = items[static_cast<size_t>(i)];
            }
            store->AddToken(item.token, now);
            store->StoreReplay(item.token, item.bytes, Sha256Hex(item.bytes), now);
            store->StoreResult({{item.name, item.country, item.score}, item.token, "192.0.2.1"},
                               now);
        }
        std::mutex mutex;
        double cpu = 0;
        std::string firstRefusal;
        TVerifyWorkers workers(
            *store, config, count,
            [&](const std::string& line) {
                std::lock_guard lock(mutex);
                const size_t at = line.rfind("(cpu ");
                if (at != std::string::npos) cpu += std::atof(line.c_str() + at + 5);
                if (firstRefusal.empty() && line.find(" refused: ") != std::string::npos)
                    firstRefusal = line;
            },
            {}, 50);
        const auto start = std::chrono::steady_clock::now();
        workers.Start();
        while (store->CountPending() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        workers.Stop();
        std::printf("%7d  %7.2f  %9.1f  %8lld  %7lld  %.2f\n", count, seconds, results / seconds,
                    static_cast<long long>(workers.Verified()),
                    static_cast<long long>(workers.Refused()), cpu * 1000 / results);
        if (!firstRefusal.empty()) std::printf("  first refusal: %s\n", firstRefusal.c_str());
        std::fflush(stdout);
    }
    return 0;
}
