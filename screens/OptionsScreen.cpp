#include "engine/TDirectDrawSurfaceCanvas.h"
#include "engine/TSprite.h"
#include "game/Controls.h"
#include "game/GameState.h"
#include "game/Layout.h"
#include "screens/HotRects.h"
#include "screens/MenuCursor.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/PadSpelling.h"
#include "screens/Screens.h"

namespace pondlark {

namespace {

// Every press and every key on a row first ends typing when there is a country to keep.
void EndTypingIfKept(IMenuHost& host) {
    host.State().Menus.TypingInterrupted = false;
    if (!host.CountryText().empty()) host.State().Flags.GameTyping = false;
}

void PickWindow(IMenuHost& host) {
    if (!host.State().Flags.GameFullScreen) return;
    host.GameFullScreenClick();
    host.PlaySound(TSound::ButtonDown);
}
void PickFullScreen(IMenuHost& host) {
    if (host.State().Flags.GameFullScreen) return;
    host.GameFullScreenClick();
    host.PlaySound(TSound::ButtonDown);
}
void PickMusic(IMenuHost& host, bool on) {
    if (host.State().Flags.GameMusic == on) return;
    host.GameMusicClick();
    host.PlaySound(TSound::ButtonDown);
    if (on)
        host.PlayMusic("1");
    else
        host.StopMusic();
}
void PickSound(IMenuHost& host, bool on) {
    if (host.State().Flags.GameSound == on) return;
    host.GameSoundClick();
    host.PlaySound(TSound::ButtonDown);
}
void StartTyping(IMenuHost& host) {
    host.State().Flags.GameTyping = true;
    host.PlaySound(TSound::ButtonDown);
}
void GoBack(IMenuHost& host) {
    host.SwitchScene(TScene::MainMenu);
    host.PlaySound(TSound::ButtonDown);
}

template <void (*Pick)(IMenuHost&)> void ByKey(IMenuHost& host) {
    EndTypingIfKept(host);
    Pick(host);
}
template <void (*Pick)(IMenuHost&, bool), bool On> void ByKey(IMenuHost& host) {
    EndTypingIfKept(host);
    Pick(host, On);
}

constexpr int kCountryRow = 3;
constexpr int kCountryFontSize = 20;
// The country field: every character counts as this wide, and the text stays within the width.
constexpr int kCountryCharWidth = 37;
constexpr int kCountryMaxWidth = 375;
constexpr int kCountryFieldCentre = 585;

// Whether the field, with a text `width` pixels wide, has room for one more character.
bool CountryHasRoom(int width) {
    return width + kCountryCharWidth <= kCountryMaxWidth;
}
constexpr int kBackRow = 4;

// Display, Music, Sound, Country, Back. The first four are lit by the marker `DrawOptions`
// draws: the pointer has no highlight of theirs to share.
constexpr TMenuItem kOptionRows[] = {
    {.Left = ByKey<PickWindow>, .Right = ByKey<PickFullScreen>},
    {.Left = ByKey<PickMusic, true>, .Right = ByKey<PickMusic, false>},
    {.Left = ByKey<PickSound, true>, .Right = ByKey<PickSound, false>},
    {.Act = StartTyping},
    {.Light = LightSprite<THelpBackLight>, .Act = ByKey<GoBack>},
};

// The rows' tops, where the marker stands, between the labels' board and the choices.
constexpr int kRowTop[] = {hot::kWindowMode.Y1, hot::kMusicOn.Y1, hot::kSoundOn.Y1,
                           hot::kCountry.Y1};
constexpr int kMarkerX = 190;

} // namespace

void EnterOptions(IMenuHost& host) {
    AddMenuFrame(host, TMenuBoard::Wide);
    new TPicture(host, "Options_Word", 355, 0, 1);
    new TPicture(host, "Options_Display", 0, 215, 1);
    new TPicture(host, "Options_Music", 0, 276, 1);
    new TPicture(host, "Options_Sound", 0, 333, 1);
    new TPicture(host, "Options_Country", 0, 386, 1);
    new TPicture(host, "Options_Back_n", 347, 521, 1);
    ResetCursor(host.State().Menus.Cursor, kBackRow); // Enter unlit goes back, changes nothing
    host.State().Shell.CaretBlink = kCaretBlinkFrames;
    host.State().Flags.GameTyping = host.CountryText().empty();
    host.State().Menus.TypingInterrupted = false;
    host.State().Menus.PadSpelt = false;
}

void DrawOptions(IMenuHost& host) {
    host.DrawPattern(true);
    TGameState& s = host.State();
    s.Country = host.CountryText();
    auto& c = host.TextCanvas(kCountryFontSize);
    s.Menus.EntryTextWidth = c.TextWidth(s.Country);
    c.TextOut(400, 403, s.Country);
    if (s.Menus.PadSpelt && OptionsTypingCountry(s))
        DrawPadSpellingHint(c, kCountryFieldCentre, 458, "done"); // under the field
    c.Release();
    // The state pictures and the row marker follow the switches and the keys from the next
    // frame on.
    MarkAllDead<TMenu>(host.Engine());
    if (s.Menus.Cursor.Lit && s.Menus.Cursor.Item < kBackRow)
        new TMenu(host, "Options_marker", kMarkerX, kRowTop[s.Menus.Cursor.Item] - 4, 900);
    if (s.Flags.GameFullScreen)
        new TFullScreenChoice(host);
    else
        new TWindowModeChoice(host);
    if (s.Flags.GameSound)
        new TSoundOnChoice(host);
    else
        new TSoundOffChoice(host);
    if (s.Flags.GameMusic)
        new TMusicOnChoice(host);
    else
        new TMusicOffChoice(host);
}

void OptionsHover(IMenuHost& host) {
    TGameState& s = host.State();
    const int x = s.Shell.MouseX, y = s.Shell.MouseY;
    host.SetCursor(Cursor::Arrow);
    TMenuCursor& cursor = s.Menus.Cursor;
    if (hot::kWindowMode.HasRow(y)) {
        if (hot::kWindowMode.Contains(x, y) || hot::kFullScreen.Contains(x, y)) {
            host.SetCursor(Cursor::Hand);
            PointAt(cursor, 0);
        }
    } else if (hot::kMusicOn.HasRow(y) || hot::kSoundOn.HasRow(y)) {
        if (hot::kMusicOn.Contains(x, y) || hot::kMusicOff.Contains(x, y)) PointAt(cursor, 1);
        if (hot::kSoundOn.Contains(x, y) || hot::kSoundOff.Contains(x, y)) PointAt(cursor, 2);
        if (hot::kMusicOn.Contains(x, y) || hot::kMusicOff.Contains(x, y) ||
            hot::kSoundOn.Contains(x, y) || hot::kSoundOff.Contains(x, y))
            host.SetCursor(Cursor::Hand);
    } else if (hot::kCountry.HasRow(y)) {
        if (hot::kCountry.Contains(x, y)) {
            host.SetCursor(Cursor::IBeam);
            PointAt(cursor, kCountryRow);
        }
    } else if (OverBack(x, y)) {
        host.SetCursor(Cursor::Hand);
        PointAt(cursor, kBackRow);
        new THelpBackLight(host);
        EnterSoundRule(host);
    } else {
        s.Menus.PointerOutside = true;
    }
}

void OptionsPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    TGameState& s = host.State();
    const int x = s.Shell.MouseX, y = s.Shell.MouseY;
    EndTypingIfKept(host);
    if (hot::kWindowMode.Contains(x, y))
        PickWindow(host);
    else if (hot::kFullScreen.Contains(x, y))
        PickFullScreen(host);
    else if (hot::kMusicOn.Contains(x, y))
        PickMusic(host, true);
    else if (hot::kMusicOff.Contains(x, y))
        PickMusic(host, false);
    else if (hot::kSoundOn.Contains(x, y))
        PickSound(host, true);
    else if (hot::kSoundOff.Contains(x, y))
        PickSound(host, false);
    else if (hot::kCountry.Contains(x, y))
        StartTyping(host);
    else if (OverBack(x, y))
        GoBack(host);
}

