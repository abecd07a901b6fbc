#include "game/PondFrog.h"

#include "engine/TDXImageList.h"
#include "engine/TDXInput.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Lilies.h"
#include "game/PlayWorld.h"
#include "game/PondEffects.h"
#include "game/PondSprites.h"

#include <cmath>

namespace pondlark {

namespace {
constexpr double kHeldSpeed = 1.0 / 150; // a lily set going by the frog
} // namespace

TPondFrog::TPondFrog(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    TPondState& pond = world.State().Pond;
    pond.FrogColumn = static_cast<uint8_t>(world.Random().Next(4));
    Image = &world.Image("frog");
    // The frog grows with the level up to its picture's own size.
    const int level = world.State().Level;
    if (level <= 4) {
        Width = 34 + 11 * (level - 1);
        Height = 53 + 17 * (level - 1);
    } else {
        Width = Image->Width();
        Height = Image->Height();
    }
    X = HomeX();
    Y = HomeY();
    SetZ(5);
    pond.FrogFacing = kFacingUp;
    pond.FrogAnimEnd = 2;
    FramePos = 1;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    FrameSpeed = 0.002;
    pond.StuckOnSticky = false;
    pond.RippleHere = 1;
    world.PlaySound(TSound::FrogAppears);
}

double TPondFrog::HomeX() const {
    return SpotX(world_.State().Pond.FrogColumn + 1);
}

double TPondFrog::HomeY() const {
    const int level = world_.State().Level;
    return level <= 4 ? 575 - 30 - 2 * (level - 1) : 575 - 50;
}

void TPondFrog::Render() {
    const uint8_t facing = world_.State().Pond.FrogFacing;
    const int angle = facing == kFacingLeft ? 192 : facing == kFacingRight ? 64 : 0;
    Image->DrawRotated(Engine()->Surface(), static_cast<int>(std::nearbyint(X)),
                       static_cast<int>(std::nearbyint(Y)), Width, Height,
                       static_cast<int>(std::trunc(FramePos)), 0.5, 0.5, angle);
}

void TPondFrog::Hit(TSprite& other, bool&) {
    const TPondState& pond = world_.State().Pond;
    // Only a frog that has settled on the stone ends the stage.
    if (other.IsA<TStone>() && pond.ScrollSpeed != 2 && !pond.Scrolling && pond.StickyCount == 0)
        world_.State().Pond.PondRunning = false;
}

void TPondFrog::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = world_.State();
    TPondState& pond = s.Pond;
    const int column = pond.FrogColumn + 1;
    pond.RippleHere = RippleVariant(pond.Grid.Get(4, column).Kind);
    pond.RippleAhead = RippleVariant(pond.Grid.Get(3, column).Kind);

    // End of an animation: back to the idle croak cycle.
    if (FramePos >= pond.FrogAnimEnd && !pond.Scrolling) {
        pond.FrogAnimEnd = 2;
        FramePos = 0;
        if (!SlideLeft && !SlideRight && !pond.StrandShown) world_.PlaySound(TSound::Croak);
        FrameSpeed = 0.002;
    }
    // Frozen by the crocodile: nothing more, not even the lily or stone tests.
    if (pond.CrocodileAttack || !pond.FrogControl) return;

    if (!pond.EatenByHunter) Turn();
    if (pond.StickyCount == 0 && (SlideLeft || SlideRight)) Slide();
    Jump();

    if (X >= 620) X = 620;
    if (X <= 170) X = 170;
    if (pond.FrogColumn > 3) pond.FrogColumn = 3;

    if (!SlideLeft && !SlideRight && !pond.Scrolling) TestLilies();
    if (s.Pond.FrogDead || s.Starved) MarkDead();
    CheckHits();
}

void TPondFrog::Turn() {
    TGameState& s = world_.State();
    TPondState& pond = s.Pond;
    struct Key {
        TDXInputState state;
        uint8_t* delay;
        uint8_t facing;
    };
    for (const Key& k : {Key{isLeft, &s.Shell.LeftKeyDelay, kFacingLeft},
                         Key{isRight, &s.Shell.RightKeyDelay, kFacingRight},
                         Key{isUp, &s.Shell.UpKeyDelay, kFacingUp}}) {
        if (!world_.Input().Has(k.state) || *k.delay != 0) continue;
        // A new direction starts the sticky count afresh.
        if (pond.FrogFacing != k.facing) pond.StickyCount = 0;
        pond.FrogFacing = k.facing;
        *k.delay = 3;
    }
}

void TPondFrog::Slide() {
    TPondState& pond = world_.State().Pond;
    if (SlideDistance < 150) {
        FramePos = Image->PatternCount() - 1;
        SlideDistance += 5;
        X += SlideLeft ? -5 : 5;
        return;
    }
    // Landed on the neighbouring lily.
    FramePos = 1;
    SlideLeft = SlideRight = false;
    new TRipple(world_, pond.FrogColumn + 1, pond.RippleHere);
    SlideDistance = 0;
}

