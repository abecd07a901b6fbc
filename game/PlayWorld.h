// What a play-field sprite may reach: the sprite root of the live scene, the pictures, the
// random generator, the input states, the sound effects and the game state. Nothing here
// switches scenes, draws text, writes files or talks to the network.
//
// The main window implements it and outlives every sprite; sprites keep a reference for their
// whole life.
#pragma once

#include "game/SoundTable.h"

#include <string>

namespace pondlark {

// Whoever calls a member includes its type's header; this one names them only, so that a change
// to the engine's headers does not rebuild every sprite.
class TDXInput;
class TPictureCollectionItem;
class TRandom;
class TSpriteEngine;
struct TGameState;

class IPlayWorld {
public:
    // The root of the live scene's sprites; sprites made on it are freed by its sweep.
    virtual TSpriteEngine& Engine() = 0;
    // A picture of the archive by name; raises "Image '%s' not found".
    virtual TPictureCollectionItem& Image(const std::string& name) = 0;
    virtual TRandom& Random() = 0;
    // The keys and buttons as read at the start of this frame.
    virtual const TDXInput& Input() const = 0;
    // Starts a sound effect when sound is on; raises "Wave '%s' not found" when the archive
    // lacks it (a damaged or foreign archive).
    virtual void PlaySound(TSound sound) = 0;
    // Stops `ButtonUp`, or an insect's buzz once no insect of that kind is left; other sounds
    // play out.
    virtual void StopSound(TSound sound) = 0;
    virtual void StopAllSounds() = 0;
    virtual TGameState& State() = 0;

protected:
    ~IPlayWorld() = default;
};

} // namespace pondlark
