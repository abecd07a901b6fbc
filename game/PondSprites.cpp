#include "game/PondSprites.h"

#include "engine/TDXImageList.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Lilies.h"
#include "game/PlayWorld.h"
#include "game/PondEffects.h"
#include "game/PondStage.h"

#include <string>

namespace pondlark {

TScrollBackground::TScrollBackground(IPlayWorld& world)
    : TBackgroundSprite(&world.Engine()), world_(world) {
    Image = &world.Image("bg1");
    SetMapSize(1, 1);
    Tiled = true;
    X = 0;
    Y = 0;
    SetZ(1);
}

void TScrollBackground::Step(int ticks) {
    TBackgroundSprite::Step(ticks);
    Y += world_.State().Pond.ScrollStep();
}

void TScrollBackground::Render() {
    TBackgroundSprite::Render();
    // Three turned copies pivoting far outside the picture: they land beyond the right edge of
    // the surface and are clipped away, as they always were.
    const int w = Image->Width(), h = Image->Height();
    for (int i = 1; i <= 3; ++i)
        Image->DrawRotated(Engine()->Surface(), 120, Height - i, w, h, 0, 8.0, i - 1, 128);
}

// ---------------------------------------------------------------------------------------------

TScrollClock::TScrollClock(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("sample"));
    X = 0;
    Y = 0;
    SetZ(0);
    PixelExact = true;
}

void TScrollClock::Step(int ticks) {
    TImageSprite::Step(ticks);
    if (!world_.State().Pond.Scrolling) return;
    Y += 5;
    if (Y > 150) EndScroll();
}

void TScrollClock::EndScroll() {
    TPondState& pond = world_.State().Pond;
    Y = 0;
    pond.Scrolling = false;
    for (int i = 0; i < (pond.ScrollSpeed == 2 ? 2 : 1); ++i)
        ShiftGrid(world_);
    AdvanceLilyRows(world_.Engine(), pond.ScrollSpeed);
    BuildLilies(world_);
    new TRipple(world_, pond.FrogColumn + 1, pond.RippleAhead);
    pond.ScrollSpeed = 1;
}

// ---------------------------------------------------------------------------------------------

TStone::TStone(IPlayWorld& world, double y) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("stone"));
    X = 0;
    Y = y;
    SetZ(2);
    PixelExact = true;
}

void TStone::Step(int ticks) {
    TImageSprite::Step(ticks);
    Y += world_.State().Pond.ScrollStep();
}

TLog::TLog(IPlayWorld& world, double x, double y) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("brevno" + std::to_string(world.Random().Next(2) + 1)));
    X = x;
    Y = y;
    SetZ(1);
    PixelExact = true;
}

void TLog::Step(int ticks) {
    TImageSprite::Step(ticks);
    Y += world_.State().Pond.ScrollStep();
}

} // namespace pondlark
