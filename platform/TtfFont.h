// SDL2_ttf faces behind `IFont`, shared by both backends (the headless one needs no video).
#pragma once

#include "platform/Platform.h"

namespace pondlark {

// The largest face file read: the game's is 30 KB, the largest faces of a desktop (whole
// scripts of East Asian writing) are near 20 MB.
inline constexpr uint64_t kMaxFaceBytes = uint64_t{64} << 20;

// Opens `path` at `points` (96 dpi); nullptr when the file cannot be read as a face. Only a
// regular file of at most kMaxFaceBytes is read, so a FIFO or a device never blocks the call.
std::unique_ptr<IFont> OpenTtfFont(const std::string& path, int points);

// A face of the system for when the game's own cannot be loaded, found through fontconfig: the
// game's face where it is installed, else the bold sans face. Empty when there is none.
std::string FindFallbackFace();

} // namespace pondlark
