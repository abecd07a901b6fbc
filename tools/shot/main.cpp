// pondlark-shot: runs the real game headless from a script and saves PNG frames.
//   pondlark-shot --dir GAMEDIR --script FILE --out DIR [--service HOST:PORT] [--home DIR]
//                 [--save-replay FILE]
//   pondlark-shot --dir GAMEDIR --replay FILE
// --service points the game's online requests at another server (a local one, for checks).
// GAMEDIR is only read; the game's Config.cfg lives in a temporary folder for the run, or in
// the --home folder, where it is read at the start, written by the game and left in place.
// --save-replay writes the replay of the script's last finished game. --replay plays a replay
// headless and prints "replay: score N level L frames F"; a file that is no replay of these
// rules, or does not play to its end, is an error (status 1).
#include "app/ReplayPlayer.h"
#include "app/TScriptRunner.h"
#include "game/RulesVersion.h"
#include "persist/WebService.h"
#include "platform/Files.h"
#include "tools/common/HeadlessGame.h"

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

using namespace pondlark;

namespace {

bool WritePng(const std::string& path, const std::vector<uint32_t>& frame) {
    if (frame.size() != 800u * 600u) return false;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 800, 600);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 600; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < 800; ++x)
            row[x] = frame[static_cast<size_t>(y) * 800 + x];
    }
    cairo_surface_mark_dirty(s);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: pondlark-shot --dir GAMEDIR --script FILE --out DIR [--service HOST:PORT]"
                 " [--home DIR] [--save-replay FILE]\n"
                 "       pondlark-shot --dir GAMEDIR --replay FILE\n");
    return 2;
}

int PlayReplayFile(const std::string& dir, const std::string& path) {
    const TFileBytes file = ReadRegularFile(path, kReplayMaxBytes);
    if (!file.ok) {
        std::fprintf(stderr, "pondlark-shot: cannot read the replay %s: %s\n", path.c_str(),
                     file.reason.c_str());
        return 1;
    }
    TReplay replay;
    try {
        replay = ParseReplay(file.bytes);
    } catch (const EReplayFormat& e) {
        std::fprintf(stderr, "pondlark-shot: %s: %s\n", path.c_str(), e.what());
        return 1;
    }
    if (replay.RulesVersion != kRulesVersion) {
        std::fprintf(stderr, "pondlark-shot: %s: another rules version (%u, these are %u)\n",
                     path.c_str(), replay.RulesVersion, kRulesVersion);
        return 1;
    }
    const TPlayedReplay played = PlayReplayHeadless(replay, dir);
    if (!played.Played) {
        std::fprintf(stderr, "pondlark-shot: %s: %s\n", path.c_str(), played.Problem.c_str());
        return 1;
    }
    std::printf("replay: score %d level %d frames %llu\n", played.Score, played.Level,
                static_cast<unsigned long long>(played.Steps));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string dir, scriptPath, out, service, replayPath, saveReplay;
    std::optional<std::string> home;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        if (a == "--dir")
            dir = argv[++i];
        else if (a == "--script")
            scriptPath = argv[++i];
        else if (a == "--out")
            out = argv[++i];
        else if (a == "--service")
            service = argv[++i];
        else if (a == "--home")
            home = argv[++i];
        else if (a == "--replay")
            replayPath = argv[++i];
        else if (a == "--save-replay")
            saveReplay = argv[++i];
        else
            return Usage();
    }
    if (!replayPath.empty())
        return dir.empty() || !scriptPath.empty() ? Usage() : PlayReplayFile(dir, replayPath);
    if (dir.empty() || scriptPath.empty() || out.empty()) return Usage();

    std::ifstream file(scriptPath);
    if (!file) {
        std::fprintf(stderr, "pondlark-shot: cannot read the script %s\n", scriptPath.c_str());
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::vector<TScriptLine> script;
    try {
        script = ParseScript(text.str());
    } catch (const ScriptError& e) {
        std::fprintf(stderr, "pondlark-shot: %s: %s\n", scriptPath.c_str(), e.what());
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        std::fprintf(stderr, "pondlark-shot: cannot make %s: %s\n", out.c_str(),
                     ec.message().c_str());
        return 2;
    }

    bool seeded = false;
    const uint32_t seed = TScriptRunner::SeedOf(script, seeded);
    std::optional<TServiceAddress> address;
    if (!service.empty() && !(address = ParseServiceAddress(service))) {
        std::fprintf(stderr, "pondlark-shot: --service wants HOST:PORT, not %s\n", service.c_str());
        return 2;
    }
    // Config.cfg goes to a temporary home unless one is given: every run starts from the
    // defaults, whatever an earlier run chose, and the game folder stays as it was built.
    std::unique_ptr<HeadlessGame> game;
    try {
        game = std::make_unique<HeadlessGame>(
            dir, "shot", seeded ? std::optional<uint32_t>(seed) : std::nullopt, home);
    } catch (const std::filesystem::filesystem_error& e) {
        std::fprintf(stderr, "pondlark-shot: cannot make the home folder: %s\n", e.what());
        return 2;
    }
    HeadlessPlatform& platform = game->platform;
    TMainForm& form = *game->form;
    if (address) form.ServiceAddress = *address;
    if (!form.Start()) return 1;

    int failures = 0;
    TScriptRunner runner(
        platform, form, [&](const std::string& name, const std::vector<uint32_t>& frame) {
            const std::string path = (std::filesystem::path(out) / name).string();
            if (WritePng(path, frame)) {
                std::printf("shot %s\n", path.c_str());
            } else {
                std::fprintf(stderr, "pondlark-shot: cannot write %s\n", path.c_str());
                ++failures;
            }
        });
    runner.Run(script);
    if (!saveReplay.empty()) {
        const std::optional<TReplay>& replay = form.FinishedReplay();
        const std::vector<uint8_t> bytes = replay ? EncodeReplay(*replay) : std::vector<uint8_t>{};
        const std::string error =
            replay ? ReplaceFile(saveReplay, bytes.data(), bytes.size()) : "no game finished";
        if (!error.empty()) {
            std::fprintf(stderr, "pondlark-shot: replay not saved: %s\n", error.c_str());
            ++failures;
        }
    }
    const TGameState& s = form.State();
    std::printf("scene=%d level=%d score=%d lives=%d\n", static_cast<int>(s.Scene), s.Level,
                s.Score, s.Lives);
    return failures ? 1 : 0;
}
