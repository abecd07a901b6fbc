#include "engine/TDirectDrawSurfaceCanvas.h"
#include "game/Layout.h"
#include "platform/VirtualKeys.h"
#include "screens/HotRects.h"
#include "screens/MenuHost.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void EnterOptions(IMenuHost& host) {
    AddMenuFrame(host);
    new TPicture(host, "Options_Word", 355, 0, 1);
    new TPicture(host, "Options_Display", 0, 215, 1);
    new TPicture(host, "Options_Music", 0, 276, 1);
    new TPicture(host, "Options_Sound", 0, 333, 1);
    new TPicture(host, "Options_Country", 0, 386, 1);
    new TPicture(host, "Options_Back_n", 347, 521, 1);
    host.State().Shell.CaretBlink = kCaretBlinkFrames;
    host.State().Flags.GamegoEdit = host.CountryText().empty();
}

void DrawOptions(IMenuHost& host) {
    host.DrawPattern(true);
    TGameState& s = host.State();
    s.Country = host.CountryText();
    auto& c = host.TextCanvas(20);
    s.Menus.EntryTextWidth = c.TextWidth(s.Country);
    c.TextOut(400, 403, s.Country);
    c.Release();
    // The state pictures follow the switches from the next frame on.
    MarkAllDead<TMenu>(host.Engine());
    if (s.Flags.GameFullScreen)
        new Options_full_screen(host);
    else
        new Options_window_mode(host);
    if (s.Flags.GameSound)
        new Options_sound_on(host);
    else
        new Options_sound_off(host);
    if (s.Flags.GameMusic)
        new Options_music_on(host);
    else
        new Options_music_off(host);
}

void OptionsHover(IMenuHost& host) {
    TGameState& s = host.State();
    const int x = s.Shell.MouseX, y = s.Shell.MouseY;
    host.SetCursor(Cursor::Arrow);
    if (hot::kWindowMode.HasRow(y)) {
        if (hot::kWindowMode.Contains(x, y) || hot::kFullScreen.Contains(x, y))
            host.SetCursor(Cursor::Hand);
    } else if (hot::kMusicOn.HasRow(y) || hot::kSoundOn.HasRow(y)) {
        if (hot::kMusicOn.Contains(x, y) || hot::kMusicOff.Contains(x, y) ||
            hot::kSoundOn.Contains(x, y) || hot::kSoundOff.Contains(x, y))
            host.SetCursor(Cursor::Hand);
    } else if (hot::kCountry.HasRow(y)) {
        if (hot::kCountry.Contains(x, y)) host.SetCursor(Cursor::IBeam);
    } else if (OverBack(x, y)) {
        host.SetCursor(Cursor::Hand);
        new HelpGame_Back(host);
        EnterSoundRule(host);
    } else {
        s.Menus.PointerOutside = true;
    }
}

void OptionsPress(IMenuHost& host, MouseButton button) {
    if (button != MouseButton::Left) return;
    TGameState& s = host.State();
    TCommandFlags& f = s.Flags;
    const int x = s.Shell.MouseX, y = s.Shell.MouseY;
    if (!host.CountryText().empty()) f.GamegoEdit = false;
    if (hot::kWindowMode.Contains(x, y) && f.GameFullScreen) {
        host.GameFullScreenClick();
        host.PlaySound("button_down");
    } else if (hot::kFullScreen.Contains(x, y) && !f.GameFullScreen) {
        host.GameFullScreenClick();
        host.PlaySound("button_down");
    } else if (hot::kMusicOn.Contains(x, y) && !f.GameMusic) {
        host.GameMusicClick();
        host.PlaySound("button_down");
        host.PlayMusic("1");
    } else if (hot::kMusicOff.Contains(x, y) && f.GameMusic) {
        host.GameMusicClick();
        host.PlaySound("button_down");
        host.StopMusic();
    } else if (hot::kSoundOn.Contains(x, y) && !f.GameSound) {
        host.GameSoundClick();
        host.PlaySound("button_down");
    } else if (hot::kSoundOff.Contains(x, y) && f.GameSound) {
        host.GameSoundClick();
        host.PlaySound("button_down");
    } else if (hot::kCountry.Contains(x, y)) {
        f.GamegoEdit = true;
        host.PlaySound("button_down");
    } else if (OverBack(x, y)) {
        host.SwitchScene(TScene::MainMenu);
        host.PlaySound("button_down");
    }
}

void OptionsKey(IMenuHost& host, int key) {
    TGameState& s = host.State();
    if (key == vk::Escape) host.SwitchScene(TScene::MainMenu);
    if (!s.Flags.GamegoEdit) return;
    if (key == vk::Back) {
        if (!host.CountryText().empty()) host.CountryText().pop_back();
        return;
    }
    // A fixed 37 pixels stands for the next character's width.
    if (s.Menus.EntryTextWidth + 37 > 375 || host.CountryText().size() >= 10) return;
    if (key > 0 && key < 256 &&
        kEntryAlphabet.find(static_cast<char>(key)) != std::string_view::npos)
        host.CountryText().push_back(static_cast<char>(key));
}

} // namespace pondlark
