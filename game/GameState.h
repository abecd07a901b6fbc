// The game state, split by owner: the main window's shell, the menus, the pond and the eating
// stage, and the few values a whole game shares.
#pragma once

#include "game/EatingState.h"
#include "game/PondState.h"
#include "game/Scene.h"
#include "persist/HighScores.h"

#include <array>
#include <cstdint>
#include <string>

namespace pondlark {

// The command flags: the menus' switches and the questions and panels on show.
struct TCommandFlags {
    bool GameFullScreen = false;
    bool GameSound = true;
    bool GameMusic = true;
    bool GameMainExit = false;
    bool GameEnterName = false;
    bool GameSendResult = false;
    bool GameTyping = false;
    bool GameClearHighScore = false;
};

// The main window's own state: focus, pause, the pointer and the aim it gives, the key repeat
// counters and the caret, all kept up to date by its handlers and its frame.
struct TShellState {
    bool Paused = false;
    bool AppInactive = false;
    bool ResizePending = false;
    bool ActionKey = false;
    // The action key or button went down and up again since the last step: the step sees it
    // held once, as it would have seen a press that lasted over it.
    bool ActionTapped = false;
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    double TongueAngle = 0;
    double TongueAngleOffset = 0;
    bool AimCentred = false;
    uint8_t CaretBlink = 0;
    bool MusicRestart = false;
    // The frog's key repeat counters, counted down once a frame.
    uint8_t LeftKeyDelay = 0;
    uint8_t RightKeyDelay = 0;
    uint8_t UpKeyDelay = 0;
    uint8_t ActionKeyDelay = 0;
};

// Where a menu's one highlight stands: the pointer and the keys both move it. `Lit` says the
// keys lit it, so a screen that rebuilds itself (a help page turned) lights it again. `Shown`
// says the player has seen it somewhere (by a key or the pointer): until then the first arrow
// lights the start item instead of moving past it.
struct TMenuCursor {
    int32_t Item = 0;
    bool Lit = false;
    bool Shown = false;
};

// The first-game hints: a line under the level banner until the player has crossed a pond, and
// "hold to shoot" in the feast after that first crossing. Kept in the settings file, not in
// Config.cfg.
struct THints {
    bool FirstGame = false; // the settings say no pond was crossed yet
    bool Shoot = false;     // the first feast, until the tongue first goes out
};

// The menu screens' state.
struct TMenuState {
    bool PointerOutside = false;
    // The screen's items, and the answers of a yes/no question over it.
    TMenuCursor Cursor;
    TMenuCursor Answer;
    int32_t HelpPage = 1;
    // The place of the result just stored, lit when the table opens after the game; -1: none.
    int32_t NewEntry = -1;
    // The table's rows whose game can be watched (bit i: place i), found when the table opens.
    uint16_t ReplayRows = 0;
    bool BackPointerOutside = false;
    int32_t EntryTextWidth = 0; // drawn width of the text being typed
    int32_t SendingFrames = 0;  // frames drawn while a result is being sent
    // A controller was used where a text is entered: the screen names its buttons.
    bool PadSpelt = false;
    // The display switch (Alt+Enter) ended the typing: the next typing key takes it up again,
    // as a press on the field would, so a player without a mouse is never locked out.
    bool TypingInterrupted = false;
};

// Everything a game keeps, by owner. One instance lives in the main window and is handed by
// reference to whoever needs it (scenes, sprites, tests), so a whole game can run inside a test.
struct TGameState {
    TScene Scene = TScene::None;
    int32_t Level = 0;
    int32_t Score = 0;
    int32_t Lives = 0;
    std::string Country;
    std::string PlayerName;
    THighScoreTable HighScores{};

    TCommandFlags Flags;

    // Across both play stages.
    bool GameOverPending = false; // the last life went; the pond's frame opens the game over
    int32_t Hunger = 0;           // jumps raise it, food lowers it; the bottle shows it
    bool Starved = false;         // the bottle is past its last picture
    THints Hints;

    TShellState Shell;
    TMenuState Menus;
    TPondState Pond;     // made afresh by every pond build
    TEatingState Eating; // made afresh when the eating stage starts
};

} // namespace pondlark
