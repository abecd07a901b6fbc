// Whole frames of a busy eating stage: level 5 (every insect kind, the highest spawn chance),
// the stork striking over its legs, the tongue going in and out; the frame handler runs on the
// headless platform exactly as the game loop calls it. Reports the median and 99th-percentile
// frame time and their share of the 30 ms frame budget.
#include "app/TMainForm.h"
#include "bench/ThreadCpu.h"
#include "game/Stork.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"
#include "tools/common/HeadlessGame.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace pondlark;

namespace {

constexpr double kBudgetMs = 30.0;

bool HasStork(TSprite& root) {
    for (int i = 0; i < root.ChildCount(); ++i)
        if (root.Child(i)->IsA<TStork>() && !root.Child(i)->Dying()) return true;
    return false;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i =
        std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
    return v[i];
}

} // namespace

static void BM_EatingFrameLevel5(benchmark::State& state) {
    HeadlessGame game(PONDLARK_GAME_DIR, "eating-bench", 5);
    HeadlessPlatform& platform = game.platform;
    std::unique_ptr<TMainForm>& form = game.form;
    if (!form->Start()) {
        state.SkipWithError("the game did not start");
        return;
    }
    form->SwitchScene(TScene::MainMenu);
    form->SwitchScene(TScene::Pond);
    form->SwitchScene(TScene::Eating);
    TGameState& s = form->State();
    s.Level = 5;
    s.Lives = 1'000'000; // the stork never ends the game here
    s.Hunger = 30;
    new TStorkLeg(*form, 1);
    new TStorkLeg(*form, 2);
    s.Eating.LegsSpawned = true;

    std::vector<double> ms, cpu;
    int frame = 0;
    for (auto _ : state) {
        s.Eating.TimeLeft = 40; // the stage never ends, the legs and stork rules stay live
        if (!HasStork(form->Engine()) && s.Eating.LegsLanded) {
            s.Eating.StorkLeaving = false;
            new TStork(*form);
        }
        // The tongue: out for 20 frames, in for 20.
        if (frame % 40 == 0) platform.KeyDown(vk::Space);
        if (frame % 40 == 20) platform.KeyUp(vk::Space);
        platform.Advance(30);
        const double c0 = ThreadCpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        form->DXTimerTimer(0);
        const auto t1 = std::chrono::steady_clock::now();
        cpu.push_back(ThreadCpuMs() - c0);
        const double frameMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
        ms.push_back(frameMs);
        state.SetIterationTime(frameMs / 1000);
        ++frame;
    }
    const double median = Percentile(ms, 0.5), p99 = Percentile(ms, 0.99);
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = p99;
    state.counters["median_of_30ms"] = median / kBudgetMs;
    state.counters["p99_of_30ms"] = p99 / kBudgetMs;
    state.counters["cpu_median_ms"] = Percentile(cpu, 0.5);
    state.counters["cpu_p99_ms"] = Percentile(cpu, 0.99);
    std::printf("eating frame, level 5: median %.3f ms (%.1f %% of 30 ms), p99 %.3f ms "
                "(%.1f %% of 30 ms), %zu frames, %d sprites at the end\n",
                median, 100 * median / kBudgetMs, p99, 100 * p99 / kBudgetMs, ms.size(),
                form->Engine().ChildCount());
}
BENCHMARK(BM_EatingFrameLevel5)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMillisecond);
