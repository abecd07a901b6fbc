// Plays a stored replay again with the game's own verifier program (pondlark-verify), as a
// child process under hard limits, and reads its verdict.
//
// The verifier's contract: given the game's folder and the claimed name, country, score and
// token as arguments and the replay on standard input, it prints one line and exits:
// "verified score N level L frames F" (0), "refused: REASON" (1), or a usage error (2); a
// verifier that ran out of memory (the cap below) says "out of memory" and exits with
// `kVerifierOutOfMemory`. A result is verified only when the verifier says so and its score is
// the claimed one.
//
// The child runs in a process group of its own with RLIMIT_CPU, RLIMIT_AS and no core file,
// its standard error discarded and no other descriptor of the service; past the wall-clock
// limit the whole group is killed. Threads: any thread may run a verifier; each call owns its
// child.
#pragma once

#include "server/ScoreStore.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pondlark::scores {

inline constexpr int kVerifierOutOfMemory = 4;

struct TVerifierConfig {
    std::string Program; // "" when none is configured: replays wait as pending
    std::string GameDir;
    int CpuSeconds = 60;           // RLIMIT_CPU: an hour of play needs a few seconds
    size_t MemoryBytes = 1u << 30; // RLIMIT_AS
    int WallSeconds = 120;         // then the child's group is killed
};

struct TVerifierRun {
    TVerdict verdict;
    double cpuSeconds = 0; // the child's user and system time
    bool stopped = false;  // `stop` was set: the child was killed, no verdict
};

// Runs the verifier on `replay`. Never throws for the child's faults: they are refusals with
// their reason (it could not be started, ran over a limit, gave no verdict). `stop` (may be
// null) is looked at while the child runs: once set, the child is killed at once.
TVerifierRun RunVerifier(const TVerifierConfig& config, const TPendingReplay& replay,
                         const std::atomic<bool>* stop = nullptr);

// The class of a refusal's reason, for counting: "score" (the replay plays to another score),
// "replay" (the verifier refused the replay), "reused" (it proves another result already),
// "cpu", "time", "memory" (a limit run over), "verifier" (no verdict: it could not run, gave
// none, or was ended).
const char* RefusalClass(const std::string& reason);

// The verdict in the verifier's line and exit status, checked against what the result claims.
TVerdict ReadVerdict(const std::string& line, int exitStatus, const TResult& claim);

} // namespace pondlark::scores
