// The game-wide state: the main window's fields and the variables every part of the game
// shares. One instance lives in the main window and is handed by reference to whoever needs it
// (scenes, sprites, tests), so a whole game can run inside a test.
#pragma once

#include "game/EatingState.h"
#include "game/PondState.h"
#include "game/Scene.h"
#include "persist/HighScores.h"

#include <array>
#include <cstdint>
#include <string>

namespace pondlark {

// The nine command flags, kept as the checked states of never-shown menu items.
struct TCommandFlags {
    bool GameFullScreen = false;
    bool GameSound = true;
    bool GameMusic = true;
    bool GameMainExit = false;
    bool GameEnterName = false;
    bool GameSendResult = false;
    bool GamegoEdit = false;
    bool GameClearHighScore = false;
    bool GameExit = false;
};

struct TGameState {
    // Main window fields.
    TScene Scene = TScene::None;
    int32_t Level = 0;
    int32_t Score = 0;
    int32_t Lives = 0;
    std::string Country;
    std::string PlayerName;

    TCommandFlags Flags;

    // Shell.
    bool Paused = false;
    bool AppInactive = false;
    bool ResizePending = false;
    bool ActionKey = false;
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    double TongueAngle = 0;
    double TongueAngleOffset = 0;
    bool AimCentred = false;
    uint8_t CaretBlink = 0;
    bool MusicRestart = false;
    bool PointerOutside = false;
    int32_t HelpPage = 1;
    bool BackPointerOutside = false;
    int32_t EntryTextWidth = 0; // drawn width of the text being typed

    // Play stages.
    bool LevelBanner = false;
    bool GameOverPending = false;
    bool PondRunning = true;
    bool FrogLost = false;
    bool Starved = false;
    bool FrogDead = false;
    int32_t TimeLeft = 0;
    bool StorkAllowed = false;
    bool LegsSpawned = false;
    bool LegsLanded = false;
    bool StorkLeaving = false;
    int32_t Hunger = 0;       // jumps raise it, food lowers it; the bottle shows it
    int32_t TongueLength = 0; // the eating frog's tongue, in pixels
    TPondState Pond;
    TEatingState Eating;

    // The frog's key repeat counters, counted down once a frame.
    uint8_t LeftKeyDelay = 0;
    uint8_t RightKeyDelay = 0;
    uint8_t UpKeyDelay = 0;
    uint8_t ActionKeyDelay = 0;

    THighScoreTable HighScores{};
};

} // namespace pondlark
