// The pond's bonuses and effects: the coin and the extra life a surfacing lily shows, the ripple
// under a jumping frog and the splash of a drowning one.
//
// All belong to the world's engine root and move with the scroll.
#pragma once

#include "engine/TSprite.h"

#include <cstdint>

namespace pondlark {

class IPlayWorld;

// A bonus standing on the lily of grid cell (row, column). The frog takes it by touching it;
// taking it clears the cell's bonus so that the lily does not offer it again.
class TPondBonus : public TImageSprite {
public:
    TPondBonus(IPlayWorld& world, const char* image, int row, int column);
    void Step(int ticks) override;
    void Hit(TSprite& other, bool& done) override;

    int Row = 0; // grows by the scroll's rows when a scroll ends
    int Column = 0;

protected:
    virtual void Collect() = 0;
    IPlayWorld& world_;
};

// A coin: 100 points and the sound "dollar".
class TCoin : public TPondBonus {
public:
    TCoin(IPlayWorld& world, int row, int column) : TPondBonus(world, "dollar", row, column) {}

protected:
    void Collect() override;
};

// An extra life and the sound "life".
class TLife : public TPondBonus {
public:
    TLife(IPlayWorld& world, int row, int column) : TPondBonus(world, "life", row, column) {}

protected:
    void Collect() override;
};

// Marks every coin and life of cell (row, column) dead: its lily has begun to sink.
void RemoveBonuses(TSprite& root, int row, int column);

// A short animation played once, drawn at its rounded frame position.
class TPondEffect : public TImageSprite {
public:
    TPondEffect(IPlayWorld& world, const char* image, int z);
    void Render() override;

protected:
    IPlayWorld& world_;
};

// A ripple under the frog's row at `column` (1..4), in picture variant 1..3; it goes when its
// rounded frame runs past the last picture.
class TRipple : public TPondEffect {
public:
    TRipple(IPlayWorld& world, int column, int variant);
    void Step(int ticks) override;
};

// The splash where the frog drowns, on the frog's spot. Plays "brizg"; one frame after its
// animation has run out it goes and raises `Pond.FrogLost`: only then is the life lost.
class TSplash : public TPondEffect {
public:
    explicit TSplash(IPlayWorld& world);
    void Step(int ticks) override;

private:
    // The rounded frame of the step before: the splash ends one step after its last picture.
    uint8_t lastRounded_ = 0;
};

} // namespace pondlark
