#include "game/Insects.h"

#include "engine/TDXImageList.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/EatingFrog.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayWorld.h"
#include "game/PortableMath.h"

#include <cmath>

namespace pondlark {

namespace {
// clang-format off
//                                 image       buzz                   speed wave frames   pts food gulp-catch gulp-escape straight-y
constexpr TInsectKind kMidge    = {"mushka",    TSound::MidgeBuzz,     1,   50,  0.02,     5,  1,  true,      false,      0,   0};
constexpr TInsectKind kFly      = {"muha",      TSound::FlyBuzz,       3,   30,  1.0 / 30, 10, 2,  true,      false,      0,   0};
constexpr TInsectKind kMosquito = {"komar",     TSound::MosquitoBuzz,  4,   10,  0.1,      15, 2,  true,      false,      0,   0};
// The skater gulps when it runs off the screen, not when caught: that is how the game has
// always sounded.
constexpr TInsectKind kSkater   = {"vodomerka", TSound::SkaterBuzz,    5,   0,   0.01,     20, 3,  false,     true,       220, 170};
constexpr TInsectKind kBee      = {"pchel",     TSound::BeeBuzz,       9,   0,   0.025,    25, 3,  true,      false,      60,  330};
// clang-format on
constexpr const TInsectKind* kKinds[] = {&kMidge, &kFly, &kMosquito, &kSkater, &kBee};
} // namespace

TInsect::TInsect(IPlayWorld& world, const TInsectKind& kind)
    : TImageSprite(&world.Engine()), world_(world), kind_(kind) {
    FromRight = world.Random().Next(2) == 1;
    SetImage(world.Image(FromRight ? std::string(kind.Image) : std::string(kind.Image) + "_"));
    SetZ(1);
    PixelExact = true;
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = true;
    FrameSpeed = kind.FrameSpeed;
    X = FromRight ? kScreenWidth : -Width;
    Speed = kind.BaseSpeed + world.Random().Next(3);
    if (kind.WaveDivisor != 0) {
        Amplitude = world.Random().Next(50);
        BaseY = 110 + world.Random().Next(230);
        Y = BaseY;
    } else {
        Y = kind.StraightY + world.Random().Next(kind.StraightRange);
    }
    world.PlaySound(kind.Buzz);
}

void TInsect::Step(int ticks) {
    TImageSprite::Step(ticks);
    const bool flying = kind_.WaveDivisor != 0;
    if (flying) Phase += Speed;
    X += FromRight ? -Speed : Speed;
    if (flying) Y = PortableSin(static_cast<double>(Phase) / kind_.WaveDivisor) * Amplitude + BaseY;
    // Gone past the far edge; one that has only just entered is still at -Width.
    if (X < -Width || X > kScreenWidth) {
        MarkDead();
        if (kind_.GulpOnEscape && world_.State().Eating.BottleEmpty) world_.PlaySound(TSound::Gulp);
        world_.StopSound(kind_.Buzz);
    }
    CheckHits();
}

void TInsect::Hit(TSprite& other, bool&) {
    if (!other.IsA<TTongueTip>()) return;
    TGameState& s = world_.State();
    s.Score += kind_.Points;
    s.Hunger = std::max(0, s.Hunger - kind_.Food);
    MarkDead();
    if (kind_.GulpOnCatch && s.Eating.BottleEmpty) world_.PlaySound(TSound::Gulp);
    world_.StopSound(kind_.Buzz);
}

TMidge::TMidge(IPlayWorld& world) : TInsect(world, kMidge) {}
TFly::TFly(IPlayWorld& world) : TInsect(world, kFly) {}
TMosquito::TMosquito(IPlayWorld& world) : TInsect(world, kMosquito) {}
TPondSkater::TPondSkater(IPlayWorld& world) : TInsect(world, kSkater) {}
TBee::TBee(IPlayWorld& world) : TInsect(world, kBee) {}

bool IsInsectSound(TSound sound) {
    for (const TInsectKind* kind : kKinds)
        if (sound == kind->Buzz) return true;
    return false;
}

bool InsectOfSoundAlive(TSprite& root, TSound sound) {
    for (int i = 0; i < root.ChildCount(); ++i) {
        const auto* insect = dynamic_cast<const TInsect*>(root.Child(i));
        if (insect && !insect->Dying() && sound == insect->Kind().Buzz) return true;
    }
    return false;
}

} // namespace pondlark
