#include "engine/TDirectDrawSurfaceCanvas.h"
#include "engine/TSprite.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "persist/HighScores.h"
#include "screens/HotRects.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/PadSpelling.h"
#include "screens/Screens.h"

#include <cmath>
#include <string>
#include <utility>

namespace pondlark {

int NameCharWidth(char c) {
    // A..Z, then 1..9 and 0; lower-case letters count as their capitals.
    static const int kLetters[26] = {39, 40, 37, 38, 37, 38, 40, 41, 17, 33, 38, 39, 45,
                                     39, 38, 36, 40, 35, 39, 39, 40, 37, 53, 42, 37, 37};
    static const int kDigits[10] = {38, 18, 37, 40, 40, 38, 39, 38, 40, 38}; // '0'..'9'
    if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
    if (c >= 'a' && c <= 'z') return kLetters[c - 'a'];
    if (c >= '0' && c <= '9') return kDigits[c - '0'];
    return 0;
}

namespace {

constexpr int kNameFontSize = 20;
// The name field's width, which every typed character must fit with the text before it.
constexpr int kNameMaxWidth = 360;

} // namespace

std::string PadEditName(std::string name, int key, const TTextWidth& width) {
    return PadEditText(std::move(name), key, [&width](const std::string& before, char c) {
        return width(before) + NameCharWidth(c) <= kNameMaxWidth;
    });
}

void ShowNameEntry(IMenuHost& host) {
    TGameState& s = host.State();
    if (s.Score < s.HighScores[9].Score) return;
    MarkAllDead<TGameWord>(host.Engine());
    MarkAllDead<TOverWord>(host.Engine());
    host.SetCursor(Cursor::Arrow);
    s.Menus.PadSpelt = false;
    host.GameEnterNameClick();
}

void DrawNameEntry(IMenuHost& host) {
    host.DrawPattern(true);
    TGameState& s = host.State();
    if (!s.Flags.GameEnterName) return;
    s.PlayerName = host.NameText();
    auto& c = host.TextCanvas(kNameFontSize, RGBColor(0, 128, 0));
    const std::string score = std::to_string(s.Score);
    c.TextOut(400 - 12 * static_cast<int>(score.size()), 225, score);
    s.Menus.EntryTextWidth = c.TextWidth(s.PlayerName);
    // Halves round to the even neighbour, as the text was always centred.
    const int half = static_cast<int>(std::nearbyint(s.Menus.EntryTextWidth / 2.0));
    c.TextOut(400 - half, 310, s.PlayerName);
    if (host.SendingResult()) {
        // Dots that come and go, so a long wait reads as work going on.
        const int dots = s.Menus.SendingFrames++ / 8 % 4;
        const std::string sign = "Sending result" + std::string(static_cast<size_t>(dots), '.');
        // Beside the ticked box, inside the panel.
        c.Font.Size = 16;
        c.TextOut(425, 376, sign);
    } else if (s.Menus.PadSpelt) {
        DrawPadSpellingHint(c, 400, 412, "keep"); // under the send box, inside the panel
    }
    c.Release();
}

void NameEntryHover(IMenuHost& host) {
    const TGameState& s = host.State();
    host.SetCursor(hot::kNameText.Contains(s.Shell.MouseX, s.Shell.MouseY) ? Cursor::IBeam
                                                                           : Cursor::Arrow);
}

void NameEntryPress(IMenuHost& host, MouseButton button) {
    TGameState& s = host.State();
    if (host.SceneTimer().Enabled() || button != MouseButton::Left) return;
    if (s.Score < s.HighScores[9].Score) {
        host.Sleep(kBreathMs);
        host.SwitchScene(TScene::MainMenu);
        return;
    }
    s.Menus.TypingInterrupted = false;
    if (!host.NameText().empty()) s.Flags.GameTyping = false;
    if (hot::kNameText.Contains(s.Shell.MouseX, s.Shell.MouseY)) {
        s.Flags.GameTyping = true;
        host.PlaySound(TSound::ButtonDown);
    } else if (hot::kSendBox.Contains(s.Shell.MouseX, s.Shell.MouseY)) {
        host.GameSendResultClick();
        host.PlaySound(TSound::ButtonDown);
    }
}

void NameEntryKey(IMenuHost& host, int key, bool alt) {
    TGameState& s = host.State();
    if ((IsKey(TKeyAction::Back, key) || IsKey(TKeyAction::Keep, key)) &&
        !Qualifies(s.HighScores, s.Score) && !host.SceneTimer().Enabled()) {
        host.Sleep(kBreathMs);
        host.SwitchScene(TScene::MainMenu);
    }
    // A controller cannot press the name field, so its letters make the typing active as the
    // press does.
    if (s.Flags.GameEnterName && IsPadSpellingKey(key)) {
        s.Flags.GameTyping = true;
        host.NameText() = PadEditName(host.NameText(), key, [&host](const std::string& text) {
            return host.TextWidth(kNameFontSize, text);
        });
        return;
    }
    // The panel's one other item, the send box, by the keys (and the controller's d-pad).
    if ((IsKey(TKeyAction::MenuUp, key) || IsKey(TKeyAction::MenuDown, key)) &&
        s.Flags.GameEnterName) {
        host.GameSendResultClick();
        host.PlaySound(TSound::ButtonDown);
        return;
    }
    if (s.Flags.GameEnterName) ResumeTypingByKey(s, key);
    if (s.Flags.GameTyping && IsKey(TKeyAction::Erase, key) && !host.NameText().empty())
        host.NameText().pop_back();
    if (s.Flags.GameTyping && host.NameText().size() < kEntryMaxLength && key > 0 && key < 256) {
        const char c = static_cast<char>(key);
        if (kEntryAlphabet.find(c) != std::string_view::npos &&
            s.Menus.EntryTextWidth + NameCharWidth(c) <= kNameMaxWidth)
            host.NameText().push_back(c);
    }
    if (IsKey(TKeyAction::Keep, key) && !alt && !s.PlayerName.empty() &&
        Qualifies(s.HighScores, s.Score)) {
        s.Menus.NewEntry = InsertHighScore(s.HighScores, s.PlayerName, s.Score);
        host.KeepReplay(s.Menus.NewEntry);
        // The host moves on to the table when the transfer is over.
        if (s.Flags.GameSendResult)
            host.SubmitResult();
        else
            host.SwitchScene(TScene::HighScores);
    }
}

} // namespace pondlark
