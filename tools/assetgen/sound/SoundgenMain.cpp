// pondlark-soundgen: writes the sound archive and the songs into a game folder, or, with
// --listen, every sound and a rendering of every song as WAV files for a person to hear.
//
//   pondlark-soundgen <game folder>
//   pondlark-soundgen --listen <folder>
#include "music/Songs.h"
#include "sound/Sounds.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--listen") {
            pondlark::assetgen::WriteSoundWavs(argv[2]);
            pondlark::assetgen::RenderSongWavs(argv[2]);
            return 0;
        }
        if (argc != 2) {
            std::fprintf(stderr, "usage: %s <game folder> | --listen <folder>\n", argv[0]);
            return 2;
        }
        pondlark::assetgen::GenerateSounds(argv[1]);
        pondlark::assetgen::GenerateSongs(argv[1]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-soundgen: %s\n", e.what());
        return 1;
    }
}
