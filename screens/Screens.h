// The menu screens: what each scene creates on entry, draws every frame, and does with the
// pointer and the keys. The main window dispatches to these by scene; all of them act on the
// one host and its state.
#pragma once

#include "persist/EntryText.h"
#include "platform/Platform.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pondlark {

// Every pointer move, in every scene, before the scene's own hover: highlights go, the last
// position is kept.
void MenuPointerMove(IMenuHost& host, int x, int y);
// After a highlight is made: the "button_up" tick when the pointer came from outside every item.
void EnterSoundRule(IMenuHost& host);
// The same rule for an item with its own "came from outside" flag (the help screen's Back).
void EnterSoundRule(IMenuHost& host, bool& outside);
// The pointer over a menu of `items`, `index` the one under it (-1: none): the hand, the cursor
// following it, the item lit and the tick, or only a note that the pointer is outside them.
void HoverMenuItem(IMenuHost& host, std::span<const TMenuItem> items, int index);
// The Back word of the help and options screens.
bool OverBack(int x, int y);
// A text entry's own key (a letter or digit of the entries' alphabet, or Backspace) after the
// display switch ended the typing: the typing starts again, and the key then types as usual.
void ResumeTypingByKey(TGameState& s, int key);

void EnterIntro(IMenuHost& host);

void EnterMainMenu(IMenuHost& host);
void MainMenuHover(IMenuHost& host);
void MainMenuPress(IMenuHost& host, MouseButton button);
// Keys (and the controller's, which arrive as keys) of the menu and of its exit question.
void MainMenuKey(IMenuHost& host, int key);

// A line of a help page: its size in points, its place and its text.
struct THelpLine {
    int size, x, y;
    const char* text;
};
// The lines of help page 1 to 4 (none for the about page, whose lines are made when drawn).
std::span<const THelpLine> HelpLines(int page);
// The about page's version line, from the build's version (the one the score service answers).
std::string AboutVersionLine();

void EnterHelp(IMenuHost& host);
void DrawHelp(IMenuHost& host);
void HelpHover(IMenuHost& host);
void HelpPress(IMenuHost& host, MouseButton button);
void HelpKey(IMenuHost& host, int key);

void EnterOptions(IMenuHost& host);
void DrawOptions(IMenuHost& host);
void OptionsHover(IMenuHost& host);
void OptionsPress(IMenuHost& host, MouseButton button);
void OptionsKey(IMenuHost& host, int key);
// The country is being typed and the marker is on its row.
bool OptionsTypingCountry(const TGameState& s);

void EnterHighScores(IMenuHost& host);
void DrawHighScores(IMenuHost& host);
void HighScoresHover(IMenuHost& host);
void HighScoresPress(IMenuHost& host, MouseButton button);
void HighScoresKey(IMenuHost& host, int key);

// Game over: the two words over the menu picture, the game-over song, and the 5000 ms wait
// before the name entry.
void EnterGameOver(IMenuHost& host);
// The name panel after the wait, its frame, pointer and keys.
void ShowNameEntry(IMenuHost& host);
void DrawNameEntry(IMenuHost& host);
void NameEntryHover(IMenuHost& host);
void NameEntryPress(IMenuHost& host, MouseButton button);
void NameEntryKey(IMenuHost& host, int key, bool alt);
// The allowed width of a typed character (0 for a key outside the alphabet).
int NameCharWidth(char c);
// How wide a text is drawn on the name panel.
using TTextWidth = std::function<int(const std::string&)>;
// The name after a controller's spelling key (see PadSpelling.h), each letter fitting the field
// after the text before it as `width` measures that text, as a typed one must.
std::string PadEditName(std::string name, int key, const TTextWidth& width);

// The yes/no questions.
void ShowExitQuestion(IMenuHost& host);
void HideExitQuestion(IMenuHost& host);
void ExitQuestionHover(IMenuHost& host);
void ExitQuestionPress(IMenuHost& host, MouseButton button);
void ClearQuestionHover(IMenuHost& host);
void ClearQuestionPress(IMenuHost& host, MouseButton button);
// A question starts on "no"; Y and N answer at once, the arrows move, Enter answers the lit one.
void ResetQuestionCursor(IMenuHost& host);
void ExitQuestionKey(IMenuHost& host, int key);
void ClearQuestionKey(IMenuHost& host, int key);

} // namespace pondlark
