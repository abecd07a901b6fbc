#include "game/Stork.h"

#include "engine/TDXImageList.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/EatingFrog.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayWorld.h"

namespace pondlark {

namespace {
constexpr int kLegStep = 10;
constexpr int kStorkStep = 30;
constexpr int kStorkPasses = 2;
} // namespace

TStorkLeg::TStorkLeg(IPlayWorld& world, int side) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("aist_leng"));
    SetZ(kDepthStork);
    PixelExact = true;
    X = side == 1 ? 0 : kScreenWidth - Width;
    Y = -Height;
}

void TStorkLeg::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = world_.State();
    Y += s.Eating.StorkLeaving ? -kLegStep : kLegStep;
    // Steps of 10 from -Height always meet -Height again on the way up.
    if (Y == -Height) MarkDead();
    if (Y > kScreenHeight - Height) {
        Y = kScreenHeight - Height;
        s.Eating.LegsLanded = true;
    }
}

TStork::TStork(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("aist"));
    SetZ(kDepthStork);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = true;
    FrameSpeed = 0.01;
    X = world.Random().Next(kScreenWidth - Width);
    Y = -Height;
}

void TStork::Step(int ticks) {
    TImageSprite::Step(ticks);
    CheckHits();
    if (Descending) Y += kStorkStep;
    // The picture's height is a multiple of 30, so the turn and the pass end are met exactly.
    if (Y == 0) Descending = false;
    if (!Descending) Y -= kStorkStep;
    if (Y == -Height) {
        X = world_.Random().Next(kScreenWidth - Width);
        Descending = true;
        ++Passes;
    }
    if (Passes == kStorkPasses) {
        MarkDead();
        world_.State().Eating.StorkLeaving = true;
    }
}

void TStork::Hit(TSprite& other, bool&) {
    if (!other.IsA<TEatingFrog>()) return;
    --world_.State().Lives;
    world_.PlaySound(TSound::StorkStrike);
}

} // namespace pondlark
