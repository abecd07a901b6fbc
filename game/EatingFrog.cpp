#include "game/EatingFrog.h"

#include "engine/TDXImageList.h"
#include "engine/TDXInput.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayRules.h"
#include "game/PlayWorld.h"
#include "game/PortableMath.h"

#include <cmath>
#include <numbers>

namespace pondlark {

namespace {
constexpr int kWalkStep = 5;
constexpr int kAimStep = 5;
constexpr int kTongueGrow = 30;
constexpr int kTongueShrink = 60;
constexpr int kTongueMax = 400;
// The tip stands this far beyond the tongue's length, so it shows even with the tongue in.
constexpr int kTipReach = 30;

// 256 angle units make a whole turn.
int AngleUnits(double degrees) {
    return RoundEven(degrees * 256 / 360);
}
} // namespace

TEatingFrog::TEatingFrog(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("frogeat"));
    X = 400 - Width / 2.0;
    Y = kScreenHeight - Height;
    SetZ(kDepthOverStork);
    FramePos = 0;
    FrameCount = Image->PatternCount();
    FrameLoop = false;
    FrameSpeed = 0;
    world.State().Eating.MouthX = 600;
    world.State().Eating.MouthY = 500;
    world.PlaySound(TSound::Bell);
}

void TEatingFrog::Step(int ticks) {
    TImageSprite::Step(ticks);
    TGameState& s = world_.State();
    const TDXInput& in = world_.Input();
    // Walking plays the frames once; each walking frame lifts the mouth.
    if (in.Has(isLeft) || in.Has(isAimLeft)) {
        X -= kWalkStep;
        FrameSpeed = 0.02;
    }
    if (in.Has(isRight) || in.Has(isAimRight)) {
        X += kWalkStep;
        FrameSpeed = 0.02;
    }
    // The keys turn the aim only while it is inside its range, so they stop at its ends.
    if (in.Has(isUp) && s.Shell.TongueAngle > kAimMinDegrees) s.Shell.TongueAngleOffset -= kAimStep;
    if (in.Has(isDown) && s.Shell.TongueAngle < kAimMaxDegrees)
        s.Shell.TongueAngleOffset += kAimStep;
    // Shoot out while the key is held, snap back otherwise.
    if (in.Has(isAction) || s.Shell.ActionKey || s.Shell.ActionTapped) {
        world_.PlaySound(TSound::Tongue);
        s.Eating.TongueLength += kTongueGrow;
    } else {
        s.Eating.TongueLength -= kTongueShrink;
    }
    if (s.Eating.TongueLength <= 0) s.Eating.TongueLength = 0;
    if (s.Eating.TongueLength >= kTongueMax) s.Eating.TongueLength = kTongueMax;
    // Stay on the screen.
    if (X > kScreenWidth - Width) X = kScreenWidth - Width;
    if (X <= 0) X = 0;
    s.Eating.MouthX = X;
    // The walk ends resting on frame 0.
    if (FramePos == FrameCount - 1) {
        FramePos = 0;
        FrameCount = Image->PatternCount();
        FrameLoop = false;
        FrameSpeed = 0;
    }
    switch (static_cast<int>(std::trunc(FramePos))) {
    case 0:
        s.Eating.MouthLift = 0;
        break;
    case 1:
        s.Eating.MouthLift = 25;
        break;
    case 2:
        s.Eating.MouthLift = 65;
        break;
    default:
        break; // other frames keep the last lift
    }
}

void TEatingFrog::Render() {
    Image->Draw(Engine()->Surface(), RoundEven(X), RoundEven(Y),
                static_cast<int>(std::trunc(FramePos)));
}

TTongue::TTongue(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    Image = &world.Image("iazik");
    Width = Image->Width();
    Height = 2 * Image->Height();
    SetZ(1);
    PixelExact = true;
    X = world.State().Eating.MouthX + 70;
    Y = world.State().Eating.MouthY - world.State().Eating.MouthLift;
}

void TTongue::Step(int ticks) {
    TImageSprite::Step(ticks);
    const TEatingState& e = world_.State().Eating;
    X = e.MouthX + 70;
    Y = e.MouthY - e.MouthLift;
}

void TTongue::Render() {
    // Stretched to its length and turned about its top-left corner, which sits at the mouth.
    const TGameState& s = world_.State();
    Image->DrawRotated(Engine()->Surface(), RoundEven(X), RoundEven(Y), Image->Width(),
                       Image->Height() + s.Eating.TongueLength, 0, 0, 0,
                       AngleUnits(s.Shell.TongueAngle));
}

TTongueTip::TTongueTip(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("konec_iazika"));
    SetZ(1);
    PixelExact = true;
    X = world.State().Eating.MouthX + 68;
    Y = world.State().Eating.MouthY - world.State().Eating.MouthLift;
}

void TTongueTip::Step(int ticks) {
    TImageSprite::Step(ticks);
    const TGameState& s = world_.State();
    const double a = (s.Shell.TongueAngle - 90) * std::numbers::pi / 180;
    const double d = s.Eating.TongueLength + kTipReach;
    X = s.Eating.MouthX + 68 - PortableCos(a) * d;
    Y = s.Eating.MouthY - s.Eating.MouthLift - PortableSin(a) * d;
}

void TTongueTip::Render() {
    Image->DrawRotated(Engine()->Surface(), RoundEven(X), RoundEven(Y), Image->Width(),
                       Image->Height(), 0, 0.5, 0.5,
                       AngleUnits(world_.State().Shell.TongueAngle + 180));
}

} // namespace pondlark
