// The water lilies of the pond and what lives under them: the lily itself, the sticky strand,
// the crocodile's eyes and the crocodile's strike.
//
// Every sprite here belongs to the world's engine root and reads and writes the pond state in
// `world.State().Pond`. Lilies and eyes move with the scroll and remove themselves below the
// bottom edge; strands and the crocodile stay put.
#pragma once

#include "engine/TSprite.h"
#include "game/LilyKinds.h"
#include "game/PondState.h"

#include <cstdint>
#include <string_view>

namespace pondlark {

class IPlayWorld;

// A lily on spot (column 1..4, row), standing on the spot's bottom-centre point.
//
// Plain lilies sink and surface in a slow cycle and show their cell's bonus while afloat;
// a hunter lily closes once the frog has set it going and raises `Pond.FrogLost` when it has eaten
// the frog; a sticky lily, set going by a held jump, throws a strand towards the frog's facing
// and lets go on its last frame. A crocodile lily looks plain and brings its eyes along.
class TLily : public TImageSprite {
public:
    TLily(IPlayWorld& world, int kind, int column, int row);
    void Step(int ticks) override;

    const TLilyKind& Kind() const { return kind_; }
    std::string_view KindName() const { return kind_.Name; }
    int Column = 0;
    int Row = 0; // grows by the scroll's rows when a scroll ends
    double BaseSpeed = 0;
    // FramePos as it was right after the base step of the last Step; the frog reads it.
    double LastFramePos = 0;
    bool Fast = true;
    bool Ready = true;

    // The kinds' hooks (game/LilyKinds.h).
    void StartPlain();  // a random start in the sinking cycle; afloat and slow on the frog's row
    void BringEyes();   // the crocodile's eyes over the lily
    void PlainCycle();  // sinks and surfaces, showing the cell's bonus while afloat
    void HunterCycle(); // closes once set going, eating a frog that is on it
    void StickyCycle(); // throws a strand towards the frog's facing, lets go on its last frame

private:
    IPlayWorld& world_;
    const TLilyKind& kind_;
};

// A sticky strand reaching from a lily towards the frog's facing at creation. Sets
// `StrandShown`. Does not scroll; its lily removes all strands together.
class TStickyStrand : public TImageSprite {
public:
    TStickyStrand(IPlayWorld& world, double lilyX, double lilyY);
    uint8_t Facing() const { return facing_; }

private:
    uint8_t facing_;
};

// The crocodile's eyes above a crocodile lily. While the frog stands on that lily the frog
// keeps them opening; after the fourth whole-frame change the frog freezes, after the fifth
// the crocodile strikes (the lily under the frog goes, `CrocodileAttack` is raised).
class TCrocodileEyes : public TImageSprite {
public:
    TCrocodileEyes(IPlayWorld& world, int column, int row, double spotX, double spotY);
    void Step(int ticks) override;
    // Shut and forget what was seen: the count starts afresh next time.
    void CloseEyes();

    int Column = 0;
    int Row = 0; // the frog adds the rows of each forward jump
    int LastFrame = 0;
    int FrameChanges = 0;

private:
    IPlayWorld& world_;
};

// The crocodile's strike on spot (column, row). Raises `FrogLost` (and plays "kroco") once its
// animation reaches the last frame. Does not scroll.
class TCrocodile : public TImageSprite {
public:
    TCrocodile(IPlayWorld& world, int column, int row);
    void Step(int ticks) override;

private:
    IPlayWorld& world_;
};

// Every live lily on spot (column, row) gets `speed`: the frog sets hunter, springy and sticky
// lilies going this way.
void SetLilySpeed(TSprite& root, int column, int row, double speed);

// The rows the pond's sprites stand in, moved on by a forward jump of `rows` (1 or 2). The
// crocodile's eyes follow at once, when the jump starts: the frog's landing in the middle of
// the scroll already looks for them in their new row. The lilies and the bonuses follow when
// the scroll ends, when they stand exactly on their new spots.
void AdvanceEyeRows(TSprite& root, int rows);
void AdvanceLilyRows(TSprite& root, int rows);

} // namespace pondlark
