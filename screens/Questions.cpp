#include "app/TMainForm.h"
#include "persist/HighScores.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void ShowExitQuestion(TMainForm& form) {
    new TMainExit(form);
    new TMainExit_Word(form);
}

void HideExitQuestion(TMainForm& form) {
    MarkAllDead<TMenu>(form.Engine());
    MarkAllDead<TMenuGame>(form.Engine());
}

namespace {

enum class Answer { None, Yes, No };

Answer ExitAnswerAt(int x, int y) {
    if (Inside(x, y, 300, 370, 310, 335)) return Answer::Yes;
    if (Inside(x, y, 441, 490, 312, 338)) return Answer::No;
    return Answer::None;
}

Answer ClearAnswerAt(int x, int y) {
    if (Inside(x, y, 310, 385, 310, 350)) return Answer::Yes;
    if (Inside(x, y, 430, 490, 310, 350)) return Answer::No;
    return Answer::None;
}

void AnswerHover(TMainForm& form, Answer answer) {
    if (answer == Answer::None) {
        form.State.PointerOutside = true;
        return;
    }
    form.Platform().SetCursor(Cursor::Hand);
    if (answer == Answer::Yes)
        new TMainExit_Yes(form);
    else
        new TMainExit_No(form);
    EnterSoundRule(form);
}

} // namespace

void ExitQuestionHover(TMainForm& form) {
    AnswerHover(form, ExitAnswerAt(form.State.MouseX, form.State.MouseY));
}

void ClearQuestionHover(TMainForm& form) {
    AnswerHover(form, ClearAnswerAt(form.State.MouseX, form.State.MouseY));
}

void ExitQuestionPress(TMainForm& form, MouseButton button) {
    TGameState& s = form.State;
    const bool menu = s.Scene == 2;
    if (menu && button != MouseButton::Left) return;
    const Answer answer = ExitAnswerAt(s.MouseX, s.MouseY);
    if (answer == Answer::None) return;
    if (menu) {
        form.PlaySound("button_down");
        form.GameMainExitClick();
        if (answer == Answer::Yes)
            form.Terminate();
        else
            form.SwitchScene(2);
        return;
    }
    form.GameMainExitClick();
    if (answer == Answer::Yes) form.SwitchScene(Qualifies(s.HighScores, s.Score) ? 9 : 2);
    form.PlaySound("button_down");
}

void ClearQuestionPress(TMainForm& form, MouseButton button) {
    if (button != MouseButton::Left) return;
    const Answer answer = ClearAnswerAt(form.State.MouseX, form.State.MouseY);
    if (answer == Answer::None) return;
    if (answer == Answer::Yes) form.ResetHighScores();
    form.GameClearHighScoreClick();
    form.PlaySound("button_down");
}

} // namespace pondlark
