// The frog's face as the window's icon. The pixels are drawn at build time by the asset
// generator (the same face as the desktop entry's icon) into a source of the program only, so
// the library, the tests and the tools never carry them.
#pragma once

#include <cstdint>

namespace pondlark {

inline constexpr int kWindowIconSize = 64;
// 0xAARRGGBB with straight alpha, rows top down.
extern const uint32_t kWindowIcon[kWindowIconSize * kWindowIconSize];

} // namespace pondlark
