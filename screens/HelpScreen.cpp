#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

namespace {

// clang-format off
const THelpLine kPage1[] = {
    {16, 260, 180, "GAME OVERVIEW AND OBJECTIVES"},
    {9, 260, 240, "Take the first steps with a cute young frog Max in"},
    {9, 260, 260, "the world full of adventure and danger."},
    {9, 260, 290, "Jump from one water lily to another and expand the"},
    {9, 260, 310, "horizons and get food."},
    {9, 260, 340, "Max is growing up, demanding that the meal should be"},
    {9, 260, 360, "more substantial. Be aware: Don't become someone's"},
    {9, 260, 380, "meal when searching for food."},
    {9, 260, 410, "Even a sophisticated user won't be indifferent to"},
    {9, 260, 430, "this marvelously animated cartoon world. Cheerful"},
    {9, 260, 450, "mood and enjoyment are guaranteed."},
};
const THelpLine kPage2[] = {
    {16, 260, 180, "CONTROLS"},
    {12, 260, 220, "MENU NAVIGATIONS"},
    {8, 260, 250, "Use the cursor keys or mouse to move the menu cursor up"},
    {8, 260, 270, "and down. Press the \"Enter\" key or any mouse button to"},
    {8, 260, 290, "enter menu options."},
    {8, 260, 310, "Press the \"Left Arrow\", \"Right Arrow\" keys or any mouse"},
    {8, 260, 330, "button to change a menu option."},
    {8, 260, 350, "Press \"Esc\" to go back from the submenu to Main Menu."},
    {12, 260, 370, "GAME NAVIGATIONS"},
    {8, 260, 400, "Use the keys \"Up Arrow\", \"Left Arrow\" and \"Right Arrow\""},
    {8, 260, 420, "to move a frog. Use mouse to catch the food"},
    {8, 260, 440, "Use the keys \"P\" to pause or resume the game."},
    {8, 260, 460, "Use \"Escape\" key to quit the game to Main Menu."},
    {8, 260, 480, "Use \"Alt\"+\"Enter\" keys to change window/full screen mode."},
    {8, 260, 500, "High Scores: \"Right Arrow\", \"Enter\" replay a marked game."},
};
const THelpLine kPage3[] = {
    {16, 260, 180, "Enemies"},
    {8, 400, 280, "water lily"},
    {8, 400, 355, "water lily"},
    {8, 400, 375, "that eats frogs"},
    {8, 400, 440, "a springy"},
    {8, 400, 460, "water lily"},
    {8, 680, 280, "a sticking"},
    {8, 680, 300, "water lily"},
    {8, 680, 355, "a crocodile"},
    {8, 680, 375, "water lily"},
    {8, 680, 440, "a stork"},
};
const THelpLine kPage4[] = {
    {16, 260, 180, "Food"},
    {8, 400, 280, "midge"},
    {8, 400, 300, "+5 score"},
    {8, 400, 365, "fly"},
    {8, 400, 385, "+10 score"},
    {8, 400, 450, "mosquito"},
    {8, 400, 470, "+15 score"},
    {8, 680, 280, "pond skater"},
    {8, 680, 300, "+20 score"},
    {8, 680, 365, "bee"},
    {8, 680, 385, "+25 score"},
};
// clang-format on

void DrawLines(TDirectDrawSurfaceCanvas& c, std::span<const THelpLine> lines) {
    for (const THelpLine& l : lines) {
        c.Font.Size = l.size;
        c.TextOut(l.x, l.y, l.text);
    }
}

// A picture drawn at full size over a sprite box of another size (centred in it).
void AddScaledBox(IMenuHost& host, const char* image, double x, double y, int divisor) {
    auto* s = new TPicture(host, image, x, y, 1);
    s->Width /= divisor;
    s->Height /= divisor;
}

} // namespace

std::span<const THelpLine> HelpLines(int page) {
    switch (page) {
    case 1:
        return kPage1;
    case 2:
        return kPage2;
    case 3:
        return kPage3;
    case 4:
        return kPage4;
    default:
        return {};
    }
}

std::string AboutVersionLine() {
    // The build's version as major.minor, the way the page has always shown it.
    const std::string_view version = PONDLARK_VERSION;
    const size_t minorEnd = version.find('.', version.find('.') + 1);
    return "PONDLARK, v." + std::string(version.substr(0, minorEnd));
}

