// The version of the rules a replay was played by. Raise it with any change that can make the
// same inputs end another way (the rules' arithmetic, the order of random draws, timings): a
// replay of other rules is refused rather than played to a wrong end.
#pragma once

#include <cstdint>

namespace pondlark {

inline constexpr uint16_t kRulesVersion = 1;

} // namespace pondlark
