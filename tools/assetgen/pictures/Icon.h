// The program's icon for desktop menus: the frog's face, drawn apart from the game's pictures
// so the archive never depends on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pondlark::assetgen {

// Writes a `size` × `size` PNG with a transparent background to `path`. Raises
// std::runtime_error when the file cannot be written.
void WriteIcon(const std::string& path, int size);

// Writes the face as a scalable SVG on a 128 × 128 pixel canvas to `path`. Raises
// std::runtime_error when the file cannot be written.
void WriteIconSvg(const std::string& path);

// The same face as `size` × `size` pixels of 0xAARRGGBB with straight (not premultiplied) alpha,
// rows top down. Raises std::runtime_error for a size below one.
std::vector<uint32_t> IconPixels(int size);

// Writes a C++ source defining `pondlark::kWindowIcon` (declared in app/WindowIcon.h) with
// those pixels, for the program's window. Raises std::runtime_error when it cannot be written.
void WriteIconSource(const std::string& path, int size);

} // namespace pondlark::assetgen
