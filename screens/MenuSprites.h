// The sprites of the menu screens.
//
// Two marker classes let a screen find and remove all sprites of one kind: `TMenuGame` are the
// highlights under the pointer (every pointer move removes them), `TMenu` the pictures that stay
// until their owner removes them (option states, question panels, the name panel). Each concrete
// class only places its fixed picture. Sprites are owned by the world's engine root; make them
// with `new` and let the engine free them.
#pragma once

#include "engine/TSprite.h"
#include "game/PlayWorld.h"

#include <string>

namespace pondlark {

// A picture sprite on the engine root, sized to the image's frame.
class TPicture : public TImageSprite {
public:
    TPicture(IPlayWorld& world, const std::string& image, double x, double y, int z);
};

class TMenuGame : public TPicture {
public:
    using TPicture::TPicture;
};

class TMenu : public TPicture {
public:
    using TPicture::TPicture;
};

#define PONDLARK_MENU_SPRITE(Name, Base)                                                           \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        explicit Name(IPlayWorld& world);                                                          \
    }

// Highlights.
PONDLARK_MENU_SPRITE(Start_Game, TMenuGame);
PONDLARK_MENU_SPRITE(Options, TMenuGame);
PONDLARK_MENU_SPRITE(High_Score, TMenuGame);
PONDLARK_MENU_SPRITE(Help, TMenuGame);
PONDLARK_MENU_SPRITE(Visit_Web_Site, TMenuGame);
PONDLARK_MENU_SPRITE(Exit_, TMenuGame);
PONDLARK_MENU_SPRITE(HelpGame_Back, TMenuGame);
PONDLARK_MENU_SPRITE(HelpGame_Up, TMenuGame);
PONDLARK_MENU_SPRITE(HelpGame_Down, TMenuGame);
PONDLARK_MENU_SPRITE(HighScore_Back, TMenuGame);
PONDLARK_MENU_SPRITE(HighScore_Clear, TMenuGame);
PONDLARK_MENU_SPRITE(HighScore_View, TMenuGame);
PONDLARK_MENU_SPRITE(TMainExit_Yes, TMenuGame);
PONDLARK_MENU_SPRITE(TMainExit_No, TMenuGame);

// Pictures that stay.
PONDLARK_MENU_SPRITE(Options_full_screen, TMenu);
PONDLARK_MENU_SPRITE(Options_window_mode, TMenu);
PONDLARK_MENU_SPRITE(Options_sound_on, TMenu);
PONDLARK_MENU_SPRITE(Options_sound_off, TMenu);
PONDLARK_MENU_SPRITE(Options_music_on, TMenu);
PONDLARK_MENU_SPRITE(Options_music_off, TMenu);
PONDLARK_MENU_SPRITE(TMainExit, TMenu);
PONDLARK_MENU_SPRITE(TMainExit_Word, TMenu);
PONDLARK_MENU_SPRITE(TClearHighScore, TMenu);
PONDLARK_MENU_SPRITE(TClearHighScore_Word, TMenu);
PONDLARK_MENU_SPRITE(TEnter_Name, TMenu);
PONDLARK_MENU_SPRITE(TEnter_Name_Send, TMenu);

// The game-over words.
PONDLARK_MENU_SPRITE(TGame_Word, TPicture);
PONDLARK_MENU_SPRITE(TOver_Word, TPicture);

#undef PONDLARK_MENU_SPRITE

// The blinking text caret. It follows the end of the text being typed on the live screen every
// frame, so carets made while the text grows all stand at the same place.
class Palka : public TImageSprite {
public:
    explicit Palka(IPlayWorld& world);
    void Step(int ticks) override;

private:
    void Place();
    IPlayWorld& world_;
};

// The menu background "menu" (tiled over the surface) at depth `z`.
TBackgroundSprite* AddMenuBackground(IPlayWorld& world, int z = 0);
// The two word pictures and the background every menu screen shows.
void AddMenuFrame(IPlayWorld& world);

} // namespace pondlark
