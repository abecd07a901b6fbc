// Seeds for the fuzz targets, cut from the game's own archives:
//   make_corpus GRAPHIC.dxg SOUND.dxw OUTDIR
// writes OUTDIR/dib (every picture's DIB), OUTDIR/wave (every sound's RIFF file), OUTDIR/archive
// (each picture and each sound alone in an archive of its own, and the colour table with the
// first picture) and OUTDIR/config (the settings files of a new and of a returning player).
#include "engine/ArchiveReader.h"
#include "engine/ArchiveWriter.h"
#include "persist/Config.h"
#include "persist/HighScores.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pondlark;
namespace fs = std::filesystem;

namespace {
void Put(const fs::path& file, const void* bytes, size_t size) {
    std::ofstream(file, std::ios::binary)
        .write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}
void Put(const fs::path& file, const std::vector<uint8_t>& bytes) {
    Put(file, bytes.data(), bytes.size());
}
} // namespace

int main(int argc, char** argv) try {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_corpus GRAPHIC.dxg SOUND.dxw OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[3];
    for (const char* kind : {"dib", "wave", "archive", "config"})
        fs::create_directories(out / kind);
    const GraphicArchive pictures = ReadGraphicArchive(ReadWholeFile(argv[1]));
    for (size_t i = 0; i < pictures.items.size(); ++i) {
        const PictureEntry& e = pictures.items[i];
        Put(out / "dib" / (std::to_string(i) + ".dib"), e.dib);
        Put(out / "archive" / ("picture" + std::to_string(i) + ".dxg"), WriteGraphicArchive({e}));
    }
    if (pictures.colorTable && !pictures.items.empty())
        Put(out / "archive" / "with-colours.dxg",
            WriteGraphicArchive({pictures.items[0]}, &*pictures.colorTable));
    const std::vector<WaveEntry> sounds = ReadSoundArchive(ReadWholeFile(argv[2]));
    for (size_t i = 0; i < sounds.size(); ++i) {
        Put(out / "wave" / (std::to_string(i) + ".wav"), sounds[i].riff);
        Put(out / "archive" / ("sound" + std::to_string(i) + ".dxw"),
            WriteSoundArchive({sounds[i]}));
    }
    THighScoreTable table = DefaultHighScores();
    table[0] = {"Pip", 9000};
    const std::string files[] = {
        FormatConfig({.FullScreen = false,
                      .Music = true,
                      .Sound = true,
                      .Country = "",
                      .PlayerName = "",
                      .HighScores = DefaultHighScores()}),
        FormatConfig({.FullScreen = true,
                      .Music = false,
                      .Sound = true,
                      .Country = "Peru",
                      .PlayerName = "Pip",
                      .HighScores = table}),
    };
    for (size_t i = 0; i < std::size(files); ++i)
        Put(out / "config" / (std::to_string(i) + ".cfg"), files[i].data(), files[i].size());
    std::printf("%zu pictures, %zu sounds\n", pictures.items.size(), sounds.size());
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "make_corpus: %s\n", e.what());
    return 1;
}
