// The pond's scenery and its scroll clock: the endless water, the hidden scroll timer, the goal
// stone and the floating logs. All belong to the world's engine root.
#pragma once

#include "engine/TSprite.h"

namespace pondlark {

class IPlayWorld;

// The water, tiled and scrolled downwards without end.
class TScrollBackground : public TBackgroundSprite {
public:
    explicit TScrollBackground(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;

private:
    IPlayWorld& world_;
};

// The scroll clock. Must be the first sprite of the pond so that it is stepped first: it counts
// the scroll's 30 frames of 5 pixels and, in the frame after, ends the scroll before anything
// else moves - shifting the grid, moving every lily and bonus down its rows, building the new
// rows and leaving a ripple under the frog.
class TScrollClock : public TImageSprite {
public:
    explicit TScrollClock(IPlayWorld& world);
    void Step(int ticks) override;

private:
    void EndScroll();
    IPlayWorld& world_;
};

// The goal stone at the left edge; the frog ends the stage by touching it.
class TStone : public TImageSprite {
public:
    TStone(IPlayWorld& world, double y);
    void Step(int ticks) override;

private:
    IPlayWorld& world_;
};

// A floating log, one of two pictures at random. Decoration only.
class TLog : public TImageSprite {
public:
    TLog(IPlayWorld& world, double x, double y);
    void Step(int ticks) override;

private:
    IPlayWorld& world_;
};

} // namespace pondlark
