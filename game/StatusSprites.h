// The status sprites both play stages show: the hunger bottle and the three plaques under the
// status texts. They belong to the engine root of the live scene and never scroll.
#pragma once

#include "engine/TSprite.h"

#include <cstdint>

namespace pondlark {

class IPlayWorld;

// The hunger bottle at the top-right corner. Each step shows `Hunger` div `Level` as its frame,
// raises `Starved` once that frame is past the last one the picture has, keeps `Eating.BottleEmpty`
// (in the eating state) up to date and plays "bottle_up"/"bottle_down" when the level changes.
// Creating it clears `Starved`.
class TBottle : public TImageSprite {
public:
    explicit TBottle(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;

    uint8_t BottleFrame() const { return frame_; }

private:
    IPlayWorld& world_;
    uint8_t frame_ = 0;
    uint8_t previous_ = 0;
};

// A plaque under a status text: the picture centred in a box of half its width plus
// Round(30 * factor), at (x, 0). No behaviour of its own.
class TPanel : public TImageSprite {
public:
    TPanel(IPlayWorld& world, double x, double factor);
};

// The bottle and the three plaques, laid out the same in both stages: (140, 1), (525, 3) and
// (335, 1) - the wide one lies under the score.
void AddStatusSprites(IPlayWorld& world);

} // namespace pondlark
