// The scenes of the game. The numbers are stored nowhere but are what the tools print and the
// tests and scripts have always known, so they stay fixed; 8 is unused.
#pragma once

#include <cstdint>

namespace pondlark {

enum class TScene : uint8_t {
    None = 0, // before start-up has entered the first scene
    Intro = 1,
    MainMenu = 2,
    Pond = 3,
    Eating = 4,
    Help = 5,
    Options = 6,
    HighScores = 7,
    GameOver = 9,
};

} // namespace pondlark
