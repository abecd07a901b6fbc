// The game's three songs as FastTracker 2 modules: synthesised instruments and pattern data.
//
// "1.xm" is the relaxed menu song, "2.xm" the bouncy play song, "3.xm" the short game-over
// song. Each loops back to order 0 and states its speed and tempo on the first row, so every
// pass sounds the same. The output is byte-for-byte the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pondlark::assetgen {

struct SongAsset {
    std::string fileName; // "1.xm", "2.xm", "3.xm"
    std::vector<uint8_t> xm;
};

std::vector<SongAsset> ComposeSongs();

// Writes `gameDir`/Music/1.xm, 2.xm and 3.xm (atomically). Raises EFOpenError when it cannot.
void GenerateSongs(const std::string& gameDir);

// Renders one pass of each song to `dir`/song<N>.wav (44100 Hz 16-bit stereo) for listening.
void RenderSongWavs(const std::string& dir);

} // namespace pondlark::assetgen
