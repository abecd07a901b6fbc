// Packs the drawn sheets into the game's graphic archive.
#include "tools/assetgen/pictures/Families.h"

#include "engine/ArchiveWriter.h"
#include "engine/DibCodec.h"

namespace pondlark::assetgen {

std::vector<PictureEntry> ToPictureEntries(const std::vector<Sheet>& sheets) {
    std::vector<PictureEntry> entries;
    entries.reserve(sheets.size());
    for (const Sheet& s : sheets) {
        PictureEntry e;
        e.name = s.name;
        e.patternWidth = s.frameWidth;
        e.patternHeight = s.frameHeight;
        e.transparent = true;
        e.transparentColor = kKeyColour; // clFuchsia: the same value in either byte order
        // 5-6-5 keeps the archive small, matches the game's 16-bit full screen, and holds the
        // magenta key exactly.
        e.dib = EncodeDib(s.xrgb.data(), s.width, s.height, 16);
        entries.push_back(std::move(e));
    }
    return entries;
}

} // namespace pondlark::assetgen
