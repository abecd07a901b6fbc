// Reading the game's two archives into plain entries (the reverse of ArchiveWriter).
//
// Both readers take a span they do not own and copy what they keep. They raise EStreamError
// with "Invalid stream format" (bad container or truncation), "Property %s does not exist" (an
// unknown property name), "Invalid property value" (a value of the wrong kind, an unknown colour
// identifier) or "Stream read error" (a colour table shorter than 1024 bytes). Pixel data and
// wave data are not interpreted here.
#pragma once

#include "engine/ArchiveWriter.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace pondlark {

struct GraphicArchive {
    std::optional<std::array<uint32_t, 256>> colorTable; // entries 0x00RRGGBB, as stored
    std::vector<PictureEntry> items;
    // Per item: whether "Picture.Data" named a graphic class we read ("TDIB", or the window
    // framework's "TBitmap", whose file is turned into a packed DIB). An item without one has no
    // picture at all; an item with one but an empty `dib` has an empty picture.
    std::vector<bool> hasPicture;
};

GraphicArchive ReadGraphicArchive(std::span<const uint8_t> bytes);
std::vector<WaveEntry> ReadSoundArchive(std::span<const uint8_t> bytes);

// The largest archive the game reads. Its own archives are a few megabytes; the cap leaves room
// for a re-skin with far richer pictures while a device or a runaway file is refused at once.
inline constexpr uint64_t kMaxArchiveBytes = uint64_t{64} << 20;

// Reads a whole regular file of at most `maxBytes`; raises EFOpenError
// "Cannot open file "%s". %s" when it cannot (missing, unreadable, a folder, a FIFO, a device,
// or larger than the cap). Never blocks on a FIFO.
std::vector<uint8_t> ReadWholeFile(const std::string& path, uint64_t maxBytes = kMaxArchiveBytes);
// Raises what ReadWholeFile would raise for what stands at `path` now, without reading it: a
// file that must be there at start-up but is read later.
void CheckReadableFile(const std::string& path, uint64_t maxBytes = kMaxArchiveBytes);

} // namespace pondlark
