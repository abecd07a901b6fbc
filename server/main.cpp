// pondlark-scores: the score service. See --help, and "Running the score service" in the
// README.
#include "server/Pages.h"
#include "server/ScoreServer.h"

#include <pthread.h>
#include <signal.h>

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <thread>

using namespace pondlark::scores;

namespace {

// The install layout: the verifier beside this program, the game's data under share/ beside
// its folder (Debian's games layout or the plain one).
void FillVerifierDefaults(TVerifierConfig& config) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path here = fs::read_symlink("/proc/self/exe", ec).parent_path();
    if (ec) return;
    if (config.Program.empty() && ::access((here / "pondlark-verify").c_str(), X_OK) == 0)
        config.Program = (here / "pondlark-verify").string();
    if (config.GameDir.empty())
        for (const char* data : {"../share/games/pondlark", "../share/pondlark"})
            if (fs::is_directory(here / data / "Data", ec)) {
                config.GameDir = fs::weakly_canonical(here / data, ec).string();
                break;
            }
}

void Say(const std::string& line) {
    std::fprintf(stderr, "pondlark-scores: %s\n", LogSafe(line).c_str());
    std::fflush(stderr);
}

} // namespace

int main(int argc, char** argv) {
    TServiceOptions options;
    bool help = false;
    std::string error;
    if (!ParseServiceOptions(argc - 1, argv + 1, options, help, error)) {
        std::fprintf(stderr, "pondlark-scores: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(ServiceUsage().c_str(), stdout);
        return 0;
    }

    // The signals are taken by one waiting thread, never by a handler in the middle of work;
    // every thread started from here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    FillVerifierDefaults(options.Verify);
    try {
        const std::unique_ptr<IScoreStore> store =
            OpenScoreStore(options.Database, options.DatabaseConnections);
        if (options.Verify.Program.empty())
            Say("no verifier (--verifier): results sent with a replay stay pending");
        else if (options.VerifyOnly || options.VerifyWorkers != 0)
            Say("verifying with " + options.Verify.Program + " in " +
                (options.Verify.GameDir.empty() ? std::string("(no game folder)")
                                                : options.Verify.GameDir));
        if (options.VerifyOnly) {
            if (options.Verify.Program.empty()) {
                Say("--verify-only needs a verifier (--verifier)");
                return 2;
            }
            const int count = options.VerifyWorkers < 0 ? 1 : options.VerifyWorkers;
            TVerifyWorkers workers(*store, options.Verify, count, Say);
            workers.Start();
            Say("verifying with " + std::to_string(count) + " workers on " + store->Describe());
            int signal = 0;
            sigwait(&stopSignals, &signal);
            Say(std::string("stopping (") + (signal == SIGTERM ? "SIGTERM" : "SIGINT") + ")");
            workers.Stop();
            Say("stopped");
            return 0;
        }
        TScoreServer server(*store, options, stderr);
        const int port = server.Bind();
        std::fprintf(stderr, "pondlark-scores: serving http://%s:%d/ from %s\n",
                     options.Host.c_str(), port, store->Describe().c_str());
        std::fflush(stderr);

        std::thread waiter([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            std::fprintf(stderr, "pondlark-scores: stopping (%s)\n",
                         signal == SIGTERM ? "SIGTERM" : "SIGINT");
            server.Stop();
        });
        const bool served = server.Run();
        if (!served) {
            pthread_kill(waiter.native_handle(), SIGTERM);
        }
        waiter.join();
        if (!served) {
            std::fprintf(stderr, "pondlark-scores: could not serve\n");
            return 1;
        }
        std::fprintf(stderr, "pondlark-scores: stopped\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-scores: %s\n", e.what());
        return 1;
    }
}
