#include "game/Lilies.h"

#include "engine/TDXImageList.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayWorld.h"
#include "game/PondEffects.h"

#include <cmath>

namespace pondlark {

namespace {

template <class T, class F> void ForEach(TSprite& root, F&& f) {
    ForEachChild<T>(root, [&](T& s) {
        if (!s.Dying()) f(s);
    });
}

} // namespace

void SetLilySpeed(TSprite& root, int column, int row, double speed) {
    ForEach<TLily>(root, [&](TLily& lily) {
        if (lily.Column == column && lily.Row == row) lily.FrameSpeed = speed;
    });
}

void AdvanceEyeRows(TSprite& root, int rows) {
    ForEachChild<TCrocodileEyes>(root, [&](TCrocodileEyes& eyes) { eyes.Row += rows; });
}

void AdvanceLilyRows(TSprite& root, int rows) {
    ForEachChild<TLily>(root, [&](TLily& lily) { lily.Row += rows; });
    ForEachChild<TPondBonus>(root, [&](TPondBonus& bonus) { bonus.Row += rows; });
}

// ---------------------------------------------------------------------------------------------

TLily::TLily(IPlayWorld& world, int kind, int column, int row)
    : TImageSprite(&world.Engine()), Column(column), Row(row), world_(world),
      kind_(LilyKind(kind)) {
    SetImage(world.Image(kind_.Image));
    X = SpotX(column) - Width / 2.0;
    Y = SpotY(row) - Height;
    SetZ(3);
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    if (kind_.Made) (this->*kind_.Made)();
    Fast = true;
    FrameSpeed = BaseSpeed;
    Ready = true;
}

void TLily::Step(int ticks) {
    TImageSprite::Step(ticks);
    LastFramePos = FramePos;
    if (kind_.Cycle) (this->*kind_.Cycle)();
    Y += world_.State().Pond.ScrollStep();
    if (kind_.LateCycle) (this->*kind_.LateCycle)();
    if (Y > kScreenHeight) MarkDead();
}

void TLily::StartPlain() {
    FrameLoop = true;
    // The frog's own row starts afloat and slow, so the frog is never dropped at once.
    if (Row == 4) {
        BaseSpeed = (world_.Random().Next(5) + 1) / 10000.0;
    } else {
        FramePos = world_.Random().Next(Image->PatternCount());
        BaseSpeed = (world_.Random().Next(5) + 1) / 5000.0;
    }
}

void TLily::BringEyes() {
    new TCrocodileEyes(world_, Column, Row, SpotX(Column), SpotY(Row));
}

void TLily::PlainCycle() {
    TPondState& pond = world_.State().Pond;
    const int n = Image->PatternCount();
    if (FramePos >= 0 && FramePos < 1 && Fast) {
        // Surfaced: slow down to rest afloat, and show the cell's bonus.
        Fast = false;
        FrameSpeed = BaseSpeed / 3;
        const uint8_t bonus = pond.Grid.Get(Row, Column).Bonus;
        if (bonus == kBonusLife && !pond.Scrolling) new TLife(world_, Row, Column);
        if (bonus == kBonusCoin && !pond.Scrolling) new TCoin(world_, Row, Column);
    } else if (FramePos >= 1 && FramePos < n - 2 && !Fast) {
        // Sinking: quickly, taking the bonus down with it.
        Fast = true;
        FrameSpeed = BaseSpeed * 5;
        RemoveBonuses(world_.Engine(), Row, Column);
    } else if (FramePos >= n - 2 && FramePos < n - 1 && Fast) {
        // Sunk: rest under water.
        Fast = false;
        FrameSpeed = BaseSpeed / 3;
    } else if (FramePos >= n - 1 && !Fast) {
        // Surfacing.
        Fast = true;
        FrameSpeed = BaseSpeed * 5;
    }
}

void TLily::HunterCycle() {
    TGameState& s = world_.State();
    const int last = Image->PatternCount() - 1;
    if (FramePos > 1 && Ready) {
        world_.PlaySound(TSound::LilyBite);
        Ready = false;
    }
    if (FramePos == last && s.Pond.EatenByHunter) {
        s.Pond.FrogLost = true;
        Ready = true;
    }
    if (FramePos == last) {
        // Closed: open again at once and wait for the next frog.
        FramePos = 0;
        FrameSpeed = 0;
        Ready = true;
    }
}

void TLily::StickyCycle() {
    TPondState& pond = world_.State().Pond;
    const int last = Image->PatternCount() - 1;
    if (FramePos == last) {
        // Pulled back: the frog is free.
        MarkAllDead<TStickyStrand>(world_.Engine());
        pond.StuckOnSticky = false;
        pond.StrandShown = false;
        FrameSpeed = 0;
        FramePos = 0;
    }
    if (FramePos > 1) {
        // One strand per facing is enough: strands of one facing lie exactly on one another.
        bool shown = false;
        ForEach<TStickyStrand>(world_.Engine(), [&](TStickyStrand& strand) {
            shown = shown || strand.Facing() == pond.FrogFacing;
        });
        if (!shown) new TStickyStrand(world_, X, Y);
    }
}

// ---------------------------------------------------------------------------------------------

TStickyStrand::TStickyStrand(IPlayWorld& world, double lilyX, double lilyY)
    : TImageSprite(&world.Engine()), facing_(world.State().Pond.FrogFacing) {
    switch (facing_) {
    case kFacingLeft:
        SetImage(world.Image("liapuchka_l"));
        X = lilyX + 80 - Width;
        Y = lilyY;
        break;
    case kFacingRight:
        SetImage(world.Image("liapuchka_p"));
        X = lilyX;
        Y = lilyY;
        break;
    default:
        SetImage(world.Image("liapuchka_c"));
        X = lilyX;
        Y = lilyY + 62 - Height;
        break;
    }
    SetZ(4);
    PixelExact = true;
    world.State().Pond.StrandShown = true;
}

// ---------------------------------------------------------------------------------------------

TCrocodileEyes::TCrocodileEyes(IPlayWorld& world, int column, int row, double spotX, double spotY)
    : TImageSprite(&world.Engine()), Column(column), Row(row), world_(world) {
    SetImage(world.Image("kroco_yes"));
    X = spotX;
    Y = spotY - Height - 40;
    SetZ(4);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = true;
    FrameSpeed = 0;
}

void TCrocodileEyes::CloseEyes() {
    FrameSpeed = 0;
    FramePos = 0;
    FrameChanges = 0;
    // Without this the shut eyes would count their own closing as a change.
    LastFrame = 0;
}

void TCrocodileEyes::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = world_.State();
    Y += s.Pond.ScrollStep();
    if (Y > kScreenHeight) MarkDead();
    const int frame = static_cast<int>(std::trunc(FramePos));
    if (frame != LastFrame) {
        LastFrame = frame;
        ++FrameChanges;
    }
    if (FrameChanges == 4) s.Pond.FrogControl = false;
    if (FrameChanges == 5) {
        // The strike: the lily under the frog goes, and the crocodile comes up in its place.
        ForEach<TLily>(world_.Engine(), [&](TLily& lily) {
            if (lily.Row == 4 && lily.Column == s.Pond.FrogColumn + 1) lily.MarkDead();
        });
        MarkDead();
        s.Pond.CrocodileAttack = true;
        new TCrocodile(world_, Column, 4);
    }
}

// ---------------------------------------------------------------------------------------------

TCrocodile::TCrocodile(IPlayWorld& world, int column, int row)
    : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("kroko"));
    X = SpotX(column) - 150;
    Y = SpotY(row) - Height;
    SetZ(kDepthOverStork);
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    FrameSpeed = 1.0 / 30;
}

void TCrocodile::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (std::nearbyint(FramePos) == Image->PatternCount() - 1) {
        world_.State().Pond.FrogLost = true;
        world_.PlaySound(TSound::CrocodileSnap);
    }
}

} // namespace pondlark
