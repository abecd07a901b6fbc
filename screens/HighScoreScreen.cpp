#include "engine/TDXImageList.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <iterator>
#include <span>
#include <string>

namespace pondlark {

namespace {
// Clear, View online, Back in key order; the cursor's items from kFirstRowItem on are the
// table's rows, reached with Right from the buttons.
constexpr int kBackItem = 2;
constexpr int kFirstRowItem = 3;
constexpr int kRows = 10;
// The mark of a row whose game can be watched, at the row's right end.
constexpr int kMarkX = 746;
constexpr int kMarkTopInRow = 225;
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
    uint16_t& rows = host.State().Menus.ReplayRows;
    rows = 0;
    for (int i = 0; i < kRows; ++i) {
        if (!host.HasReplay(i)) continue;
        rows = static_cast<uint16_t>(rows | 1u << i);
        new TPicture(host, "HighScore_Replay", kMarkX, kMarkTopInRow + 37 * i, 2);
    }
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
bool Watchable(IMenuHost& host, int row) {
    return row >= 0 && row < kRows && (host.State().Menus.ReplayRows >> row & 1u) != 0;
}

// The watchable row under the pointer, or -1.
int RowAt(IMenuHost& host, int x, int y) {
    for (int i = 0; i < kRows; ++i)
        if (hot::TableRow(i).Contains(x, y)) return Watchable(host, i) ? i : -1;
    return -1;
}

class THighScoreRowLight : public TMenuGame {
public:
    THighScoreRowLight(IMenuHost& host, int row)
        : TMenuGame(host, "HighScore_Pick", 231, 216 + 37 * row, 3) {}
};

// The row the cursor stands on, lit.
void LightRow(IMenuHost& host) {
    new THighScoreRowLight(host, host.State().Menus.Cursor.Item - kFirstRowItem);
}

void WatchRow(IMenuHost& host) {
    const int row = host.State().Menus.Cursor.Item - kFirstRowItem;
    if (!Watchable(host, row)) return;
    host.PlaySound(TSound::ButtonDown);
    host.WatchReplay(row);
}

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

constexpr TMenuItem kRowItem{.Light = LightRow, .Act = WatchRow};

// In key order, as they stand from the top, then the table's rows.
constexpr TMenuItem kTableItems[] = {
    ScoreMenuItem<ScoreItem::Clear>(LightSprite<THighScoreClearLight>),
    ScoreMenuItem<ScoreItem::View>(LightSprite<THighScoreViewLight>),
    ScoreMenuItem<ScoreItem::Back>(LightSprite<THighScoreBackLight>),
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
    kRowItem,
};
static_assert(std::size(kTableItems) == kFirstRowItem + kRows);
// Up and Down go round the buttons alone.
constexpr std::span<const TMenuItem> kScoreItems{kTableItems, kFirstRowItem};

// The next watchable row from `row` in `step`'s direction, round the table; -1 when none is.
int NextWatchable(IMenuHost& host, int row, int step) {
    for (int i = 1; i <= kRows; ++i) {
        const int next = ((row + step * i) % kRows + kRows) % kRows;
        if (Watchable(host, next)) return next;
    }
    return -1;
}

void LightTableItem(IMenuHost& host, int item) {
    TMenuCursor& cursor = host.State().Menus.Cursor;
    cursor.Item = item;
    LightCursor(host, cursor, {kTableItems});
}

// The keys of the table's rows: Right from the buttons goes to the first watchable row (the
// result just stored when it is one), Up and Down step through the watchable rows, Left goes
// back to the buttons' Back, Enter watches. False for a key the rows leave to the buttons.
bool RowKey(IMenuHost& host, int key) {
    const TMenuState& m = host.State().Menus;
    const bool onRow = m.Cursor.Item >= kFirstRowItem && m.Cursor.Shown;
    if (!onRow) {
        if (!IsKey(TKeyAction::MenuRight, key)) return false;
        const int first =
            Watchable(host, m.NewEntry) ? m.NewEntry : NextWatchable(host, kRows - 1, 1);
        if (first >= 0) LightTableItem(host, kFirstRowItem + first);
        return true;
    }
    const int row = m.Cursor.Item - kFirstRowItem;
    if (IsKey(TKeyAction::MenuUp, key) || IsKey(TKeyAction::MenuDown, key)) {
        const int next = NextWatchable(host, row, IsKey(TKeyAction::MenuUp, key) ? -1 : 1);
        if (next >= 0) LightTableItem(host, kFirstRowItem + next);
        return true;
    }
    if (IsKey(TKeyAction::MenuLeft, key)) {
        LightTableItem(host, kBackItem);
        return true;
    }
    if (IsKey(TKeyAction::Choose, key)) {
        WatchRow(host);
        return true;
    }
    return IsKey(TKeyAction::MenuRight, key);
}

} // namespace

void HighScoresHover(IMenuHost& host) {
    host.SetCursor(Cursor::Arrow);
    if (host.State().Flags.GameClearHighScore) {
        ClearQuestionHover(host);
        return;
    }
    const int x = host.State().Shell.MouseX, y = host.State().Shell.MouseY;
    const int row = RowAt(host, x, y);
    HoverMenuItem(host, kTableItems,
                  row >= 0 ? kFirstRowItem + row : static_cast<int>(ScoreItemAt(x, y)) - 1);
}

void HighScoresPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (host.State().Flags.GameClearHighScore) {
        ClearQuestionPress(host, button);
        return;
    }
    const int x = host.State().Shell.MouseX, y = host.State().Shell.MouseY;
    if (const int row = RowAt(host, x, y); row >= 0) {
        host.State().Menus.Cursor.Item = kFirstRowItem + row;
        WatchRow(host);
        return;
    }
    OpenScoreItem(host, ScoreItemAt(x, y));
}

void HighScoresKey(IMenuHost& host, int key) {
    if (!IsKey(TKeyAction::Back, key)) {
        if (host.State().Flags.GameClearHighScore)
            ClearQuestionKey(host, key);
        else if (!RowKey(host, key))
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
