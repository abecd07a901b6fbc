// One row per scene: what the main window does when the scene is entered and left, on every
// frame, when the scene timer fires, and with the keys and the pointer. Adding a screen is one
// row here and the screen's own file.
//
// An empty action does nothing, except the frame, which then draws the plain frame pattern.
// The table is fixed at compile time and names every scene but `TScene::None`, which has the
// empty row.
#pragma once

#include "game/Scene.h"
#include "platform/Platform.h"

namespace pondlark {

class TMainForm;
struct TShiftState;

struct TSceneRow {
    TScene Scene = TScene::None;
    // After the engine has cleared the old scene's sprites and `Scene` is set.
    void (*Enter)(TMainForm&) = nullptr;
    // After the engine has cleared the scene's sprites, before `Scene` changes.
    void (*Leave)(TMainForm&) = nullptr;
    void (*Frame)(TMainForm&) = nullptr;
    // The scene timer fired (it is already stopped).
    void (*Timer)(TMainForm&) = nullptr;
    // A key went down (Alt+Enter's display switch follows in every scene).
    void (*Key)(TMainForm&, int key, TShiftState shift) = nullptr;
    // The pointer moved (the highlights are already gone and the position kept).
    void (*Hover)(TMainForm&) = nullptr;
    void (*Press)(TMainForm&, MouseButton button) = nullptr;
    // The song started again when it wraps to its start; nullptr when it loops by itself.
    const char* WrappingSong = nullptr;
    // The exit question may be asked here.
    bool ExitQuestion = false;
};

// The row of `scene`; the empty row for `TScene::None`.
const TSceneRow& SceneRow(TScene scene);

} // namespace pondlark
