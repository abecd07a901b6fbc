// The eating stage's shared state: where the frog's mouth is, for the tongue and its tip.
#pragma once

namespace pondlark {

struct TEatingState {
    // The mouth's reference point: the eating frog's X, and a fixed height near the ground.
    double MouthX = 600;
    double MouthY = 500;
    // How far the mouth rises with the frog's walking frame: 0, 25 or 65 pixels.
    int MouthLift = 0;
    // The hunger bottle shows its empty frame: insects then play the gulp when caught.
    bool BottleEmpty = false;
};

} // namespace pondlark
