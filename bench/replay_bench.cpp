// Verifying a result: the recorded whole game of the replay test (level 1 with its feast, level
// 2's pond lost) played again headless without drawing, as pondlark-verify does. The figure that
// matters is the CPU time per minute of play; start-up (the game's data read afresh for every
// replay) is in it too.
#include "app/ReplayPlayer.h"
#include "app/TScriptRunner.h"
#include "bench/ThreadCpu.h"
#include "tools/common/HeadlessGame.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

using namespace pondlark;

namespace {

std::vector<uint8_t> RecordedGame() {
    std::ifstream file(PONDLARK_REPLAY_SCRIPT);
    std::stringstream text;
    text << file.rdbuf();
    const std::vector<TScriptLine> script = ParseScript(text.str());
    bool seeded = false;
    const uint32_t seed = TScriptRunner::SeedOf(script, seeded);
    HeadlessGame game(PONDLARK_GAME_DIR, "bench-replay", seed);
    if (!game.form->Start()) return {};
    TScriptRunner(game.platform, *game.form, nullptr).Run(script);
    const auto& replay = game.form->FinishedReplay();
    return replay ? EncodeReplay(*replay) : std::vector<uint8_t>{};
}

void BM_VerifyReplay(benchmark::State& state) {
    const std::vector<uint8_t> bytes = RecordedGame();
    const TReplay replay = ParseReplay(bytes);
    const TReplayClaim claim{replay.Name, replay.Country, replay.Token, replay.Score};
    double cpuMs = 0;
    for (auto _ : state) {
        const double before = ThreadCpuMs();
        const TReplayVerdict v = VerifyReplay(bytes, claim, PONDLARK_GAME_DIR);
        cpuMs += ThreadCpuMs() - before;
        if (!v.Verified) state.SkipWithError(v.Reason.c_str());
    }
    const double minutes = static_cast<double>(replay.DurationMs) / 60000.0;
    state.counters["cpu_ms_per_minute"] = cpuMs / static_cast<double>(state.iterations()) / minutes;
    state.counters["minutes"] = minutes;
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_VerifyReplay)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
