// pondlark-verify: plays a result's replay headless and says whether it proves the result.
//   pondlark-verify --dir GAMEDIR --name NAME --country COUNTRY --score SCORE --token TOKEN
//                   < REPLAYFILE
// One line on standard output: "verified score N level L frames F" (status 0), or
// "refused: REASON" (status 1). A usage error is status 2; running out of memory (the score
// service caps it) is "out of memory", status 4, so the service can say why it refuses. GAMEDIR
// holds the game's Data/; it is only read. Nothing is drawn, no sound device or window is opened,
// and the play stops at 60 minutes of game time.
#include "app/ReplayPlayer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

using namespace pondlark;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pondlark-verify --dir GAMEDIR --name NAME --country COUNTRY "
                         "--score SCORE --token TOKEN < REPLAYFILE\n");
    return 2;
}

constexpr int kOutOfMemory = 4;

// Any thread's allocation that fails ends the program at once with the reason, allocating
// nothing more.
[[noreturn]] void OutOfMemory() {
    constexpr char kLine[] = "out of memory\n";
    [[maybe_unused]] const ssize_t n = ::write(1, kLine, sizeof kLine - 1);
    ::_exit(kOutOfMemory);
}

bool ParseScore(const char* text, int64_t& score) {
    if (!*text || std::strlen(text) > 9) return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    score = std::strtoll(text, nullptr, 10);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::set_new_handler(OutOfMemory);
    std::string dir;
    TReplayClaim claim;
    bool name = false, country = false, score = false, token = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        const char* value = argv[++i];
        if (a == "--dir")
            dir = value;
        else if (a == "--name")
            claim.Name = value, name = true;
        else if (a == "--country")
            claim.Country = value, country = true;
        else if (a == "--token")
            claim.Token = value, token = true;
        else if (a == "--score" && ParseScore(value, claim.Score))
            score = true;
        else
            return Usage();
    }
    if (dir.empty() || !name || !country || !score || !token) return Usage();

    // The replay from standard input, never more than a replay may be.
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > kReplayMaxBytes) break;
    }
    if (std::ferror(stdin)) {
        std::printf("refused: unreadable replay\n");
        return 1;
    }
    // The headless game needs no display or sound of the machine's.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const TReplayVerdict v = VerifyReplay(bytes, claim, dir);
    if (!v.Verified) {
        std::printf("refused: %s\n", v.Reason.c_str());
        return 1;
    }
    std::printf("verified score %d level %d frames %llu\n", v.Score, v.Level,
                static_cast<unsigned long long>(v.Frames));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
