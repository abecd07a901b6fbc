#include "app/TMainForm.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void MenuPointerMove(TMainForm& form, int x, int y) {
    MarkAllDead<TMenuGame>(form.Engine());
    form.State.MouseX = x;
    form.State.MouseY = y;
}

void EnterSoundRule(TMainForm& form, bool& outside) {
    if (outside) {
        form.StopSound("button_up");
        form.PlaySound("button_up");
    }
    outside = false;
}

void EnterSoundRule(TMainForm& form) {
    EnterSoundRule(form, form.State.PointerOutside);
}

bool OverBack(int x, int y) {
    return Inside(x, y, 375, 513, 525, 562);
}

void EnterIntro(TMainForm& form) {
    form.State.MusicRestart = false;
    form.PlayMusic("1");
    AddMenuBackground(form);
    form.Timer1.SetEnabled(true);
}

void EnterMainMenu(TMainForm& form) {
    form.Platform().SetCursor(Cursor::Arrow);
    if (form.State.MusicRestart) form.PlayMusic("1");
    form.State.MusicRestart = false;
    form.State.HelpPage = 1;
    new TPicture(form, "Start Game_n", 355, 161, 0);
    new TPicture(form, "Options_n", 423, 240, 0);
    new TPicture(form, "High Score_n", 374, 312, 0);
    new TPicture(form, "Help_n", 465, 388, 0);
    new TPicture(form, "Visit Web Site_n", 326, 457, 0);
    new TPicture(form, "Exit_n", 477, 529, 0);
    AddMenuFrame(form);
}

namespace {

enum class MainItem { None, Start, Options, HighScore, Help, Visit, Exit };

MainItem MainItemAt(int x, int y) {
    // The lower three rows are tried first from y 390 down, as the pointer test always did.
    if (y >= 390) {
        if (Inside(x, y, 470, 623, 390, 430)) return MainItem::Help;
        if (Inside(x, y, 330, 765, 460, 500)) return MainItem::Visit;
        if (Inside(x, y, 480, 615, 530, 570)) return MainItem::Exit;
        return MainItem::None;
    }
    if (Inside(x, y, 355, 735, 165, 205)) return MainItem::Start;
    if (Inside(x, y, 425, 675, 240, 283)) return MainItem::Options;
    if (Inside(x, y, 380, 725, 315, 355)) return MainItem::HighScore;
    return MainItem::None;
}

} // namespace

void MainMenuHover(TMainForm& form) {
    form.Platform().SetCursor(Cursor::Arrow);
    if (form.State.Flags.GameMainExit) {
        ExitQuestionHover(form);
        return;
    }
    const MainItem item = MainItemAt(form.State.MouseX, form.State.MouseY);
    if (item == MainItem::None) {
        form.State.PointerOutside = true;
        return;
    }
    form.Platform().SetCursor(Cursor::Hand);
    switch (item) {
    case MainItem::Start:
        new Start_Game(form);
        break;
    case MainItem::Options:
        new Options(form);
        break;
    case MainItem::HighScore:
        new High_Score(form);
        break;
    case MainItem::Help:
        new Help(form);
        break;
    case MainItem::Visit:
        new Visit_Web_Site(form);
        break;
    case MainItem::Exit:
        new Exit_(form);
        break;
    case MainItem::None:
        break;
    }
    EnterSoundRule(form);
}

void MainMenuPress(TMainForm& form, MouseButton button) {
    if (button != MouseButton::Left) return;
    if (form.State.Flags.GameMainExit) {
        ExitQuestionPress(form, button);
        return;
    }
    switch (MainItemAt(form.State.MouseX, form.State.MouseY)) {
    case MainItem::Start:
        form.SwitchScene(3);
        break;
    case MainItem::Options:
        form.SwitchScene(6);
        break;
    case MainItem::HighScore:
        form.SwitchScene(7);
        break;
    case MainItem::Help:
        form.SwitchScene(5);
        break;
    case MainItem::Visit:
        form.GoWeb(form.HomePageUrl());
        break;
    case MainItem::Exit:
        form.GameMainExitClick();
        break;
    case MainItem::None:
        return;
    }
    form.PlaySound("button_down");
}

} // namespace pondlark
