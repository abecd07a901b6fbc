// The game's sound effects, synthesised (no recordings), and the sound archive built from them.
//
// Every sound is 16-bit mono PCM at 22050 Hz; one-shots fade in and out within a few
// milliseconds, looped sounds join seamlessly, and every peak sits at or below -1.5 dBFS. The
// output is byte-for-byte the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pondlark::assetgen {

struct SoundAsset {
    std::string name;
    bool looped = false;
    int32_t maxPlayingCount = 0;
    int rate = 22050;
    std::vector<int16_t> pcm;
};

// All sounds the game plays, in archive order.
std::vector<SoundAsset> SynthesizeSounds();

// Writes `gameDir`/Data/Music.dxw (atomically). Raises EFOpenError when it cannot.
void GenerateSounds(const std::string& gameDir);

// Writes each sound as `dir`/<name>.wav for listening outside the game.
void WriteSoundWavs(const std::string& dir);

} // namespace pondlark::assetgen
