#include "screens/PadSpelling.h"

#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/GameState.h"
#include "persist/EntryText.h"
#include "platform/VirtualKeys.h"
#include "screens/Screens.h"

namespace pondlark {
namespace {

constexpr int kHintSize = 12;

// The first letter round the alphabet from `from`, `step` (+1 or -1) at a time, that fits after
// `before`; '\0' when none does. A letter outside the alphabet, or none, stands just before
// its first.
char NextLetter(const std::string& before, char from, int step, const TLetterFits& fits) {
    const auto size = static_cast<int>(kEntryAlphabet.size());
    const size_t found = kEntryAlphabet.find(from);
    int at = found == std::string_view::npos ? (step > 0 ? size - 1 : 0) : static_cast<int>(found);
    for (int tries = 0; tries < size; ++tries) {
        at = (at + step + size) % size;
        const char c = kEntryAlphabet[static_cast<size_t>(at)];
        if (fits(before, c)) return c;
    }
    return '\0';
}

} // namespace

bool IsPadSpellingKey(int key) {
    return key == vk::GamepadDpadLeft || key == vk::GamepadDpadRight || key == vk::GamepadX ||
           key == vk::GamepadY;
}

std::string PadEditText(std::string text, int key, const TLetterFits& fits) {
    if (!IsPadSpellingKey(key)) return text;
    if (key == vk::GamepadX) {
        if (!text.empty()) text.pop_back();
        return text;
    }
    const bool adds = key == vk::GamepadY || text.empty();
    if (adds && text.size() >= kEntryMaxLength) return text;
    const std::string before = adds ? text : text.substr(0, text.size() - 1);
    const char c =
        NextLetter(before, adds ? '\0' : text.back(), key == vk::GamepadDpadLeft ? -1 : 1, fits);
    if (c && adds)
        text.push_back(c);
    else if (c)
        text.back() = c;
    return text;
}

bool PadSpells(const TGameState& s) {
    return s.Scene == TScene::GameOver || OptionsTypingCountry(s);
}

void DrawPadSpellingHint(TDirectDrawSurfaceCanvas& c, int centreX, int top, std::string_view keep) {
    const int size = c.Font.Size;
    c.Font.Size = kHintSize;
    const std::string hint =
        "Left / Right: letter    Y: add    X: delete    A: " + std::string(keep);
    c.TextOut(centreX - c.TextWidth(hint) / 2, top, hint);
    c.Font.Size = size;
}

} // namespace pondlark