void OptionsKey(IMenuHost& host, int key) {
    TGameState& s = host.State();
    if (IsKey(TKeyAction::Back, key)) host.SwitchScene(TScene::MainMenu);
    if (IsKey(TKeyAction::Keep, key) && s.Flags.GameTyping && !host.CountryText().empty()) {
        EndTypingIfKept(host);
        host.PlaySound(TSound::ButtonDown);
        return;
    }
    if (IsPadSpellingKey(key)) {
        if (OptionsTypingCountry(s))
            host.CountryText() =
                PadEditText(host.CountryText(), key, [&host](const std::string& before, char) {
                    return CountryHasRoom(host.TextWidth(kCountryFontSize, before));
                });
        return;
    }
    // While the country is typed and no row was shown yet, the keys that choose belong to the
    // typing (they type nothing): they do not act on Back, where the highlight waits unseen.
    const bool unseenAct =
        IsKey(TKeyAction::Choose, key) && s.Flags.GameTyping && !s.Menus.Cursor.Shown;
    if (!IsKey(TKeyAction::Back, key) && !unseenAct &&
        MenuKey(host, s.Menus.Cursor, {kOptionRows}, key))
        return;
    ResumeTypingByKey(s, key);
    if (!s.Flags.GameTyping) return;
    if (IsKey(TKeyAction::Erase, key)) {
        if (!host.CountryText().empty()) host.CountryText().pop_back();
        return;
    }
    // A fixed width stands for the next character's.
    if (!CountryHasRoom(s.Menus.EntryTextWidth) || host.CountryText().size() >= kEntryMaxLength)
        return;
    if (key > 0 && key < 256 &&
        kEntryAlphabet.find(static_cast<char>(key)) != std::string_view::npos)
        host.CountryText().push_back(static_cast<char>(key));
}

bool OptionsTypingCountry(const TGameState& s) {
    return s.Scene == TScene::Options && s.Flags.GameTyping && s.Menus.Cursor.Item == kCountryRow;
}

} // namespace pondlark
