#include "engine/TSprite.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "persist/HighScores.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

namespace {
// The answers in key order; a question starts on "no".
constexpr int kYesItem = 0;
constexpr int kNoItem = 1;
} // namespace

void ResetQuestionCursor(IMenuHost& host) {
    ResetCursor(host.State().Menus.Answer, kNoItem);
}

void ShowExitQuestion(IMenuHost& host) {
    ResetQuestionCursor(host);
    new TScreenDim(host);
    new TQuitPanel(host);
    new TQuitWord(host);
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
    PointAt(host.State().Menus.Answer, answer == Answer::Yes ? kYesItem : kNoItem);
    if (answer == Answer::Yes)
        new TQuitYesLight(host);
    else
        new TQuitNoLight(host);
    EnterSoundRule(host);
}

} // namespace

void ExitQuestionHover(IMenuHost& host) {
    AnswerHover(host, ExitAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

void ClearQuestionHover(IMenuHost& host) {
    AnswerHover(host, ClearAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY));
}

namespace {

void AnswerExit(IMenuHost& host, Answer answer) {
    TGameState& s = host.State();
    if (s.Scene == TScene::MainMenu) {
        host.PlaySound(TSound::ButtonDown);
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
    host.PlaySound(TSound::ButtonDown);
}

void AnswerClear(IMenuHost& host, Answer answer) {
    if (answer == Answer::Yes) {
        host.State().Menus.NewEntry = -1; // gone with the table
        host.ResetHighScores();
    }
    host.GameClearHighScoreClick();
    host.PlaySound(TSound::ButtonDown);
}

template <void (*Answering)(IMenuHost&, Answer)> struct TQuestion {
    static constexpr TMenuItem kItems[] = {
        {.Light = LightSprite<TQuitYesLight>,
         .Act = [](IMenuHost& h) { Answering(h, Answer::Yes); }},
        {.Light = LightSprite<TQuitNoLight>, .Act = [](IMenuHost& h) { Answering(h, Answer::No); }},
    };

    // Y and N answer at once; the arrows move between the two, Enter answers the lit one.
    static void Key(IMenuHost& host, int key) {
        if (IsKey(TKeyAction::Yes, key) || IsKey(TKeyAction::No, key)) {
            Answering(host, IsKey(TKeyAction::Yes, key) ? Answer::Yes : Answer::No);
            return;
        }
        MenuKey(host, host.State().Menus.Answer, {kItems, true}, key);
    }
};

} // namespace

void ExitQuestionPress(IMenuHost& host, MouseButton button) {
    TGameState& s = host.State();
    if (s.Scene == TScene::MainMenu && button != MouseButton::Left) return;
    const Answer answer = ExitAnswerAt(s.Shell.MouseX, s.Shell.MouseY);
    if (answer != Answer::None) AnswerExit(host, answer);
}

void ClearQuestionPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    const Answer answer = ClearAnswerAt(host.State().Shell.MouseX, host.State().Shell.MouseY);
    if (answer != Answer::None) AnswerClear(host, answer);
}

void ExitQuestionKey(IMenuHost& host, int key) {
    TQuestion<AnswerExit>::Key(host, key);
}

void ClearQuestionKey(IMenuHost& host, int key) {
    TQuestion<AnswerClear>::Key(host, key);
}

} // namespace pondlark
