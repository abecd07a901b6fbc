// The soak run: the real game on the headless platform, played for a long time by a seeded
// random player, with checks that hold over the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pondlark::soak {

struct SoakOptions {
    uint64_t frames = 20000; // frames the game draws before the run ends
    uint32_t seed = 1;       // the player's and the game's random seed
    std::string dataDir;     // the game's data (Data/, Music/)
    std::string workDir;     // where Config.cfg is kept; must exist
    // Upper bound on the live sprites of any scene; a leak of sprites across levels and scenes
    // runs past it in a long run.
    int maxSprites = 400;
    // Progress lines on standard output every this many frames (0: none).
    uint64_t progressEvery = 0;
};

struct SoakReport {
    uint64_t frames = 0;                    // frames drawn, over every start of the game
    uint64_t gameMs = 0;                    // platform time that passed
    int starts = 0;                         // 1 + the restarts after the player quit the game
    std::array<uint64_t, 10> sceneFrames{}; // frames drawn in each scene
    std::array<int, 10> maxSprites{};       // most live sprites seen in each scene
    int highestLevel = 0;
    std::vector<std::string> errors;   // errors the game reported, over every start
    std::vector<std::string> failures; // broken checks; empty when the run passed
};

// Runs the game until it has drawn `options.frames` frames. Never throws for what the game
// does: exceptions escaping the game and broken checks end up in `failures`.
SoakReport RunSoak(const SoakOptions& options);

} // namespace pondlark::soak
