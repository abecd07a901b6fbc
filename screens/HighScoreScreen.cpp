#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <string>

namespace pondlark {

namespace {
// Clear, View online, Back in key order.
constexpr int kBackItem = 2;
// The table's text: under the middles of the header words, in the middle of each 37-pixel band.
constexpr int kRowTextSize = 17;
constexpr int kNameCentreX = 474;
constexpr int kScoreCentreX = 684;
constexpr int kFirstRowTextY = 222;
} // namespace

void EnterHighScores(IMenuHost& host) {
    if (host.State().Shell.MusicRestart) {
        host.PlayMusic("1");
        host.State().Shell.MusicRestart = false;
    }
    ResetCursor(host.State().Menus.Cursor, kBackItem); // Enter unlit never asks to clear
    new TPicture(host, "HighScore_Place", 215, 183, 1);
    new TPicture(host, "HighScore_Name", 420, 184, 1);
    new TPicture(host, "HighScore_Score", 630, 183, 1);
    const int placeY[10] = {221, 257, 294, 331, 368, 405, 443, 478, 516, 553};
    for (int i = 0; i < 10; ++i) {
        const std::string name = "HighScore_" + std::to_string(i + 1);
        new TPicture(host, name, 275 - host.Image(name).Width() / 2.0, placeY[i], 2);
    }
    new TPicture(host, "HighScore_Word", 343, 26, 2);
    new TPicture(host, "HighScore_Clear_n", 0, 197, 2);
    new TPicture(host, "HighScore_View_n", 0, 304, 2);
    new TPicture(host, "HighScore_Back_n", 0, 437, 2);
    for (int i = 0; i < 10; ++i)
        new TPicture(host, "HighScore_Table_row", 205, 180 + 37 * i, 1);
    // The result just stored stands out: a glowing band in its row.
    if (const int lit = host.State().Menus.NewEntry; lit >= 0 && lit < 10)
        new TPicture(host, "HighScore_Lit", 235, 219 + 37 * lit, 1);
    AddMenuFrame(host, TMenuBoard::Table);
}

void DrawHighScores(IMenuHost& host) {
    host.DrawPattern(true);
    // The clear question hides the table's text.
    if (host.State().Flags.GameClearHighScore) return;
    // In the face of the place numbers, centred under the headers "Name" and "Score", each in
    // the middle of its band; the result just stored in white.
    auto& c = host.TextCanvas(kRowTextSize);
    c.Font.Outlined = true;
    for (int i = 0; i < 10; ++i) {
        const THighScore& e = host.State().HighScores[static_cast<size_t>(i)];
        c.Font.Color =
            i == host.State().Menus.NewEntry ? RGBColor(255, 255, 255) : RGBColor(255, 255, 0);
        const std::string score = std::to_string(e.Score);
        const int y = kFirstRowTextY + 37 * i;
        c.TextOut(kNameCentreX - c.TextWidth(e.Name) / 2, y, e.Name);
        c.TextOut(kScoreCentreX - c.TextWidth(score) / 2, y, score);
    }
    c.Release();
}

namespace {
enum class ScoreItem { None, Clear, View, Back };
ScoreItem ScoreItemAt(int x, int y) {
    if (hot::kClearTable.Contains(x, y)) return ScoreItem::Clear;
    if (hot::kViewOnline.Contains(x, y)) return ScoreItem::View;
    if (hot::kTableBack.Contains(x, y)) return ScoreItem::Back;
    return ScoreItem::None;
}

void OpenScoreItem(IMenuHost& host, ScoreItem item) {
    switch (item) {
    case ScoreItem::Clear:
        host.GameClearHighScoreClick();
        break;
    case ScoreItem::View:
        host.GoWeb(host.OnlineHighScoresUrl());
        break;
    case ScoreItem::Back:
        host.SwitchScene(TScene::MainMenu);
        break;
    case ScoreItem::None:
        return;
    }
    host.PlaySound(TSound::ButtonDown);
}

template <ScoreItem Item> constexpr TMenuItem ScoreMenuItem(void (*light)(IMenuHost&)) {
    return {.Light = light, .Act = [](IMenuHost& host) { OpenScoreItem(host, Item); }};
}

// In key order, as they stand from the top.
constexpr TMenuItem kScoreItems[] = {
    ScoreMenuItem<ScoreItem::Clear>(LightSprite<THighScoreClearLight>),
    ScoreMenuItem<ScoreItem::View>(LightSprite<THighScoreViewLight>),
    ScoreMenuItem<ScoreItem::Back>(LightSprite<THighScoreBackLight>),
};

} // namespace

void HighScoresHover(IMenuHost& host) {
    host.SetCursor(Cursor::Arrow);
    if (host.State().Flags.GameClearHighScore) {
        ClearQuestionHover(host);
        return;
    }
    const ScoreItem item = ScoreItemAt(host.State().Shell.MouseX, host.State().Shell.MouseY);
    HoverMenuItem(host, kScoreItems, static_cast<int>(item) - 1);
}

void HighScoresPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (host.State().Flags.GameClearHighScore) {
        ClearQuestionPress(host, button);
        return;
    }
    OpenScoreItem(host, ScoreItemAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

void HighScoresKey(IMenuHost& host, int key) {
    if (!IsKey(TKeyAction::Back, key)) {
        if (host.State().Flags.GameClearHighScore)
            ClearQuestionKey(host, key);
        else
            MenuKey(host, host.State().Menus.Cursor, {kScoreItems}, key);
        return;
    }
    if (host.State().Flags.GameClearHighScore) {
        host.SwitchScene(TScene::HighScores);
        host.GameClearHighScoreClick();
    } else {
        host.SwitchScene(TScene::MainMenu);
    }
}

} // namespace pondlark
