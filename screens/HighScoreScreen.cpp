#include "app/TMainForm.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <string>

namespace pondlark {

void EnterHighScores(TMainForm& form) {
    if (form.State.MusicRestart) {
        form.PlayMusic("1");
        form.State.MusicRestart = false;
    }
    new TPicture(form, "HighScore_Place", 215, 183, 1);
    new TPicture(form, "HighScore_Name", 420, 184, 1);
    new TPicture(form, "HighScore_Score", 630, 183, 1);
    const int placeY[10] = {221, 257, 294, 331, 368, 405, 443, 478, 516, 553};
    for (int i = 0; i < 10; ++i) {
        const std::string name = "HighScore_" + std::to_string(i + 1);
        new TPicture(form, name, 275 - form.Image(name).Width() / 2.0, placeY[i], 2);
    }
    new TPicture(form, "HighScore_Word", 343, 26, 2);
    new TPicture(form, "HighScore_Clear_n", 0, 197, 2);
    new TPicture(form, "HighScore_View_n", 0, 304, 2);
    new TPicture(form, "HighScore_Back_n", 0, 437, 2);
    for (int i = 0; i < 10; ++i)
        new TPicture(form, "HighScore_Table_row", 205, 180 + 37 * i, 1);
    AddMenuFrame(form);
}

void DrawHighScores(TMainForm& form) {
    form.DrawPattern(true);
    // The clear question hides the table's text.
    if (form.State.Flags.GameClearHighScore) return;
    auto& c = form.TextCanvas(16);
    for (int i = 0; i < 10; ++i) {
        const THighScore& e = form.State.HighScores[static_cast<size_t>(i)];
        c.TextOut(370, 217 + 37 * i, e.Name);
        c.TextOut(620, 217 + 37 * i, std::to_string(e.Score));
    }
    c.Release();
}

namespace {
enum class ScoreItem { None, Clear, View, Back };
ScoreItem ScoreItemAt(int x, int y) {
    if (Inside(x, y, 10, 185, 215, 260)) return ScoreItem::Clear;
    if (Inside(x, y, 15, 190, 314, 382)) return ScoreItem::View;
    if (Inside(x, y, 42, 158, 446, 472)) return ScoreItem::Back;
    return ScoreItem::None;
}
} // namespace

void HighScoresHover(TMainForm& form) {
    form.Platform().SetCursor(Cursor::Arrow);
    if (form.State.Flags.GameClearHighScore) {
        ClearQuestionHover(form);
        return;
    }
    const ScoreItem item = ScoreItemAt(form.State.MouseX, form.State.MouseY);
    if (item == ScoreItem::None) {
        form.State.PointerOutside = true;
        return;
    }
    form.Platform().SetCursor(Cursor::Hand);
    if (item == ScoreItem::Clear) new HighScore_Clear(form);
    if (item == ScoreItem::View) new HighScore_View(form);
    if (item == ScoreItem::Back) new HighScore_Back(form);
    EnterSoundRule(form);
}

void HighScoresPress(TMainForm& form, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (form.State.Flags.GameClearHighScore) {
        ClearQuestionPress(form, button);
        return;
    }
    switch (ScoreItemAt(form.State.MouseX, form.State.MouseY)) {
    case ScoreItem::Clear:
        form.GameClearHighScoreClick();
        break;
    case ScoreItem::View:
        form.GoWeb(form.OnlineHighScoresUrl());
        break;
    case ScoreItem::Back:
        form.SwitchScene(2);
        break;
    case ScoreItem::None:
        return;
    }
    form.PlaySound("button_down");
}

void HighScoresKey(TMainForm& form, int key) {
    if (key != vk::Escape) return;
    if (form.State.Flags.GameClearHighScore) {
        form.SwitchScene(7);
        form.GameClearHighScoreClick();
    } else {
        form.SwitchScene(2);
    }
}

} // namespace pondlark