void EnterHelp(IMenuHost& host) {
    ResetCursor(host.State().Menus.Cursor, 0); // Back, the one item
    switch (host.State().Menus.HelpPage) {
    case 3:
        new TPicture(host, "kuvshinka_simple_1", 300, 250, 1);
        new TPicture(host, "kuvshinka_hunter", 300, 340, 1);
        new TPicture(host, "kuvshinka_pruginka", 300, 380, 1);
        new TPicture(host, "kuvshinka_liapuchka", 550, 230, 1);
        AddScaledBox(host, "kroko", 520, 260, 2);
        // The stork's head and beak beside "a stork": the striking picture's 540 px of neck
        // would run through the page and over Back.
        new TPicture(host, "Help_stork", 614, 400, 1);
        break;
    case 4:
        new TPicture(host, "mushka", 320, 285, 1);
        new TPicture(host, "muha", 308, 350, 1);
        new TPicture(host, "komar", 290, 430, 1);
        new TPicture(host, "vodomerka", 535, 270, 1);
        new TPicture(host, "pchel", 560, 345, 1);
        break;
    case 5:
        new TPicture(host, "logo", 280, 270, 0);
        break;
    default:
        break;
    }
    new TPicture(host, "Help_word", 371, 0, 1);
    new TPicture(host, "Help_arrows", 554, kScreenHeight - host.Image("Help_arrows").Height(), 1);
    new TPicture(host, "Help_back_n", 347, 521, 1);
    AddMenuFrame(host, TMenuBoard::Wide);
}

void DrawHelp(IMenuHost& host) {
    host.DrawPattern(true);
    // Every page sets the size of each of its lines.
    auto& c = host.TextCanvas(16);
    const int32_t page = host.State().Menus.HelpPage;
    DrawLines(c, HelpLines(page));
    if (page == 5) {
        c.Font.Size = 16;
        c.TextOut(260, 180, "ABOUT");
        c.Font.Size = 14;
        c.TextOut(375, 260, AboutVersionLine());
        c.Font.Size = 12;
        c.TextOut(375, 290, "(c) Tallowgate Games");
        c.TextOut(375, 310, host.HomePageUrl());
    }
    c.Release();
}

namespace {
bool OverNext(int x, int y) {
    return hot::kHelpNext.Contains(x, y);
}
bool OverPrevious(int x, int y) {
    return hot::kHelpPrevious.Contains(x, y);
}

// One page on (1) or back (-1) within the five; false at either end.
bool TurnPage(IMenuHost& host, int step) {
    int32_t& page = host.State().Menus.HelpPage;
    if ((step > 0 && page > 4) || (step < 0 && page < 2)) return false;
    page += step;
    host.SwitchScene(TScene::Help);
    host.PlaySound(TSound::ButtonDown);
    return true;
}

void LightPageArrow(IMenuHost& host, int step) {
    if (step > 0)
        new THelpDownLight(host);
    else
        new THelpUpLight(host);
}

// A turn by the keys shows the arrow that acted.
template <int Step> void TurnPageByKey(IMenuHost& host) {
    if (TurnPage(host, Step)) LightPageArrow(host, Step);
}

// Back is the one item; Left and Right on it turn the pages.
constexpr TMenuItem kHelpItems[] = {
    {.Light = LightSprite<THelpBackLight>,
     .Act =
         [](IMenuHost& host) {
             host.SwitchScene(TScene::MainMenu);
             host.PlaySound(TSound::ButtonDown);
         },
     .Left = TurnPageByKey<-1>,
     .Right = TurnPageByKey<1>},
};
} // namespace

void HelpHover(IMenuHost& host) {
    TGameState& s = host.State();
    host.SetCursor(Cursor::Arrow);
    if (OverBack(s.Shell.MouseX, s.Shell.MouseY)) {
        host.SetCursor(Cursor::Hand);
        new THelpBackLight(host);
        EnterSoundRule(host, s.Menus.BackPointerOutside);
    } else {
        s.Menus.BackPointerOutside = true;
    }
    const bool next = OverNext(s.Shell.MouseX, s.Shell.MouseY);
    if (next || OverPrevious(s.Shell.MouseX, s.Shell.MouseY)) {
        host.SetCursor(Cursor::Hand);
        if (next)
            new THelpDownLight(host);
        else
            new THelpUpLight(host);
        EnterSoundRule(host);
    } else {
        s.Menus.PointerOutside = true;
    }
}

void HelpPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    TGameState& s = host.State();
    if (OverBack(s.Shell.MouseX, s.Shell.MouseY)) {
        host.SwitchScene(TScene::MainMenu);
        host.PlaySound(TSound::ButtonDown);
        return;
    }
    if (OverNext(s.Shell.MouseX, s.Shell.MouseY))
        TurnPage(host, 1);
    else if (OverPrevious(s.Shell.MouseX, s.Shell.MouseY))
        TurnPage(host, -1);
}

void HelpKey(IMenuHost& host, int key) {
    if (IsKey(TKeyAction::Back, key)) {
        host.SwitchScene(TScene::MainMenu);
        return;
    }
    if (IsKey(TKeyAction::PageDown, key) || IsKey(TKeyAction::PageUp, key)) {
        (IsKey(TKeyAction::PageDown, key) ? TurnPageByKey<1> : TurnPageByKey<-1>)(host);
        return;
    }
    MenuKey(host, host.State().Menus.Cursor, {kHelpItems}, key);
}

} // namespace pondlark
