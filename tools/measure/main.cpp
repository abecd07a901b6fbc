// pondlark-measure: small measurements of the real game on the headless platform, for the
// README's performance table. One `key value` line per figure.
//   pondlark-measure --dir GAMEDIR --menus      frame times of every menu screen at its busiest
//   pondlark-measure --dir GAMEDIR --archives   load times of the picture and sound archives
//   pondlark-measure --dir GAMEDIR --startup    the wall-clock times (CLOCK_REALTIME, ns) of
//                                               main's start and of the first presented frame,
//                                               the picture archive's read and decode times,
//                                               the time of each scene's start with its first
//                                               frame, then the peak resident memory after a
//                                               little play
// Config.cfg goes to a fresh temporary folder, never to GAMEDIR.
#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"
#include "platform/VirtualKeys.h"
#include "tools/common/HeadlessGame.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pondlark;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

struct Game : HeadlessGame {
    explicit Game(const std::string& dataDir) : HeadlessGame(dataDir, "measure", 5) {}
    // Delivers the queued input the way the loop does, without moving the frame timer.
    void Input() {
        while (platform.PendingEvents() > 0)
            form->Pump();
    }
    void Type(const std::string& text) {
        for (char c : text) {
            platform.KeyDown(c);
            platform.KeyUp(c);
        }
        Input();
    }
};

// Times `frames` frames of the frame handler as the loop calls it, after `warm` untimed ones.
std::vector<double> TimeFrames(Game& g, int frames, int warm = 30) {
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(frames));
    for (int i = 0; i < warm + frames; ++i) {
        g.platform.Advance(30);
        const auto t0 = Clock::now();
        g.form->DXTimerTimer(0);
        const auto t1 = Clock::now();
        if (i >= warm) ms.push_back(Ms(t1 - t0));
    }
    return ms;
}

void Report(const char* name, const std::vector<double>& ms) {
    std::printf("frame.%s.median_ms %.4f\nframe.%s.p99_ms %.4f\n", name, Percentile(ms, 0.5), name,
                Percentile(ms, 0.99));
}

int Menus(const std::string& dir) {
    Game g(dir);
    if (!g.form->Start()) return 1;
    constexpr int kFrames = 1500;
    Report("intro", TimeFrames(g, kFrames));
    // The main menu with an item lit under the pointer.
    g.form->SwitchScene(TScene::MainMenu);
    g.platform.MouseMove(545, 185);
    g.Input();
    Report("main_menu", TimeFrames(g, kFrames));
    // Every help page in turn.
    g.form->SwitchScene(TScene::Help);
    std::vector<double> help;
    for (int page = 0; page < 5; ++page) {
        const auto ms = TimeFrames(g, kFrames / 5);
        help.insert(help.end(), ms.begin(), ms.end());
        g.platform.MouseMove(650, 520);
        g.platform.MouseDown(650, 520);
        g.platform.MouseUp(650, 520);
        g.Input();
    }
    Report("help", help);
    // The options with a country being typed: the text is measured and drawn every frame.
    g.form->SwitchScene(TScene::Options);
    g.form->State().Flags.GameTyping = true;
    g.Type("SWEDEN");
    Report("options", TimeFrames(g, kFrames));
    g.form->SwitchScene(TScene::HighScores);
    g.platform.MouseMove(100, 235);
    g.Input();
    Report("high_scores", TimeFrames(g, kFrames));
    // Game over, then the name entry with a name being typed.
    g.form->State().Score = 5000;
    g.form->SwitchScene(TScene::GameOver);
    g.form->SceneTimerTimer();
    g.Type("FROGGY");
    Report("name_entry", TimeFrames(g, kFrames));
    if (!g.form->ReportedErrors().empty()) {
        std::fprintf(stderr, "pondlark-measure: the game reported: %s\n",
                     g.form->ReportedErrors().front().c_str());
        return 1;
    }
    return 0;
}

int Archives(const std::string& dir) {
    Game g(dir);
    if (!g.form->Start()) return 1;
    constexpr int kLoads = 15;
    std::vector<double> pictures, sounds;
    for (int i = 0; i < kLoads; ++i) {
        auto t0 = Clock::now();
        g.form->ImageList.Items.LoadFromFile(g.form->DataPath("Data/Graphic.dxg"));
        auto t1 = Clock::now();
        g.form->DXWaveList.Items().LoadFromFile(g.form->DataPath("Data/Music.dxw"));
        auto t2 = Clock::now();
        pictures.push_back(Ms(t1 - t0));
        sounds.push_back(Ms(t2 - t1));
    }
    std::printf("archive.pictures.median_ms %.3f\narchive.sounds.median_ms %.3f\n",
                Percentile(pictures, 0.5), Percentile(sounds, 0.5));
    std::printf("archive.pictures.bytes %ju\narchive.sounds.bytes %ju\n",
                static_cast<uintmax_t>(fs::file_size(g.form->DataPath("Data/Graphic.dxg"))),
                static_cast<uintmax_t>(fs::file_size(g.form->DataPath("Data/Music.dxw"))));
    return 0;
}

long long RealtimeNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

int Startup(const std::string& dir, long long mainNs) {
    Game g(dir);
    if (!g.form->Start()) return 1;
    while (g.platform.PresentCount() == 0) {
        g.form->Pump();
        g.platform.Advance(1);
    }
    const long long firstFrameNs = RealtimeNs();
    // The pictures the first frame did not need are collected on the next pass.
    g.form->Pump();
    const long long allPicturesNs = RealtimeNs();
    const auto& pictures = g.form->ImageList.Items;
    std::printf("startup.main_realtime_ns %lld\nstartup.first_frame_realtime_ns %lld\n", mainNs,
                firstFrameNs);
    std::printf("startup.all_pictures_realtime_ns %lld\n", allPicturesNs);
    std::printf("startup.archive_ms %.3f\nstartup.pictures_ms %.3f\n",
                std::chrono::duration<double, std::milli>(pictures.ArchiveTime()).count(),
                std::chrono::duration<double, std::milli>(pictures.DecodeTime()).count());
    // A little play in every kind of scene, the sound output pulled as a device would. Each
    // scene's start is timed with its first frame: the switch decodes the pictures the scene
    // takes up (the pond's twice: the second time after the feast released them).
    const std::pair<TScene, const char*> scenes[] = {{TScene::MainMenu, "main_menu"},
                                                     {TScene::Pond, "pond"},
                                                     {TScene::Eating, "feast"},
                                                     {TScene::HighScores, "high_scores"},
                                                     {TScene::MainMenu, "main_menu_again"},
                                                     {TScene::Pond, "pond_again"}};
    for (const auto& [scene, name] : scenes) {
        g.platform.Advance(30);
        const auto t0 = Clock::now();
        g.form->SwitchScene(scene);
        g.form->DXTimerTimer(0);
        std::printf("scene_start.%s_ms %.3f\n", name, Ms(Clock::now() - t0));
        for (int i = 0; i < 200; ++i) {
            g.form->RunFor(30);
            g.platform.PullAudio(1323);
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("memory.headless_peak_kib %ld\n", usage.ru_maxrss);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: pondlark-measure --dir GAMEDIR (--menus | --archives | --startup)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const long long mainNs = RealtimeNs();
    if (argc != 4 || std::string(argv[1]) != "--dir") return Usage();
    const std::string dir = argv[2], mode = argv[3];
    try {
        if (mode == "--menus") return Menus(dir);
        if (mode == "--archives") return Archives(dir);
        if (mode == "--startup") return Startup(dir, mainNs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-measure: %s\n", e.what());
        return 1;
    }
    return Usage();
}
