// What a play-field sprite may reach: the sprite root of the live scene, the pictures, the
// random generator, the input states, the sound effects and the game state. Nothing here
// switches scenes, draws text, writes files or talks to the network.
//
// The main window implements it and outlives every sprite; sprites keep a reference for their
// whole life.
#pragma once

#include "engine/TDXImageList.h"
#include "engine/TDXInput.h"
#include "engine/TRandom.h"
#include "engine/TSprite.h"
#include "game/GameState.h"

#include <string>

namespace pondlark {

class IPlayWorld {
public:
    // The root of the live scene's sprites; sprites made on it are freed by its sweep.
    virtual TSpriteEngine& Engine() = 0;
    // A picture of the archive by name; raises "Image '%s' not found".
    virtual TPictureCollectionItem& Image(const std::string& name) = 0;
    virtual TRandom& Random() = 0;
    // The keys and buttons as read at the start of this frame.
    virtual const TDXInput& Input() const = 0;
    // Starts a sound effect when sound is on; raises "Wave '%s' not found" for a name the
    // archive lacks.
    virtual void PlaySound(const std::string& name) = 0;
    // Stops "button_up", every effect ("all"), or an insect's buzz once no insect of that kind
    // is left; other names are left alone.
    virtual void StopSound(const std::string& name) = 0;
    virtual TGameState& State() = 0;

protected:
    ~IPlayWorld() = default;
};

} // namespace pondlark
