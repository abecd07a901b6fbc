// The pond's scenery and its scroll clock: the endless water, the hidden scroll timer, the goal
// stone and the floating logs. All belong to the form's engine root.
#pragma once

#include "engine/TSprite.h"

namespace pondlark {

class TMainForm;

// The water, tiled and scrolled downwards without end.
class TScrollBackground : public TBackgroundSprite {
public:
    explicit TScrollBackground(TMainForm& form);
    void Step(int ticks) override;
    void Render() override;

private:
    TMainForm& form_;
};

// The scroll clock. Must be the first sprite of the pond so that it is stepped first: it counts
// the scroll's 30 frames of 5 pixels and, in the frame after, ends the scroll before anything
// else moves - shifting the grid, moving every lily and bonus down its rows, building the new
// rows and leaving a ripple under the frog.
class TSample : public TImageSprite {
public:
    explicit TSample(TMainForm& form);
    void Step(int ticks) override;

private:
    void EndScroll();
    TMainForm& form_;
};

// The goal stone at the left edge; the frog ends the stage by touching it.
class TStone : public TImageSprite {
public:
    TStone(TMainForm& form, double y);
    void Step(int ticks) override;

private:
    TMainForm& form_;
};

// A floating log, one of two pictures at random. Decoration only.
class TBrevno : public TImageSprite {
public:
    TBrevno(TMainForm& form, double x, double y);
    void Step(int ticks) override;

private:
    TMainForm& form_;
};

} // namespace pondlark
