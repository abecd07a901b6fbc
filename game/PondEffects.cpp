#include "game/PondEffects.h"

#include "engine/TDXImageList.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/PlayWorld.h"
#include "game/PondFrog.h"

#include <cmath>
#include <string>

namespace pondlark {

TPondBonus::TPondBonus(IPlayWorld& world, const char* image, int row, int column)
    : TImageSprite(&world.Engine()), Row(row), Column(column), world_(world) {
    SetImage(world.Image(image));
    X = SpotX(column) - Width / 2.0;
    Y = SpotY(row) - Height;
    SetZ(4);
}

void TPondBonus::Step(int ticks) {
    TImageSprite::Step(ticks);
    CheckHits();
    Y += world_.State().Pond.ScrollStep();
}

void TPondBonus::Hit(TSprite& other, bool&) {
    if (!other.IsA<TPondFrog>() || Dying()) return;
    Collect();
    MarkDead();
    world_.State().Pond.Grid.At(Row, Column).Bonus = kBonusNone;
}

void TCoin::Collect() {
    world_.State().Score += 100;
    world_.PlaySound(TSound::Coin);
}

void TLife::Collect() {
    world_.State().Lives += 1;
    world_.PlaySound(TSound::ExtraLife);
}

void RemoveBonuses(TSprite& root, int row, int column) {
    ForEachChild<TPondBonus>(root, [&](TPondBonus& b) {
        if (b.Row == row && b.Column == column) b.MarkDead();
    });
}

// ---------------------------------------------------------------------------------------------

TPondEffect::TPondEffect(IPlayWorld& world, const char* image, int z)
    : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image(image));
    SetZ(z);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    FrameSpeed = 0.01;
}

void TPondEffect::Render() {
    Image->Draw(Engine()->Surface(), RoundEven(X), RoundEven(Y), RoundEven(FramePos));
}

TRipple::TRipple(IPlayWorld& world, int column, int variant)
    : TPondEffect(world, ("razvod" + std::to_string(variant)).c_str(), 2) {
    X = SpotX(column) - Width / 2.0 - 2;
    Y = SpotY(4) - Height + (variant == 2 ? 53 : 63);
}

void TRipple::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (RoundEven(FramePos) > Image->PatternCount() - 1) MarkDead();
    Y += world_.State().Pond.ScrollStep();
}

TSplash::TSplash(IPlayWorld& world) : TPondEffect(world, "brizgi", 10) {
    const int column = world.State().Pond.FrogColumn + 1;
    X = SpotX(column) - Width / 2.0;
    Y = SpotY(4) - Height + 30;
    world.PlaySound(TSound::Splash);
}

void TSplash::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (lastRounded_ > Image->PatternCount() - 1) {
        MarkDead();
        world_.State().Pond.FrogLost = true;
    }
    lastRounded_ = static_cast<uint8_t>(RoundEven(FramePos));
    Y += world_.State().Pond.ScrollStep();
}

} // namespace pondlark
