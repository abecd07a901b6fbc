#include "persist/HighScores.h"
#include "screens/HotRects.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void ShowExitQuestion(IMenuHost& host) {
    new TMainExit(host);
    new TMainExit_Word(host);
}

void HideExitQuestion(IMenuHost& host) {
    MarkAllDead<TMenu>(host.Engine());
    MarkAllDead<TMenuGame>(host.Engine());
}

namespace {

enum class Answer { None, Yes, No };

Answer ExitAnswerAt(int x, int y) {
    if (hot::kExitYes.Contains(x, y)) return Answer::Yes;
    if (hot::kExitNo.Contains(x, y)) return Answer::No;
    return Answer::None;
}

Answer ClearAnswerAt(int x, int y) {
    if (hot::kClearYes.Contains(x, y)) return Answer::Yes;
    if (hot::kClearNo.Contains(x, y)) return Answer::No;
    return Answer::None;
}

void AnswerHover(IMenuHost& host, Answer answer) {
    if (answer == Answer::None) {
        host.State().Menus.PointerOutside = true;
        return;
    }
    host.SetCursor(Cursor::Hand);
    if (answer == Answer::Yes)
        new TMainExit_Yes(host);
    else
        new TMainExit_No(host);
    EnterSoundRule(host);
}

} // namespace

void ExitQuestionHover(IMenuHost& host) {
    AnswerHover(host, ExitAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

void ClearQuestionHover(IMenuHost& host) {
    AnswerHover(host, ClearAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

void ExitQuestionPress(IMenuHost& host, MouseButton button) {
    TGameState& s = host.State();
    const bool menu = s.Scene == TScene::MainMenu;
    if (menu && button != MouseButton::Left) return;
    const Answer answer = ExitAnswerAt(s.Shell.MouseX, s.Shell.MouseY);
    if (answer == Answer::None) return;
    if (menu) {
        host.PlaySound("button_down");
        host.GameMainExitClick();
        if (answer == Answer::Yes)
            host.Terminate();
        else
            host.SwitchScene(TScene::MainMenu);
        return;
    }
    host.GameMainExitClick();
    if (answer == Answer::Yes)
        host.SwitchScene(Qualifies(s.HighScores, s.Score) ? TScene::GameOver : TScene::MainMenu);
    host.PlaySound("button_down");
}

void ClearQuestionPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    const Answer answer = ClearAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY);
    if (answer == Answer::None) return;
    if (answer == Answer::Yes) host.ResetHighScores();
    host.GameClearHighScoreClick();
    host.PlaySound("button_down");
}

} // namespace pondlark
