#include "game/Stork.h"

#include "app/TMainForm.h"
#include "game/EatingFrog.h"

namespace pondlark {

namespace {
constexpr int kLegStep = 10;
constexpr int kStorkStep = 30;
constexpr int kStorkPasses = 2;
} // namespace

TNogaAist::TNogaAist(TMainForm& form, int side) : TImageSprite(&form.Engine()), form_(form) {
    Image = &form.Image("aist_leng");
    Width = Image->Width();
    Height = Image->Height();
    SetZ(800);
    PixelExact = true;
    X = side == 1 ? 0 : 800 - Width;
    Y = -Height;
}

void TNogaAist::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = form_.State;
    Y += s.StorkLeaving ? -kLegStep : kLegStep;
    // Steps of 10 from -Height always meet -Height again on the way up.
    if (Y == -Height) MarkDead();
    if (Y > 600 - Height) {
        Y = 600 - Height;
        s.LegsLanded = true;
    }
}

TAist::TAist(TMainForm& form) : TImageSprite(&form.Engine()), form_(form) {
    Image = &form.Image("aist");
    Width = Image->Width();
    Height = Image->Height();
    SetZ(800);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = true;
    FrameSpeed = 0.01;
    X = form.Random.Next(800 - Width);
    Y = -Height;
}

void TAist::Step(int ticks) {
    TImageSprite::Step(ticks);
    CheckHits();
    if (Descending) Y += kStorkStep;
    // The picture's height is a multiple of 30, so the turn and the pass end are met exactly.
    if (Y == 0) Descending = false;
    if (!Descending) Y -= kStorkStep;
    if (Y == -Height) {
        X = form_.Random.Next(800 - Width);
        Descending = true;
        ++Passes;
    }
    if (Passes == kStorkPasses) {
        MarkDead();
        form_.State.StorkLeaving = true;
    }
}

void TAist::Hit(TSprite& other, bool&) {
    if (!other.IsA<TPlayerSpriteEat>()) return;
    --form_.State.Lives;
    form_.PlaySound("aist_eat");
}

} // namespace pondlark
