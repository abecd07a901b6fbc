// The eating stage's shared state.
#pragma once

namespace pondlark {

struct TEatingState {
    // The hunger bottle shows its empty frame: insects then play the gulp when caught.
    bool BottleEmpty = false;
};

} // namespace pondlark
