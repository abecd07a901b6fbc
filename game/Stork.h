// The eating stage's stork: first its two legs come down at the screen's sides, then, once they
// stand, the stork strikes down from above twice and leaves; the legs then withdraw.
//
// The stage's frame action decides when each comes (`Eating.LegsSpawned`, `Eating.StorkAllowed`);
// these sprites keep `Eating.LegsLanded` and `Eating.StorkLeaving` up to date. Both live on the
// world's engine root.
#pragma once

#include "engine/TSprite.h"

namespace pondlark {

class IPlayWorld;

// A stork's leg ("aist_leng"), side 1 at the left edge, side 2 at the right. Comes down 10 px a
// frame from just above the screen and stands on the bottom edge (setting `LegsLanded`); once
// `StorkLeaving` is set it goes back up and is removed when fully above the screen again.
class TStorkLeg : public TImageSprite {
public:
    TStorkLeg(IPlayWorld& world, int side);
    void Step(int ticks) override;

private:
    IPlayWorld& world_;
};

// The stork ("aist"): starts fully above the screen at a random x, comes down 30 px a frame
// until its top edge reaches the screen's top, goes back up, and makes a second pass at a new
// random x; after it, it is removed and `StorkLeaving` is set. Every frame in which it touches
// the eating frog costs a life (sound "aist_eat").
class TStork : public TImageSprite {
public:
    explicit TStork(IPlayWorld& world);
    void Step(int ticks) override;
    void Hit(TSprite& other, bool& done) override;

    bool Descending = true;
    uint8_t Passes = 0;

private:
    IPlayWorld& world_;
};

} // namespace pondlark
