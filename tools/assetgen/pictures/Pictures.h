// Draws every picture of the game and writes the graphic archive.
#pragma once

#include <string>

namespace pondlark::assetgen {

// Draws every picture and writes `gameDir`/Data/Graphic.dxg (the same bytes on every run).
// When `contactSheetPath` is not empty, also writes there a PNG of every picture and frame on a
// checkerboard, and beside it mock-ups of a few screens (mock-*.png) and one PNG per picture
// (pictures/NAME.png) for looking at the art.
void GeneratePictures(const std::string& gameDir, const std::string& contactSheetPath);

} // namespace pondlark::assetgen
