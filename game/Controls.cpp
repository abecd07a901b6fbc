#include "game/Controls.h"

namespace pondlark {

void AssignPlayControls(TDXInput& input) {
    input.Assigns = {};
    input.PadAssigns = {};
    for (const THeldControl& c : kHeldControls) {
        input.Assigns[c.State] = c.Keys;
        input.PadAssigns[c.State] = c.Pad;
    }
}

} // namespace pondlark
