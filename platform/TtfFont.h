// SDL2_ttf faces behind `IFont`, shared by both backends (the headless one needs no video).
#pragma once

#include "platform/Platform.h"

namespace pondlark {

// Opens `path` at `points` (96 dpi); nullptr when the file cannot be read as a face.
std::unique_ptr<IFont> OpenTtfFont(const std::string& path, int points);

} // namespace pondlark
