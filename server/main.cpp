// pondlark-scores: the score service. See --help, and "Running the score service" in the
// README.
#include "server/ScoreServer.h"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <thread>

using namespace pondlark::scores;

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

    try {
        const std::unique_ptr<IScoreStore> store =
            OpenScoreStore(options.Database, options.DatabaseConnections);
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
