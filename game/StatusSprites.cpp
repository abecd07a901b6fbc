#include "game/StatusSprites.h"

#include "engine/TDXImageList.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayWorld.h"

#include <algorithm>
#include <cmath>

namespace pondlark {

TBottle::TBottle(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("energi"));
    X = kScreenWidth - Width;
    Y = 0;
    SetZ(kDepthStatus);
    world.State().Starved = false;
}

void TBottle::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = world_.State();
    // A level below 1 never happens in play; it must not divide by zero either.
    const int32_t level = std::max<int32_t>(s.Level, 1);
    // Saturate rather than wrap: a wrapped byte would show an empty bottle to a starving frog.
    frame_ =
        static_cast<uint8_t>(std::clamp<int32_t>(std::max<int32_t>(s.Hunger, 0) / level, 0, 255));
    s.Eating.BottleEmpty = frame_ == 0;
    if (frame_ > Image->PatternCount() - 1) s.Starved = true;
    if (frame_ > previous_) world_.PlaySound(TSound::BottleUp);
    if (frame_ < previous_) world_.PlaySound(TSound::BottleDown);
    previous_ = frame_;
}

void TBottle::Render() {
    Image->Draw(Engine()->Surface(), static_cast<int>(std::lround(X)),
                static_cast<int>(std::lround(Y)), frame_);
}

TPanel::TPanel(IPlayWorld& world, double x, double factor) : TImageSprite(&world.Engine()) {
    Image = &world.Image("panel");
    Width = Image->Width() / 2 + static_cast<int32_t>(std::nearbyint(30 * factor));
    Height = Image->Height();
    X = x;
    Y = 0;
    SetZ(kDepthStatus);
}

void AddStatusSprites(IPlayWorld& world) {
    new TBottle(world);
    new TPanel(world, 140, 1);
    new TPanel(world, 525, 3);
    new TPanel(world, 335, 1);
}

} // namespace pondlark
