// The pond stage's shared state: the lily grid, the scroll and the frog's game-wide fields.
#pragma once

namespace pondlark {

struct TPondState {};

} // namespace pondlark
