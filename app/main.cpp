// Pondlark: the game runs with its game folder as the working directory, where Config.cfg is
// kept. `--data DIR` reads Data/ and Music/ from DIR instead, so an installed game can keep
// them in a read-only folder (the launcher in bin/ does this). `--service HOST:PORT`, or the
// environment variable PONDLARK_SERVICE, sends results to another score service than the one
// the game was built for (the option wins over the variable). `--help` and `--version` answer
// on standard output; a bad option is a usage error (status 2, standard error). PONDLARK_STATS=1
// prints one line of the pace the player got (steps, frames presented, time) when the game ends
// normally.
//
// In a browser the page is the game folder: Data/ and Music/ come preloaded in /game, the
// settings live in /save (kept by the page across visits), the score service is the host that
// served the page, and the browser calls one pass of the loop for each of its frames. A page
// address ending in `?seed=N` fixes the random generator as the screenshot tool's `seed` does,
// so a test (or a player sharing a pond) gets the same ponds every time. An address ending in
// `?replay=ID` shows the score service's replay ID first (the page fetches it), then the game.
#include "app/ReplayPlayer.h"
#include "app/TMainForm.h"
#include "game/Layout.h"
#include "persist/WebService.h"
#include "platform/SdlPlatform.h"
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#else
#include "app/WindowIcon.h"
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#ifdef __EMSCRIPTEN__
namespace {

// Lives as long as the page: the browser's loop outlives main(). The form comes after a replay
// the page was opened to show, on the same window.
struct TPageGame {
    pondlark::SdlPlatform platform;
    std::optional<pondlark::TMainForm> form;
};

// What the page (and the browser test) can read of the game after each pass; `watching` while
// the high-score table shows the kept game of an entry over itself.
void PublishStatus(const pondlark::TGameState& s, uint64_t frames, bool watching = false) {
    EM_ASM(
        {
            Module.pondlarkStatus = ({
                scene : $0,
                level : $1,
                score : $2,
                lives : $3,
                frames : $4,
                naming : $5 != 0,
                watching : $6 != 0
            });
        },
        static_cast<int>(s.Scene), s.Level, s.Score, s.Lives, static_cast<double>(frames),
        s.Flags.GameEnterName ? 1 : 0, watching ? 1 : 0);
}

enum class TPageValue { HostAndPort, Seed, ReplayFile };

// A value of the page's address: its host and port as "HOST:PORT", or its `seed` parameter
// (empty when there is none); or where the page put the replay its address asked for (empty
// when it asked for none or the page could not fetch it, which the page has said). No text is
// run as a script: the page forbids that.
std::string FromPageAddress(TPageValue what) {
    char text[300] = {};
    EM_ASM(
        {
            var port = location.port || (location.protocol == "https:" ? 443 : 80);
            var value = $0 == 0   ? location.hostname + ":" + port
                        : $0 == 1 ? new URLSearchParams(location.search).get("seed") || ""
                                  : Module.pondlarkReplayFile || "";
            stringToUTF8(value, $1, $2);
        },
        static_cast<int>(what), text, sizeof text);
    return text;
}

// The `seed` parameter: digits only, below 2^32; anything else is ignored.
std::optional<uint32_t> PageSeed() {
    const std::string digits = FromPageAddress(TPageValue::Seed);
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long long value = std::stoull(digits);
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

// Tells the page how the replay it shows goes: "playing", "paused", "over", "left", or
// "failed" with the reason.
void PublishReplay(const char* state, const pondlark::TGameState* s, uint64_t steps,
                   const std::string& problem = {}) {
    EM_ASM(
        {
            if (Module.pondlarkReplayState)
                Module.pondlarkReplayState(({
                    state : UTF8ToString($0),
                    score : $1,
                    level : $2,
                    steps : $3,
                    problem : UTF8ToString($4)
                }));
        },
        state, s ? s->Score : 0, s ? s->Level : 0, static_cast<double>(steps), problem.c_str());
}

// Shows the replay the page fetched, as `pondlark --replay FILE` does: P pauses, Esc leaves (to
// the game itself, which starts next). A damaged one is said in the page, and the game starts.
void WatchPageReplay(pondlark::SdlPlatform& platform, const std::string& path) {
    using namespace pondlark;
    std::string error;
    const std::optional<TReplay> replay = ReadReplayFile(path, error);
    if (!replay) {
        // The reason without the page's own file name.
        if (error.rfind(path + ": ", 0) == 0) error.erase(0, path.size() + 2);
        PublishReplay("failed", nullptr, 0, error);
        return;
    }
    const TPlayedReplay shown = ShowReplay(
        platform, *replay, "/game", true,
        [](const TReplayView& view) {
            // The page is drawn only while the browser has its thread: a viewer catching up on a
            // slow machine still hands it back once a pass.
            emscripten_sleep(0);
            PublishStatus(view.State, view.Steps);
            PublishReplay(view.Over     ? "over"
                          : view.Paused ? "paused"
                                        : "playing",
                          &view.State, view.Steps);
        },
        true); // the page fetches the sounds beside the first frames
    if (!shown.Problem.empty()) {
        PublishReplay("failed", nullptr, shown.Steps, shown.Problem);
        return;
    }
    PublishReplay("left", nullptr, shown.Steps);
}

void PagePass(void* game) {
    auto& form = *static_cast<TPageGame*>(game)->form;
    form.Pump();
    PublishStatus(form.State(), form.FrameCount(), form.WatchingReplay());
    if (form.Terminated()) {
        emscripten_cancel_main_loop();
        EM_ASM({
            if (Module.pondlarkEnded) Module.pondlarkEnded();
        });
    }
}

} // namespace

int main() {
    using namespace pondlark;
    try {
        auto* game = new TPageGame;
        if (const std::string replay = FromPageAddress(TPageValue::ReplayFile); !replay.empty())
            WatchPageReplay(game->platform, replay);
        TMainForm& form = game->form.emplace(game->platform, "/save", "/game");
        // The page fetches the sounds and the later songs beside the first frames.
        form.SoundsMayComeLater = true;
        if (const std::optional<TServiceAddress> address =
                ParseServiceAddress(FromPageAddress(TPageValue::HostAndPort)))
            form.ServiceAddress = *address;
        if (const std::optional<uint32_t> seed = PageSeed()) form.FixRandomSeed(*seed);
        if (!form.Start()) return 1;
        emscripten_set_main_loop_arg(PagePass, game, 0, 0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark: %s\n", e.what());
        return 1;
    }
    return 0;
}
#else
namespace {

constexpr const char* kUsage =
    "usage: pondlark [--data DIR] [--service HOST:PORT] [--replay FILE] [--help] [--version]\n";

void PrintHelp() {
    std::fputs(kUsage, stdout);
    std::fputs(
        "\nCross the pond of water lilies, then catch insects with your tongue.\n\n"
        "  --data DIR           read Data/ and Music/ from DIR (default: the working folder)\n"
        "  --service HOST:PORT  send results to this score service\n"
        "  --replay FILE        watch a recorded game (P pauses, Esc leaves)\n"
        "  --help               show this help and exit\n"
        "  --version            show the version and exit\n\n"
        "Config.cfg (settings and high scores) is kept in the working folder, with the\n"
        "replays of the table's entries in Replays/; on the high-score screen, Right and\n"
        "Enter (or a click on a marked entry) show one (P pauses, Esc goes back).\n"
        "PONDLARK_SERVICE=HOST:PORT names the score service too; the option wins.\n"
        "PONDLARK_STATS=1 prints the steps run, the frames shown and the time when the game "
        "ends.\n",
        stdout);
}

// Reads, checks and shows a replay file; the status of the program.
int WatchReplay(const std::string& path, const std::string& dataDir) {
    using namespace pondlark;
    std::string error;
    const std::optional<TReplay> replay = ReadReplayFile(path, error);
    if (!replay) {
        std::fprintf(stderr, "pondlark: %s\n", error.c_str());
        return 1;
    }
    SdlPlatform platform;
    platform.SetIcon(kWindowIcon, kWindowIconSize);
    const TPlayedReplay shown = ShowReplay(platform, *replay, dataDir);
    if (!shown.Problem.empty()) {
        std::fprintf(stderr, "pondlark: %s: %s\n", path.c_str(), shown.Problem.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace pondlark;
    // The game's clock starts a frame interval before the program: the first frame, due an
    // interval after the clock's start, is drawn the moment start-up is done instead of
    // waiting out the rest of an interval that began here.
    const auto started =
        std::chrono::steady_clock::now() - std::chrono::milliseconds(kFrameIntervalMs);
#ifdef __GLIBC__
    // Pictures are decoded when a scene takes them up and freed when it leaves them. With the
    // C library's moving threshold, a freed picture raises it, later pictures come from the heap
    // and their memory stays with the process after they are freed; a fixed threshold keeps
    // every picture-sized block mapped on its own, given back the moment it is freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    // Asking for help or the version is never an error, whatever else is on the line.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("pondlark %s\n", PONDLARK_VERSION);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    std::string dataDir = ".";
    std::string replayFile;
    TServiceAddress service;
    const char* fromEnvironment = std::getenv("PONDLARK_SERVICE");
    if (fromEnvironment && fromEnvironment[0] != '\0') {
        const std::optional<TServiceAddress> address = ParseServiceAddress(fromEnvironment);
        if (!address) {
            std::fprintf(stderr, "pondlark: PONDLARK_SERVICE wants HOST:PORT, not %s\n",
                         fromEnvironment);
            return 2;
        }
        service = *address;
    }
    for (int i = 1; i < argc; ++i) {
        const bool valued = i + 1 < argc;
        std::optional<TServiceAddress> address;
        if (std::strcmp(argv[i], "--data") == 0 && valued && argv[i + 1][0] != '\0') {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--service") == 0 && valued &&
                   (address = ParseServiceAddress(argv[i + 1]))) {
            service = *address;
            ++i;
        } else if (std::strcmp(argv[i], "--replay") == 0 && valued && argv[i + 1][0] != '\0') {
            replayFile = argv[++i];
        } else {
            std::fprintf(stderr, "pondlark: bad option or value: %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    try {
        if (!replayFile.empty()) return WatchReplay(replayFile, dataDir);
        // The pictures are read and the first ones decoded while the window system opens the
        // window, which mostly waits on the display server.
        std::unique_ptr<TEarlyPictures> pictures = TMainForm::BeginPictures(dataDir);
        SdlPlatform platform(started);
        platform.SetIcon(kWindowIcon, kWindowIconSize);
        {
            TMainForm form(platform, ".", dataDir);
            form.UseEarlyPictures(std::move(pictures));
            form.ServiceAddress = service;
            const char* stats = std::getenv("PONDLARK_STATS");
            form.ReportStats = stats && std::strcmp(stats, "1") == 0;
            if (!form.Start()) return 1;
            form.Run();
            if (form.StartFailed()) return 1;
        }
        // The main window is gone and its loop has ended: a link file beside the game opens now.
        OpenPlayLink(platform, dataDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark: %s\n", e.what());
        return 1;
    }
    return 0;
}
#endif
