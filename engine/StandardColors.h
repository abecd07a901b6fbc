// The window framework's named colours, as the archives may write them for `TransparentColor`.
//
// System colours (clBtnFace and friends) are 0x80000000 | index in a TColor; here they resolve to
// one fixed classic desktop scheme, since the game has no desktop theme to ask.
#pragma once

#include "engine/Geometry.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace pondlark {

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The colour for an identifier such as "clFuchsia" (matched ignoring case); nothing when unknown.
std::optional<TColor> IdentToColor(std::string_view ident);
// A plain 0x00BBGGRR colour: system colours are resolved, clNone/clDefault keep their low bits.
TColor ColorToRGB(TColor color);

} // namespace pondlark
