#include "screens/MenuSprites.h"

#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurface.h"
#include "engine/TSprite.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "game/PlayWorld.h"

namespace pondlark {

TPicture::TPicture(IPlayWorld& world, const std::string& image, double x, double y, int z)
    : TImageSprite(&world.Engine()) {
    SetImage(world.Image(image));
    X = x;
    Y = y;
    SetZ(z);
}

namespace {
// Positions that depend on the picture's size: centred on the display.
double CentreX(IPlayWorld& f, const char* image) {
    return (kScreenWidth - f.Image(image).Width()) / 2.0;
}
double CentreY(IPlayWorld& f, const char* image) {
    return (kScreenHeight - f.Image(image).Height()) / 2.0;
}
double FromBottom(IPlayWorld& f, const char* image) {
    return kScreenHeight - f.Image(image).Height();
}
} // namespace

// clang-format off
TStartGameLight::TStartGameLight(IPlayWorld& f) : TMenuGame(f, "Start Game_d", 328, 136, 1) {}
TOptionsLight::TOptionsLight(IPlayWorld& f) : TMenuGame(f, "Options_d", 413, 213, 1) {}
THighScoreLight::THighScoreLight(IPlayWorld& f) : TMenuGame(f, "High Score_d", 354, 288, 1) {}
THelpLight::THelpLight(IPlayWorld& f) : TMenuGame(f, "Help_d", 442, 364, 1) {}
TVisitWebSiteLight::TVisitWebSiteLight(IPlayWorld& f) : TMenuGame(f, "Visit Web Site_d", 307, 435, 1) {}
TExitLight::TExitLight(IPlayWorld& f) : TMenuGame(f, "Exit_d", 451, 503, 1) {}
THelpBackLight::THelpBackLight(IPlayWorld& f)
    : TMenuGame(f, "Help_Back_p", 341, FromBottom(f, "Help_Back_p"), 2) {}
THelpUpLight::THelpUpLight(IPlayWorld& f) : TMenuGame(f, "Help_Up", 558, FromBottom(f, "Help_Up"), 2) {}
THelpDownLight::THelpDownLight(IPlayWorld& f) : TMenuGame(f, "Help_Down", 594, 490, 2) {}
THighScoreBackLight::THighScoreBackLight(IPlayWorld& f) : TMenuGame(f, "HighScore_Back_d", 0, 411, 3) {}
THighScoreClearLight::THighScoreClearLight(IPlayWorld& f) : TMenuGame(f, "HighScore_Clear_d", 0, 190, 3) {}
THighScoreViewLight::THighScoreViewLight(IPlayWorld& f) : TMenuGame(f, "HighScore_View_d", 0, 283, 3) {}
TQuitYesLight::TQuitYesLight(IPlayWorld& f) : TMenuGame(f, "Exit_Main_Yes_d", 287, 297, 802) {}
TQuitNoLight::TQuitNoLight(IPlayWorld& f) : TMenuGame(f, "Exit_Main_No_d", 427, 296, 802) {}

TFullScreenChoice::TFullScreenChoice(IPlayWorld& f) : TMenu(f, "Options_full_screen", 458, 207, 900) {}
TWindowModeChoice::TWindowModeChoice(IPlayWorld& f) : TMenu(f, "Options_window_mode", 253, 207, 900) {}
TSoundOnChoice::TSoundOnChoice(IPlayWorld& f) : TMenu(f, "Options_sound_on", 254, 327, 900) {}
TSoundOffChoice::TSoundOffChoice(IPlayWorld& f) : TMenu(f, "Options_sound_off", 341, 327, 900) {}
TMusicOnChoice::TMusicOnChoice(IPlayWorld& f) : TMenu(f, "Options_Music_On", 256, 271, 2900) {}
TMusicOffChoice::TMusicOffChoice(IPlayWorld& f) : TMenu(f, "Options_Music_Of", 338, 270, 2900) {}
TQuitPanel::TQuitPanel(IPlayWorld& f)
    : TMenu(f, "Exit_Main", CentreX(f, "Exit_Main"), CentreY(f, "Exit_Main") - 5, 801) {}
TQuitWord::TQuitWord(IPlayWorld& f) : TMenu(f, "Exit_Main_Word", 305, 248, 802) {}
TClearPanel::TClearPanel(IPlayWorld& f)
    : TMenu(f, "Exit_Main", CentreX(f, "Exit_Main"), CentreY(f, "Exit_Main") - 5, 801) {}
TClearWord::TClearWord(IPlayWorld& f) : TMenu(f, "HighScore_Clear_Word", 239, 241, 802) {}
TNamePanel::TNamePanel(IPlayWorld& f)
    : TMenu(f, "Enter_Name", CentreX(f, "Enter_Name"), CentreY(f, "Enter_Name"), 0) {}
TSendTick::TSendTick(IPlayWorld& f) : TMenu(f, "Enter_Name_Send", 243, 362, 1) {}
// clang-format on

TScreenDim::TScreenDim(IPlayWorld& f) : TMenu(f, "Exit_Main", 0, 0, 800) {
    // The panel's picture only gives the sprite its engine; it draws no picture of its own.
    Width = kScreenWidth;
    Height = kScreenHeight;
}

void TScreenDim::Render() {
    TDirectDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
    if (!surface) return;
    uint32_t* row = surface->Lock(surface->ClientRect());
    if (!row) return;
    for (int y = 0; y < surface->Height(); ++y, row += surface->Pitch())
        for (int x = 0; x < surface->Width(); ++x) {
            // About 56 % of each channel: halved, plus a sixteenth.
            const uint32_t p = row[x];
            row[x] = ((p >> 1) & 0x7f7f7f) + ((p >> 4) & 0x0f0f0f);
        }
    surface->Unlock();
}

TCaret::TCaret(IPlayWorld& world) : TImageSprite(&world.Engine()), world_(world) {
    SetImage(world.Image("palka"));
    SetZ(800);
    Place();
}

void TCaret::Step(int ticks) {
    TImageSprite::Step(ticks);
    Place();
}

void TCaret::Place() {
    const int width = world_.State().Menus.EntryTextWidth;
    if (world_.State().Scene == TScene::Options) {
        X = 400 + width;
        Y = 440;
    } else {
        X = 400 + width / 2.0;
        Y = 343;
    }
}

TBackgroundSprite* AddMenuBackground(IPlayWorld& world, int z) {
    auto* bg = new TBackgroundSprite(&world.Engine());
    bg->Image = &world.Image("menu");
    bg->SetMapSize(1, 1);
    bg->Tiled = true;
    bg->SetZ(z);
    return bg;
}

namespace {
void AddMenuBoard(IPlayWorld& world, TMenuBoard board) {
    switch (board) {
    case TMenuBoard::Main:
        new TPicture(world, "Board_Main", 296, 122, 0);
        break;
    case TMenuBoard::Wide:
        new TPicture(world, "Board_Wide", 188, 114, 0);
        break;
    case TMenuBoard::Table:
        new TPicture(world, "Board_Table", 188, 162, 0);
        break;
    }
}

} // namespace

void AddMenuFrame(IPlayWorld& world, TMenuBoard board) {
    // Of one depth, the sprite made last is drawn first.
    const double wordY = kScreenHeight - world.Image("Tallowgate_Word").Height();
    new TPicture(world, "Tallowgate_Word", 0, wordY, 0);
    new TPicture(world, "Pondlark_Word", 0, 0, 0);
    AddMenuBoard(world, board);
    AddMenuBackground(world);
}

} // namespace pondlark
