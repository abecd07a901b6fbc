// The menu screens: what each scene creates on entry, draws every frame, and does with the
// pointer and the keys. The main window dispatches to these by scene; all of them act on the
// one form and its state.
#pragma once

#include "persist/EntryText.h"
#include "platform/Platform.h"

#include <string_view>

namespace pondlark {

class TMainForm;

// Every pointer move, in every scene, before the scene's own hover: highlights go, the last
// position is kept.
void MenuPointerMove(TMainForm& form, int x, int y);
// After a highlight is made: the "button_up" tick when the pointer came from outside every item.
void EnterSoundRule(TMainForm& form);
// The same rule for an item with its own "came from outside" flag (the help screen's Back).
void EnterSoundRule(TMainForm& form, bool& outside);
// Inclusive ranges, as the screens' hot rectangles are written.
constexpr bool Inside(int x, int y, int x1, int x2, int y1, int y2) {
    return x >= x1 && x <= x2 && y >= y1 && y <= y2;
}
// The Back word of the help and options screens.
bool OverBack(int x, int y);

void EnterIntro(TMainForm& form);

void EnterMainMenu(TMainForm& form);
void MainMenuHover(TMainForm& form);
void MainMenuPress(TMainForm& form, MouseButton button);

void EnterHelp(TMainForm& form);
void DrawHelp(TMainForm& form);
void HelpHover(TMainForm& form);
void HelpPress(TMainForm& form, MouseButton button);

void EnterOptions(TMainForm& form);
void DrawOptions(TMainForm& form);
void OptionsHover(TMainForm& form);
void OptionsPress(TMainForm& form, MouseButton button);
void OptionsKey(TMainForm& form, int key);

void EnterHighScores(TMainForm& form);
void DrawHighScores(TMainForm& form);
void HighScoresHover(TMainForm& form);
void HighScoresPress(TMainForm& form, MouseButton button);
void HighScoresKey(TMainForm& form, int key);

// Game over: the name panel after the wait, its frame, pointer and keys.
void ShowNameEntry(TMainForm& form);
void DrawNameEntry(TMainForm& form);
void NameEntryHover(TMainForm& form);
void NameEntryPress(TMainForm& form, MouseButton button);
void NameEntryKey(TMainForm& form, int key, bool alt);
// The allowed width of a typed character (0 for a key outside the alphabet).
int NameCharWidth(char c);

// The yes/no questions.
void ShowExitQuestion(TMainForm& form);
void HideExitQuestion(TMainForm& form);
void ExitQuestionHover(TMainForm& form);
void ExitQuestionPress(TMainForm& form, MouseButton button);
void ClearQuestionHover(TMainForm& form);
void ClearQuestionPress(TMainForm& form, MouseButton button);

} // namespace pondlark
