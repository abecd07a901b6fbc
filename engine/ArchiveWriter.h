// Writing the game's two archives (pictures, sounds) in the component-stream container, and
// saving files so that a crash or a full disk never leaves half a file behind.
//
// The graphic archive holds "List.ColorTable" (when a table is given) and "List", a collection
// of picture items whose "Picture.Data" is the short string "TDIB" followed by a packed DIB. The
// sound archive holds "List", a collection of wave items whose "Wave.WAVE" is a RIFF file.
#pragma once

#include "engine/Geometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pondlark {

struct PictureEntry {
    std::string name;
    int32_t patternWidth = 0, patternHeight = 0, skipWidth = 0, skipHeight = 0;
    bool systemMemory = false;
    bool transparent = true;
    TColor transparentColor = 0;
    std::vector<uint8_t> dib; /* packed DIB: header, masks, colour table, rows */
};

struct WaveEntry {
    std::string name;
    bool looped = false;
    int32_t maxPlayingCount = 0;
    std::vector<uint8_t> riff; /* whole RIFF WAVE file bytes */
};

// Names longer than 255 characters raise EStreamError; nothing else about the entries is
// checked (an empty `dib` writes an empty picture).
std::vector<uint8_t> WriteGraphicArchive(const std::vector<PictureEntry>& items,
                                         const std::array<uint32_t, 256>* colorTable = nullptr);
std::vector<uint8_t> WriteSoundArchive(const std::vector<WaveEntry>& items);

// Atomic file write (`ReplaceFile` of platform/Files.h); throws EFOpenError with its message on
// failure, never leaves a half file.
void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

} // namespace pondlark
