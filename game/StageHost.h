// What the set-up and frame actions of a scene may reach beyond a sprite's play world: the scene
// switch, the frame pattern, the text canvas, the music, the scene timer and the pointer.
//
// The main window implements it and outlives every scene.
#pragma once

#include "engine/Geometry.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "engine/TWindowTimer.h"
#include "game/PlayWorld.h"
#include "game/Scene.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace pondlark {

class IStageHost : public IPlayWorld {
public:
    // Leaves the live scene and enters `scene`, before returning.
    virtual void SwitchScene(TScene scene) = 0;
    // The frame pattern every scene starts with: the engine moves by 16 ticks (unless the scene
    // stands still), sweeps, the back surface is cleared and the sprites drawn.
    virtual void DrawPattern(bool move) = 0;
    // The back surface's canvas set up for the game's texts: the game's face at `size` in
    // `color`, over a clear background. Valid until the caller releases it.
    virtual TDirectDrawSurfaceCanvas& TextCanvas(int size, TColor color) = 0;
    TDirectDrawSurfaceCanvas& TextCanvas(int size) { return TextCanvas(size, kTextYellow); }
    // Starts song `name` ("Music/" + name + ".xm") when music is on; a missing song is silent.
    virtual void PlayMusic(const std::string& name) = 0;
    // The scene's one wait (intro length, level banner, game-over wait); its firing goes to the
    // live scene.
    virtual TWindowTimer& SceneTimer() = 0;
    // Reseeds the random generator: from the clock, or from the seed a test or replay fixed.
    virtual void SeedRandom() = 0;
    virtual void SetCursor(Cursor cursor) = 0;
    // Blocks the whole game for `ms` of the platform's clock.
    virtual void Sleep(uint32_t ms) = 0;
    // Writes the settings file (beside Config.cfg) from the state; a failure is reported, and
    // the game goes on.
    virtual void SaveSettings() = 0;

    static constexpr TColor kTextYellow = RGBColor(255, 255, 0);

protected:
    ~IStageHost() = default;
};

} // namespace pondlark
