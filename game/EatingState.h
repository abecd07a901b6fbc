// The eating stage's shared state.
#pragma once

namespace pondlark {

struct TEatingState {};

} // namespace pondlark
