// The eating stage's frog and its tongue.
//
// The frog walks along the bottom of the picture and shoots its tongue while Space, Ctrl or a
// mouse button is held; the aim is `Shell.TongueAngle` (degrees, 180 straight up, kept within
// 120..240 by the frame handler). The tongue is a strip stretched to `Eating.TongueLength` and
// turned about the mouth; its tip `TTongueTip` is the only part that catches insects.
//
// All three sprites live on the world's engine root and must be created in the order frog,
// tongue, tip: each step reads what the one before it wrote this frame (`State.Eating`).
#pragma once

#include "engine/TSprite.h"

namespace pondlark {

class IPlayWorld;

// The sitting frog ("frogeat"): left/right or A/D walk it by 5 px a frame and play its walking
// frames once; up/down turn the aim by 5 degrees; the action key lengthens the tongue by 30 px
// a frame up to 400, otherwise it shrinks by 60. Plays "bell" when created.
class TEatingFrog : public TImageSprite {
public:
    explicit TEatingFrog(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;

private:
    IPlayWorld& world_;
};

// The tongue ("iazik"): drawn from the mouth, stretched by the tongue length along the aim.
class TTongue : public TImageSprite {
public:
    explicit TTongue(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;

private:
    IPlayWorld& world_;
};

// The tongue's tip ("konec_iazika"): always 30 px beyond the tongue's length from the mouth,
// along the aim; pixel-exact, so insects can test their hits against it.
class TTongueTip : public TImageSprite {
public:
    explicit TTongueTip(IPlayWorld& world);
    void Step(int ticks) override;
    void Render() override;

private:
    IPlayWorld& world_;
};

} // namespace pondlark
