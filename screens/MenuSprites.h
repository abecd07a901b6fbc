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
PONDLARK_MENU_SPRITE(TStartGameLight, TMenuGame);
PONDLARK_MENU_SPRITE(TOptionsLight, TMenuGame);
PONDLARK_MENU_SPRITE(THighScoreLight, TMenuGame);
PONDLARK_MENU_SPRITE(THelpLight, TMenuGame);
PONDLARK_MENU_SPRITE(TVisitWebSiteLight, TMenuGame);
PONDLARK_MENU_SPRITE(TExitLight, TMenuGame);
PONDLARK_MENU_SPRITE(THelpBackLight, TMenuGame);
PONDLARK_MENU_SPRITE(THelpUpLight, TMenuGame);
PONDLARK_MENU_SPRITE(THelpDownLight, TMenuGame);
PONDLARK_MENU_SPRITE(THighScoreBackLight, TMenuGame);
PONDLARK_MENU_SPRITE(THighScoreClearLight, TMenuGame);
PONDLARK_MENU_SPRITE(THighScoreViewLight, TMenuGame);
PONDLARK_MENU_SPRITE(TQuitYesLight, TMenuGame);
PONDLARK_MENU_SPRITE(TQuitNoLight, TMenuGame);

// Pictures that stay.
PONDLARK_MENU_SPRITE(TFullScreenChoice, TMenu);
PONDLARK_MENU_SPRITE(TWindowModeChoice, TMenu);
PONDLARK_MENU_SPRITE(TSoundOnChoice, TMenu);
PONDLARK_MENU_SPRITE(TSoundOffChoice, TMenu);
PONDLARK_MENU_SPRITE(TMusicOnChoice, TMenu);
PONDLARK_MENU_SPRITE(TMusicOffChoice, TMenu);
PONDLARK_MENU_SPRITE(TQuitPanel, TMenu);
PONDLARK_MENU_SPRITE(TQuitWord, TMenu);
PONDLARK_MENU_SPRITE(TClearPanel, TMenu);
PONDLARK_MENU_SPRITE(TClearWord, TMenu);
PONDLARK_MENU_SPRITE(TNamePanel, TMenu);
PONDLARK_MENU_SPRITE(TSendTick, TMenu);

// The game-over words.
PONDLARK_MENU_SPRITE(TGameWord, TPicture);
PONDLARK_MENU_SPRITE(TOverWord, TPicture);

#undef PONDLARK_MENU_SPRITE

// The blinking text caret. It follows the end of the text being typed on the live screen every
// frame, so carets made while the text grows all stand at the same place.
class TCaret : public TImageSprite {
public:
    explicit TCaret(IPlayWorld& world);
    void Step(int ticks) override;

private:
    void Place();
    IPlayWorld& world_;
};

// Darkens everything drawn under it, the whole screen: a question asked over a screen stands out
// from it. A `TMenu`, so it goes with the question's panel.
class TScreenDim : public TMenu {
public:
    explicit TScreenDim(IPlayWorld& world);
    void Render() override;
};

// The menu background "menu" (tiled over the surface) at depth `z`. It is the pond at dusk
// alone: each screen lays its own calm board over it.
TBackgroundSprite* AddMenuBackground(IPlayWorld& world, int z = 0);
// The calm boards behind a screen's items and texts: centred on the main menu's items; wide
// for the help pages and the options; for the high-score table from its header down.
enum class TMenuBoard { Main, Wide, Table };
// The two word pictures and the background every menu screen shows, and the screen's board
// between them (over the background, under the words).
void AddMenuFrame(IPlayWorld& world, TMenuBoard board);

} // namespace pondlark
