// Spelling with a controller. A controller has no letters, so where a text is entered it spells
// in the arcade manner: d-pad left and right (vk::GamepadDpadLeft, vk::GamepadDpadRight) step
// the last letter round kEntryAlphabet (an empty text gets its first letter, 'A' or '0'), Y
// (vk::GamepadY) adds a letter, X (vk::GamepadX) takes the last one away. The controller sends
// those keys only where `PadSpells` holds; once it has been used there, a line under the field
// names its buttons.
#pragma once

#include "game/GameState.h"

#include <functional>
#include <string>
#include <string_view>

namespace pondlark {

class TDirectDrawSurfaceCanvas;

bool IsPadSpellingKey(int key);

// Whether `letter` may follow `before` in the field: each entry keeps its own width rule.
using TLetterFits = std::function<bool(const std::string& before, char letter)>;

// `text` after the controller's `key` (unchanged for any other key). The entries' limits hold: at
// most kEntryMaxLength characters, and a letter that does not fit after the text before it is
// stepped over (with none fitting, the text stays as it was).
std::string PadEditText(std::string text, int key, const TLetterFits& fits);

// True where the controller's left, right, X and Y spell: on the name panel, and in the options
// while the country is typed with the marker on its row.
bool PadSpells(const TGameState& s);

// The line that names the controller's buttons, centred on `centreX`, its top at `top`, in the
// canvas's colour; `keep` is what A does there.
void DrawPadSpellingHint(TDirectDrawSurfaceCanvas& c, int centreX, int top, std::string_view keep);

} // namespace pondlark
