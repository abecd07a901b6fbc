// One frame of the display pipeline: fill the back surface, write the status line, present.
#include "engine/TDXDraw.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "platform/HeadlessPlatform.h"

#include <benchmark/benchmark.h>

using namespace pondlark;

static void BM_DisplayFrame(benchmark::State& state) {
    HeadlessPlatform platform;
    TDXDraw draw(platform, PONDLARK_GAME_DIR "/Data/GameFont.otf");
    draw.SetSurfaceWidth(800);
    draw.SetSurfaceHeight(600);
    draw.Initialize();
    int score = 0;
    for (auto _ : state) {
        TDirectDrawSurface& s = *draw.Surface();
        s.Fill(0);
        auto& c = s.Canvas();
        c.Font.Color = RGBColor(255, 255, 0);
        c.Font.Size = 15;
        c.TextOut(150, -3, "Level: 3");
        c.TextOut(340, -3, "Lives: 2");
        c.TextOut(530, -3, "Score: " + std::to_string(score++ % 50)); // changes like a real score
        c.Release();
        draw.Flip();
    }
    state.counters["share_of_30ms_frame"] = benchmark::Counter(
        30e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DisplayFrame)->Unit(benchmark::kMicrosecond);
