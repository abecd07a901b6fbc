#include "engine/TSprite.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void MenuPointerMove(IMenuHost& host, int x, int y) {
    MarkAllDead<TMenuGame>(host.Engine());
    host.State().Menus.Cursor.Lit = false;
    host.State().Menus.Answer.Lit = false;
    host.State().Shell.MouseX = x;
    host.State().Shell.MouseY = y;
}

void EnterSoundRule(IMenuHost& host, bool& outside) {
    if (outside) {
        host.StopSound(TSound::ButtonUp);
        host.PlaySound(TSound::ButtonUp);
    }
    outside = false;
}

void EnterSoundRule(IMenuHost& host) {
    EnterSoundRule(host, host.State().Menus.PointerOutside);
}

void HoverMenuItem(IMenuHost& host, std::span<const TMenuItem> items, int index) {
    if (index < 0) {
        host.State().Menus.PointerOutside = true;
        return;
    }
    host.SetCursor(Cursor::Hand);
    PointAt(host.State().Menus.Cursor, index);
    items[static_cast<size_t>(index)].Light(host);
    EnterSoundRule(host);
}

bool OverBack(int x, int y) {
    return hot::kBack.Contains(x, y);
}

void ResumeTypingByKey(TGameState& s, int key) {
    const bool typingKey = IsKey(TKeyAction::Erase, key) ||
                           (key > 0 && key < 256 &&
                            kEntryAlphabet.find(static_cast<char>(key)) != std::string_view::npos);
    if (!s.Menus.TypingInterrupted || !typingKey) return;
    s.Menus.TypingInterrupted = false;
    s.Flags.GameTyping = true;
}

void EnterIntro(IMenuHost& host) {
    host.State().Shell.MusicRestart = false;
    host.PlayMusic("1");
    AddMenuBackground(host);
    host.SceneTimer().SetEnabled(true);
}

void EnterMainMenu(IMenuHost& host) {
    host.SetCursor(Cursor::Arrow);
    if (host.State().Shell.MusicRestart) host.PlayMusic("1");
    host.State().Shell.MusicRestart = false;
    host.State().Menus.HelpPage = 1;
    host.State().Menus.NewEntry = -1; // the table was seen
    ResetCursor(host.State().Menus.Cursor, 0);
    new TPicture(host, "Start Game_n", 355, 161, 0);
    new TPicture(host, "Options_n", 423, 240, 0);
    new TPicture(host, "High Score_n", 374, 312, 0);
    new TPicture(host, "Help_n", 465, 388, 0);
    new TPicture(host, "Visit Web Site_n", 326, 457, 0);
    new TPicture(host, "Exit_n", 477, 529, 0);
    AddMenuFrame(host, TMenuBoard::Main);
}

namespace {

// In key order after None.
enum class MainItem { None, Start, Options, HighScore, Help, Visit, Exit };

MainItem MainItemAt(int x, int y) {
    // The lower three rows are tried first from the Help row down, as the pointer test always
    // did.
    if (y >= hot::kHelp.Y1) {
        if (hot::kHelp.Contains(x, y)) return MainItem::Help;
        if (hot::kVisit.Contains(x, y)) return MainItem::Visit;
        if (hot::kExit.Contains(x, y)) return MainItem::Exit;
        return MainItem::None;
    }
    if (hot::kStart.Contains(x, y)) return MainItem::Start;
    if (hot::kOptions.Contains(x, y)) return MainItem::Options;
    if (hot::kHighScores.Contains(x, y)) return MainItem::HighScore;
    return MainItem::None;
}

} // namespace

namespace {

void OpenMainItem(IMenuHost& host, MainItem item) {
    switch (item) {
    case MainItem::Start:
        host.SwitchScene(TScene::Pond);
        break;
    case MainItem::Options:
        host.SwitchScene(TScene::Options);
        break;
    case MainItem::HighScore:
        host.SwitchScene(TScene::HighScores);
        break;
    case MainItem::Help:
        host.SwitchScene(TScene::Help);
        break;
    case MainItem::Visit:
        host.GoWeb(host.HomePageUrl());
        break;
    case MainItem::Exit:
        host.GameMainExitClick();
        break;
    case MainItem::None:
        return;
    }
    host.PlaySound(TSound::ButtonDown);
}

template <MainItem Item> constexpr TMenuItem MainMenuItem(void (*light)(IMenuHost&)) {
    return {.Light = light, .Act = [](IMenuHost& host) { OpenMainItem(host, Item); }};
}

constexpr TMenuItem kMainItems[] = {
    MainMenuItem<MainItem::Start>(LightSprite<TStartGameLight>),
    MainMenuItem<MainItem::Options>(LightSprite<TOptionsLight>),
    MainMenuItem<MainItem::HighScore>(LightSprite<THighScoreLight>),
    MainMenuItem<MainItem::Help>(LightSprite<THelpLight>),
    MainMenuItem<MainItem::Visit>(LightSprite<TVisitWebSiteLight>),
    MainMenuItem<MainItem::Exit>(LightSprite<TExitLight>),
};

} // namespace

void MainMenuHover(IMenuHost& host) {
    host.SetCursor(Cursor::Arrow);
    if (host.State().Flags.GameMainExit) {
        ExitQuestionHover(host);
        return;
    }
    const MainItem item = MainItemAt(host.State().Shell.MouseX, host.State().Shell.MouseY);
    HoverMenuItem(host, kMainItems, static_cast<int>(item) - 1);
}

void MainMenuPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (host.State().Flags.GameMainExit) {
        ExitQuestionPress(host, button);
        return;
    }
    OpenMainItem(host, MainItemAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

void MainMenuKey(IMenuHost& host, int key) {
    if (host.State().Flags.GameMainExit && !IsKey(TKeyAction::Back, key)) {
        ExitQuestionKey(host, key);
        return;
    }
    if (IsKey(TKeyAction::Back, key)) {
        host.GameMainExitClick();
        return;
    }
    MenuKey(host, host.State().Menus.Cursor, {kMainItems}, key);
}

} // namespace pondlark
