// Whole frames of the pond stage at its busiest, through the real frame handler on the headless
// backend: a pond that never stops scrolling, crocodile eyes and coins on every other lily,
// the frog, the bottle, the panels and the status line.
#include "app/TMainForm.h"
#include "bench/ThreadCpu.h"
#include "game/Lilies.h"
#include "game/PondEffects.h"
#include "game/PondStage.h"
#include "platform/HeadlessPlatform.h"
#include "screens/MenuSprites.h"
#include "tools/common/HeadlessGame.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

using namespace pondlark;

namespace {

constexpr double kFrameBudgetMs = 30.0;

double Percentile(std::vector<double> v, int percent) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * static_cast<size_t>(percent) / 100)];
}

// Every other lily hides a crocodile (one more sprite for its eyes), the rest carry a coin.
void FillPond(TMainForm& form) {
    TPondState& pond = form.State().Pond;
    MarkAllDead<TLily>(form.Engine());
    MarkAllDead<TCrocodileEyes>(form.Engine());
    MarkAllDead<TPondBonus>(form.Engine());
    form.Engine().Sweep();
    for (int row = -1; row <= 4; ++row)
        for (int column = 1; column <= 4; ++column)
            pond.Grid.At(row, column) = (row + column) % 2 ? TLilyCell{kLilyCrocodile, kBonusNone}
                                                           : TLilyCell{kLilyPlain2, kBonusCoin};
    pond.FirstBuild = true;
    BuildLilies(form);
}

} // namespace

static void BM_PondFrame(benchmark::State& state) {
    {
        HeadlessGame game(PONDLARK_GAME_DIR, "pond-bench", 3);
        TMainForm& form = *game.form;
        if (!form.Start()) {
            state.SkipWithError("the game did not start");
            return;
        }
        form.SwitchScene(TScene::Pond);
        form.State().Pond.LevelBanner = false;
        form.SceneTimer().SetEnabled(false);
        FillPond(form);
        TPondState& pond = form.State().Pond;
        // A frog that never reacts keeps the pond alive for as long as the benchmark runs.
        pond.FrogControl = false;

        std::vector<double> ms, cpu;
        ms.reserve(static_cast<size_t>(state.max_iterations));
        cpu.reserve(static_cast<size_t>(state.max_iterations));
        for (auto _ : state) {
            if (!pond.Scrolling && !pond.AdvanceOneRow) pond.AdvanceOneRow = true;
            const double c0 = ThreadCpuMs();
            const auto t0 = std::chrono::steady_clock::now();
            form.DXTimerTimer(0);
            const auto t1 = std::chrono::steady_clock::now();
            cpu.push_back(ThreadCpuMs() - c0);
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        const double median = Percentile(ms, 50);
        const double p99 = Percentile(ms, 99);
        state.counters["median_ms"] = median;
        state.counters["p99_ms"] = p99;
        state.counters["median_of_budget"] = median / kFrameBudgetMs;
        state.counters["p99_of_budget"] = p99 / kFrameBudgetMs;
        state.counters["cpu_median_ms"] = Percentile(cpu, 50);
        state.counters["cpu_p99_ms"] = Percentile(cpu, 99);
        state.counters["sprites"] = form.Engine().ChildCount();
    }
}
BENCHMARK(BM_PondFrame)->Unit(benchmark::kMillisecond)->Iterations(3000);
