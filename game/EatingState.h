// The eating stage's shared state: where the frog's mouth is, for the tongue and its tip, the
// stage's clock and the stork's progress.
#pragma once

#include <cstdint>

namespace pondlark {

struct TEatingState {
    // The mouth's reference point: the eating frog's X, and a fixed height near the ground.
    double MouthX = 600;
    double MouthY = 500;
    // How far the mouth rises with the frog's walking frame: 0, 25 or 65 pixels.
    int MouthLift = 0;
    // The hunger bottle shows its empty frame: insects then play the gulp when caught.
    bool BottleEmpty = false;

    int32_t TimeLeft = 0;     // seconds, counted down by the stage's clock
    int32_t TongueLength = 0; // pixels
    bool StorkAllowed = true; // one stork a stage
    bool LegsSpawned = false; // the stork's legs came (once a stage)
    bool LegsLanded = false;
    bool StorkLeaving = false;
};

} // namespace pondlark
