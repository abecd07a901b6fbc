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
#include <string>
#include <vector>

namespace pondlark {

struct TByteRange {
    size_t offset = 0, size = 0;
    std::span<const uint8_t> In(std::span<const uint8_t> bytes) const {
        return bytes.subspan(offset, size);
    }
};

struct GraphicArchive {
    std::optional<std::array<uint32_t, 256>> colorTable; // entries 0x00RRGGBB, as stored
    std::vector<PictureEntry> items;
    // Per item: whether "Picture.Data" named a graphic class we read ("TDIB", or the window
    // framework's "TBitmap", whose file is turned into a packed DIB). An item without one has no
    // picture at all; an item with one but an empty `dib` has an empty picture.
    std::vector<bool> hasPicture;
    // Per item: where its packed picture lies in the bytes read (empty when it has none).
    std::vector<TByteRange> dibRanges;
};

// With `copyPictures` false the entries' `dib` stay empty; `dibRanges` tell where they are.
GraphicArchive ReadGraphicArchive(std::span<const uint8_t> bytes, bool copyPictures = true);
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
// The bytes of `range` in the file at `path`, which must still be `wholeSize` bytes long (as
// when it was read whole); raises EFOpenError as ReadWholeFile does, or with "The file has
// changed since it was read".
std::vector<uint8_t> ReadFileRange(const std::string& path, uint64_t wholeSize, TByteRange range);

} // namespace pondlark