void TPondFrog::Jump() {
    TGameState& s = world_.State();
    TPondState& pond = s.Pond;
    const bool pressed = world_.Input().Has(isAction) || s.Shell.ActionKey || s.Shell.ActionTapped;
    if (!pressed || pond.EatenByHunter || pond.StuckOnSticky || pond.Scrolling || SlideLeft ||
        SlideRight || s.Shell.ActionKeyDelay != 0)
        return;
    // No jump off the edge of the pond.
    if (pond.FrogFacing == kFacingLeft && pond.FrogColumn == 0) return;
    if (pond.FrogFacing == kFacingRight && pond.FrogColumn == 3) return;

    const int column = pond.FrogColumn + 1;
    const TLilyKind& kind = LilyKind(pond.Grid.Get(4, column).Kind);
    s.Score += 5;
    new TRipple(world_, column, pond.RippleHere);
    pond.FrogAnimEnd = Image->PatternCount() - 1;
    FrameSpeed = 0.1;
    s.Hunger += 1;
    s.Shell.ActionKey = s.Shell.ActionTapped = false;
    s.Shell.ActionKeyDelay = 3;

    // A sticky lily holds the frog back for up to three jumps in one direction.
    auto heldBySticky = [&] {
        if (!kind.Holds || pond.StickyCount >= 3) return false;
        SetLilySpeed(world_.Engine(), column, 4, kHeldSpeed);
        ++pond.StickyCount;
        pond.StuckOnSticky = true;
        return true;
    };

    if (pond.FrogFacing != kFacingUp) {
        if (SlideDistance != 0) return;
        pond.ScrollSpeed = 1;
        pond.Scrolling = false;
        if (heldBySticky()) return;
        pond.StickyCount = 0;
        if (pond.FrogFacing == kFacingLeft) {
            SlideLeft = true;
            --pond.FrogColumn;
        } else {
            SlideRight = true;
            ++pond.FrogColumn;
        }
        return;
    }
    if (kind.ThrowsTwoRows) {
        pond.AdvanceTwoRows = true;
        SetLilySpeed(world_.Engine(), column, 4, kHeldSpeed);
    }
    if (heldBySticky()) return;
    pond.StickyCount = 0;
    if (!pond.AdvanceTwoRows) pond.AdvanceOneRow = true;
    AdvanceEyeRows(world_.Engine(), pond.AdvanceOneRow ? 1 : 2);
}

void TPondFrog::TestLilies() {
    TGameState& s = world_.State();
    const int column = s.Pond.FrogColumn + 1;
    // The grid's kind, not the sprite's, decides: two lily sprites may share the spot (a row
    // built anew under one that scrolled down).
    const TLilyKind& kind = LilyKind(s.Pond.Grid.Get(4, column).Kind);
    TSprite& root = world_.Engine();
    for (int i = 0; i < root.ChildCount() && !s.Pond.FrogDead; ++i) {
        auto* lily = dynamic_cast<TLily*>(root.Child(i));
        if (!lily || lily->Dying() || lily->Row != 4 || lily->Column != column) continue;
        if (kind.UnderFrog) (this->*kind.UnderFrog)(*lily);
        if (!kind.KeepsEyesOpen)
            ForEachChild<TCrocodileEyes>(root, [](TCrocodileEyes& eyes) { eyes.CloseEyes(); });
    }
}

void TPondFrog::OnPlainLily(TLily& lily) {
    // Sunk under the frog: it drowns.
    if (lily.LastFramePos >= 2) {
        world_.State().Pond.FrogDead = true;
        MarkDead();
        new TSplash(world_);
    }
}

void TPondFrog::OnHunterLily(TLily& lily) {
    TPondState& pond = world_.State().Pond;
    lily.FrameSpeed = kHeldSpeed;
    if (lily.FramePos > 1) {
        pond.EatenByHunter = true;
        pond.FrogDead = true;
        MarkDead();
    }
}

void TPondFrog::OnCrocodileLily(TLily&) {
    const int column = world_.State().Pond.FrogColumn + 1;
    ForEachChild<TCrocodileEyes>(world_.Engine(), [&](TCrocodileEyes& eyes) {
        if (eyes.Column == column && eyes.Row == 4)
            eyes.FrameSpeed = 0.002;
        else
            eyes.CloseEyes();
    });
}

void TPondFrog::OnStickyLily(TLily& lily) {
    const TPondState& pond = world_.State().Pond;
    const int column = pond.FrogColumn + 1;
    if (lily.LastFramePos >= 1 && lily.LastFramePos < 3) {
        // The strand is out: the frog hangs stretched along it.
        FramePos = 3;
        if (pond.FrogFacing == kFacingLeft) X = SpotX(column) - 38 - Height;
        if (pond.FrogFacing == kFacingRight) X = SpotX(column) + 25 + Height;
        if (pond.FrogFacing == kFacingUp) Y = HomeY() - 18 - Height;
    } else {
        FramePos = 1;
        X = HomeX();
        Y = HomeY();
    }
}

} // namespace pondlark
