// The frog of the pond stage.
//
// It stands on the bottom row (grid row 4) in column `FrogColumn` + 1, turns with the arrow
// keys and jumps with Space or the action key: sideways in 30 frames of 5 pixels, or forward,
// which asks the pond for a scroll of one row (two from a springy lily). Each step it reacts to
// the lilies on its spot (sinking, hunter, sticky, crocodile) and ends the stage on touching the
// stone. Its game-wide fields live in `world.State().Pond`.
#pragma once

#include "engine/TSprite.h"

namespace pondlark {

class IPlayWorld;
class TLily;

class TPondFrog : public TImageSprite {
public:
    explicit TPondFrog(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;
    void Hit(TSprite& other, bool& done) override;

    // Where the frog stands at rest for the current level and column.
    double HomeX() const;
    double HomeY() const;

    int SlideDistance = 0;
    bool SlideLeft = false;
    bool SlideRight = false;

    // The lily kinds' hooks (game/LilyKinds.h): the frog standing on `lily` this step.
    void OnPlainLily(TLily& lily);     // drowns once it has sunk
    void OnHunterLily(TLily& lily);    // sets it going and is eaten once it closes
    void OnStickyLily(TLily& lily);    // hangs along the strand while it is out
    void OnCrocodileLily(TLily& lily); // keeps the crocodile's eyes here opening

private:
    void Turn();
    void Slide();
    void Jump();
    void TestLilies();

    IPlayWorld& world_;
};

} // namespace pondlark
