// pondlark-soak: plays the real game headless for a long time with a seeded random player and
// checks that nothing breaks.
//   pondlark-soak --dir GAMEDIR [--frames N] [--seed S] [--work DIR] [--max-sprites N]
//                 [--progress N]
// GAMEDIR holds Data/ and Music/. Config.cfg goes to --work (default: a fresh temporary folder,
// removed afterwards), never to GAMEDIR. Exits 0 when every check held, 1 when one broke, 2 on
// a usage error.
#include "tools/soak/Soak.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace pondlark::soak;
namespace fs = std::filesystem;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pondlark-soak --dir GAMEDIR [--frames N] [--seed S] [--work DIR]"
                         " [--max-sprites N] [--progress N]\n");
    return 2;
}

template <typename T> bool ParseNumber(const char* text, T& out) {
    const std::string s = text;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && ptr == s.data() + s.size();
}

const char* kSceneNames[10] = {"-",    "intro",   "menu",  "pond", "feast",
                               "help", "options", "table", "-",    "game over"};

} // namespace

int main(int argc, char** argv) {
    SoakOptions options;
    std::string work;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        const char* v = argv[++i];
        bool ok = true;
        if (a == "--dir")
            options.dataDir = v;
        else if (a == "--work")
            work = v;
        else if (a == "--frames")
            ok = ParseNumber(v, options.frames) && options.frames > 0;
        else if (a == "--seed")
            ok = ParseNumber(v, options.seed);
        else if (a == "--max-sprites")
            ok = ParseNumber(v, options.maxSprites) && options.maxSprites > 0;
        else if (a == "--progress")
            ok = ParseNumber(v, options.progressEvery);
        else
            ok = false;
        if (!ok) return Usage();
    }
    if (options.dataDir.empty()) return Usage();
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(options.dataDir) / "Data" / "Graphic.dxg", ec)) {
        std::fprintf(stderr, "pondlark-soak: %s holds no Data/Graphic.dxg\n",
                     options.dataDir.c_str());
        return 2;
    }

    const bool ownWork = work.empty();
    if (ownWork) {
        work = (fs::temp_directory_path() / ("pondlark-soak-" + std::to_string(::getpid()) + "-" +
                                             std::to_string(options.seed)))
                   .string();
        fs::remove_all(work, ec);
    }
    fs::create_directories(work, ec);
    if (ec) {
        std::fprintf(stderr, "pondlark-soak: cannot make %s: %s\n", work.c_str(),
                     ec.message().c_str());
        return 2;
    }
    options.workDir = work;

    const auto started = std::chrono::steady_clock::now();
    const SoakReport report = RunSoak(options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (ownWork) fs::remove_all(work, ec);

    std::printf(
        "frames %llu (seed %u) in %.1f s; game time %.0f s; %d start(s); highest level %d\n",
        static_cast<unsigned long long>(report.frames), options.seed, seconds,
        static_cast<double>(report.gameMs) / 1000.0, report.starts, report.highestLevel);
    std::printf("%-10s %10s %12s\n", "scene", "frames", "max sprites");
    for (size_t s = 0; s < 10; ++s)
        if (report.sceneFrames[s])
            std::printf("%-10s %10llu %12d\n", kSceneNames[s],
                        static_cast<unsigned long long>(report.sceneFrames[s]),
                        report.maxSprites[s]);
    // Every error the game reports is a fault to mend: none is expected in play.
    for (const std::string& e : report.errors)
        std::printf("FAIL: the game reported: %s\n", e.c_str());
    for (const std::string& f : report.failures)
        std::printf("FAIL: %s\n", f.c_str());
    const bool passed = report.errors.empty() && report.failures.empty();
    std::printf("%s\n", passed ? "soak passed" : "soak FAILED");
    return passed ? 0 : 1;
}
