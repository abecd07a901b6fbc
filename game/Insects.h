// The eating stage's food: five insects that cross the screen and are caught by the tongue tip.
//
// Each enters at a random side, fully outside the screen, and flies (midge, fly, mosquito: a
// sine wave around a random height) or runs (pond skater, bee: a straight line) to the other
// side, where it is removed. Touching `TTongueTip` catches it: points to `State.Score`, less
// `State.Hunger` (never below 0). Each kind starts its looped buzz when created and asks the world
// to stop it whenever one of its kind goes; the world stops it only when none is left.
//
// Insects live on the world's engine root; the stage's spawner creates them.
#pragma once

#include "engine/TSprite.h"
#include "game/SoundTable.h"

#include <string>

namespace pondlark {

class IPlayWorld;

// What tells the five kinds apart.
struct TInsectKind {
    const char* Image; // facing left; + "_" faces right
    TSound Buzz;       // looped while one of the kind is alive
    int BaseSpeed;     // pixels per frame, plus Random(3)
    int WaveDivisor;   // 0: a straight path
    double FrameSpeed; // wing or leg frames per tick
    int Points;        // added to the score when caught
    int Food;          // taken off the hunger when caught
    bool GulpOnCatch;  // plays "food" on an empty stomach when caught
    bool GulpOnEscape; // plays "food" on an empty stomach when it leaves the screen
    int StraightY;     // straight path: Y = StraightY + Random(StraightRange)
    int StraightRange;
};

class TInsect : public TImageSprite {
public:
    TInsect(IPlayWorld& world, const TInsectKind& kind);
    void Step(int ticks) override;
    void Hit(TSprite& other, bool& done) override;

    const TInsectKind& Kind() const { return kind_; }
    bool FromRight = false;
    int Speed = 0;
    // Wave path only.
    int Phase = 0;
    int Amplitude = 0;
    int BaseY = 0;

private:
    IPlayWorld& world_;
    const TInsectKind& kind_;
};

class TMidge : public TInsect { // midge
public:
    explicit TMidge(IPlayWorld& world);
};
class TFly : public TInsect { // fly
public:
    explicit TFly(IPlayWorld& world);
};
class TMosquito : public TInsect { // mosquito
public:
    explicit TMosquito(IPlayWorld& world);
};
class TPondSkater : public TInsect { // pond skater
public:
    explicit TPondSkater(IPlayWorld& world);
};
class TBee : public TInsect { // bee
public:
    explicit TBee(IPlayWorld& world);
};

// True while a live (not yet dying) insect whose buzz is `sound` is among the root's children;
// false for a name that is no insect's.
bool InsectOfSoundAlive(TSprite& root, TSound sound);
// Whether `sound` is one of the five insects' buzzes.
bool IsInsectSound(TSound sound);

} // namespace pondlark
