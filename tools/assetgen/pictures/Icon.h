// The program's icon for desktop menus: the frog's face, drawn apart from the game's pictures
// so the archive never depends on it.
#pragma once

#include <string>

namespace pondlark::assetgen {

// Writes a `size` × `size` PNG with a transparent background to `path`. Raises
// std::runtime_error when the file cannot be written.
void WriteIcon(const std::string& path, int size);

} // namespace pondlark::assetgen
