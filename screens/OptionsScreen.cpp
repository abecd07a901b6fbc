#include "app/TMainForm.h"
#include "engine/TDirectDrawSurfaceCanvas.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

namespace pondlark {

void EnterOptions(TMainForm& form) {
    AddMenuFrame(form);
    new TPicture(form, "Options_Word", 355, 0, 1);
    new TPicture(form, "Options_Display", 0, 215, 1);
    new TPicture(form, "Options_Music", 0, 276, 1);
    new TPicture(form, "Options_Sound", 0, 333, 1);
    new TPicture(form, "Options_Country", 0, 386, 1);
    new TPicture(form, "Options_Back_n", 347, 521, 1);
    form.State.CaretBlink = 30;
    form.State.Flags.GamegoEdit = form.Edit1.empty();
}

void DrawOptions(TMainForm& form) {
    form.DrawPattern(true);
    TGameState& s = form.State;
    s.Country = form.Edit1;
    auto& c = form.TextCanvas(20);
    s.EntryTextWidth = c.TextWidth(s.Country);
    c.TextOut(400, 403, s.Country);
    c.Release();
    // The state pictures follow the switches from the next frame on.
    MarkAllDead<TMenu>(form.Engine());
    if (s.Flags.GameFullScreen)
        new Options_full_screen(form);
    else
        new Options_window_mode(form);
    if (s.Flags.GameSound)
        new Options_sound_on(form);
    else
        new Options_sound_off(form);
    if (s.Flags.GameMusic)
        new Options_music_on(form);
    else
        new Options_music_off(form);
}

void OptionsHover(TMainForm& form) {
    TGameState& s = form.State;
    IPlatform& p = form.Platform();
    const int x = s.MouseX, y = s.MouseY;
    p.SetCursor(Cursor::Arrow);
    if (y >= 218 && y <= 250) {
        if (Inside(x, y, 260, 440, 218, 250) || Inside(x, y, 468, 765, 218, 250))
            p.SetCursor(Cursor::Hand);
    } else if ((y >= 280 && y <= 310) || (y >= 338 && y <= 370)) {
        if ((x >= 260 && x <= 320) || (x >= 348 && x <= 435)) p.SetCursor(Cursor::Hand);
    } else if (y >= 400 && y <= 445) {
        if (x >= 400 && x <= 775) p.SetCursor(Cursor::IBeam);
    } else if (OverBack(x, y)) {
        p.SetCursor(Cursor::Hand);
        new HelpGame_Back(form);
        EnterSoundRule(form);
    } else {
        s.PointerOutside = true;
    }
}

void OptionsPress(TMainForm& form, MouseButton button) {
    if (button != MouseButton::Left) return;
    TGameState& s = form.State;
    TCommandFlags& f = s.Flags;
    const int x = s.MouseX, y = s.MouseY;
    if (!form.Edit1.empty()) f.GamegoEdit = false;
    if (Inside(x, y, 260, 440, 218, 250) && f.GameFullScreen) {
        form.GameFullScreenClick();
        form.PlaySound("button_down");
    } else if (Inside(x, y, 468, 765, 218, 250) && !f.GameFullScreen) {
        form.GameFullScreenClick();
        form.PlaySound("button_down");
    } else if (Inside(x, y, 260, 320, 280, 310) && !f.GameMusic) {
        form.GameMusicClick();
        form.PlaySound("button_down");
        form.PlayMusic("1");
    } else if (Inside(x, y, 348, 435, 280, 310) && f.GameMusic) {
        form.GameMusicClick();
        form.PlaySound("button_down");
        form.StopMusic();
    } else if (Inside(x, y, 260, 320, 338, 370) && !f.GameSound) {
        form.GameSoundClick();
        form.PlaySound("button_down");
    } else if (Inside(x, y, 348, 435, 338, 370) && f.GameSound) {
        form.GameSoundClick();
        form.PlaySound("button_down");
    } else if (Inside(x, y, 400, 775, 400, 445)) {
        f.GamegoEdit = true;
        form.PlaySound("button_down");
    } else if (OverBack(x, y)) {
        form.SwitchScene(2);
        form.PlaySound("button_down");
    }
}

void OptionsKey(TMainForm& form, int key) {
    TGameState& s = form.State;
    if (key == vk::Escape) form.SwitchScene(2);
    if (!s.Flags.GamegoEdit) return;
    if (key == vk::Back) {
        if (!form.Edit1.empty()) form.Edit1.pop_back();
        return;
    }
    // A fixed 37 pixels stands for the next character's width.
    if (s.EntryTextWidth + 37 > 375 || form.Edit1.size() >= 10) return;
    if (key > 0 && key < 256 &&
        kEntryAlphabet.find(static_cast<char>(key)) != std::string_view::npos)
        form.Edit1.push_back(static_cast<char>(key));
}

} // namespace pondlark
