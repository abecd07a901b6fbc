// The main window's scene machine, its frame and its music and sound switches.

#include "app/TMainForm.h"

#include "engine/TDirectDrawSurfaceCanvas.h"

#include "game/EatingStage.h"
#include "game/Insects.h"
#include "game/PondStage.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <algorithm>

namespace pondlark {

void TMainForm::SwitchScene(int scene) {
    if (State.Scene != 0) LeaveScene(State.Scene);
    State.Scene = static_cast<uint8_t>(scene);
    EnterScene(scene);
}

void TMainForm::LeaveScene(int scene) {
    Engine().Clear();
    switch (scene) {
    case 2:
        State.Level = 1;
        State.Score = 0;
        State.Lives = 3;
        break;
    case 3:
        State.MusicRestart = true;
        State.GameOverPending = false;
        StopSound("all");
        break;
    case 4:
        State.MusicRestart = true;
        State.GameOverPending = false;
        State.PondRunning = true;
        StopSound("all");
        break;
    case 6:
        State.Flags.GamegoEdit = false;
        SaveConfig();
        break;
    case 7:
        SaveConfig();
        break;
    case 9:
        State.GameOverPending = false;
        State.Flags.GameEnterName = false;
        State.Flags.GamegoEdit = false;
        State.Flags.GameSendResult = false;
        SaveConfig();
        break;
    default:
        break;
    }
}

void TMainForm::EnterScene(int scene) {
    switch (scene) {
    case 1:
        EnterIntro(*this);
        break;
    case 2:
        EnterMainMenu(*this);
        break;
    case 3:
        StartPondStage(*this);
        break;
    case 4:
        StartEatingStage(*this);
        State.TongueAngleOffset = 0;
        State.AimCentred = true;
        State.TimeLeft = 10 * State.Level + 19;
        LevelTimer.SetEnabled(true);
        break;
    case 5:
        EnterHelp(*this);
        break;
    case 6:
        EnterOptions(*this);
        break;
    case 7:
        EnterHighScores(*this);
        break;
    case 9:
        EnterGameOver(*this);
        break;
    default:
        break;
    }
}

void TMainForm::Timer1Timer() {
    Timer1.SetEnabled(false);
    switch (State.Scene) {
    case 1:
        SwitchScene(2);
        break;
    case 3:
        State.LevelBanner = false;
        break;
    case 9:
        ShowNameEntry(*this);
        break;
    default:
        break;
    }
}

void TMainForm::LevelTimerTimer() {
    --State.TimeLeft;
}

// ---------------------------------------------------------------------------------------------
// The frame

void TMainForm::DXTimerTimer(int32_t) {
    // 1. Nothing at all while the display cannot draw.
    if (!DXDraw.CanDraw()) return;
    // 2. Input states.
    DXInput.Update();
    // 3. Countdowns.
    for (uint8_t* counter : {&State.LeftKeyDelay, &State.RightKeyDelay, &State.UpKeyDelay,
                             &State.ActionKeyDelay, &State.CaretBlink})
        if (*counter > 0) --*counter;
    // 4. Aim angle of the tongue.
    const double w = DXDraw.Surface()->Width();
    if (!State.Paused && !State.Flags.GameMainExit && !State.AimCentred)
        State.TongueAngle = State.MouseX / (w / 720) - 180 + State.TongueAngleOffset;
    if (State.AimCentred) State.TongueAngle = 400 / (w / 720) - 180 + State.TongueAngleOffset;
    State.TongueAngle = std::clamp(State.TongueAngle, 120.0, 240.0);
    // 5. Text caret blink.
    if (State.Flags.GamegoEdit && State.CaretBlink > 15) new Palka(*this);
    if (State.CaretBlink <= 15) {
        if (State.CaretBlink == 0) State.CaretBlink = 30;
        MarkAllDead<Palka>(Engine());
    }
    // 6. A maximized window becomes full screen.
    if (State.ResizePending) {
        State.ResizePending = false;
        if (platform_.GetWindowState() == WindowState::Maximized) GameFullScreenClick();
    }
    // 7. The live scene. A display switch in step 6 may leave nothing to draw on.
    if (DXDraw.CanDraw()) FrameAction();
    // 8. Present.
    DXDraw.Flip();
    ++frameCount_;
    // 9. Songs of the menus restart when they wrap.
    WatchSong();
}

void TMainForm::DrawPattern(bool move) {
    if (move) SpriteEngine.Move(16);
    SpriteEngine.Sweep();
    // Every scene's backdrop is opaque and fills the screen: clearing under it is wasted work.
    if (!SpriteEngine.Engine.SurfaceCovered()) DXDraw.Surface()->Fill(0);
    SpriteEngine.Draw();
}

TDirectDrawSurfaceCanvas& TMainForm::TextCanvas(int size, TColor color) {
    auto& c = DXDraw.Surface()->Canvas();
    c.BrushStyle = TBrushStyle::Clear;
    c.Font.Name = "Festival Nights JL";
    c.Font.Color = color;
    c.Font.Size = size;
    c.Font.Outlined = false;
    return c;
}

void TMainForm::PlayMusic(const std::string& name) {
    if (!State.Flags.GameMusic) return;
    LastSongOrder = 0;
    if (Song) MusicPlayer.SongFree(Song);
    Song = MusicPlayer.SongLoadFromFile(DataPath("Music/" + name + ".xm"));
    if (Song) MusicPlayer.SongPlay(Song);
    if (Song && OnSongStarted) OnSongStarted(name);
}

void TMainForm::StopMusic() {
    if (Song) MusicPlayer.SongFree(Song);
    Song = 0;
}

void TMainForm::WatchSong() {
    if (!Song) return;
    const int32_t order = MusicPlayer.SongGetOrder(Song);
    if (order != 0 || LastSongOrder == 0) {
        LastSongOrder = order;
        return;
    }
    switch (State.Scene) {
    case 1:
    case 2:
    case 5:
    case 6:
    case 7:
        PlayMusic("1");
        break;
    case 9:
        PlayMusic("3");
        break;
    default:
        break; // the play song loops by itself
    }
}

void TMainForm::PlaySound(const std::string& name) {
    if (!State.Flags.GameSound) return;
    DXWaveList.Items().Find(name).Play(false);
    if (OnSoundStarted) OnSoundStarted(name);
}

void TMainForm::StopSound(const std::string& name) {
    TWaveCollection& waves = DXWaveList.Items();
    if (name == "button_up") waves.Find(name).Stop();
    if (name == "all") {
        for (int i = 0; i < waves.Count(); ++i)
            waves.Items(i).Stop();
        return;
    }
    // Insects of one kind share one buzz: it stops with the last of them.
    if (IsInsectSound(name) && !InsectOfSoundAlive(Engine(), name)) waves.Find(name).Stop();
}

void TMainForm::FrameAction() {
    switch (State.Scene) {
    case 3:
        PondFrame(*this);
        break;
    case 4:
        EatingFrame(*this);
        break;
    case 5:
        DrawHelp(*this);
        break;
    case 6:
        DrawOptions(*this);
        break;
    case 7:
        DrawHighScores(*this);
        break;
    case 9:
        DrawNameEntry(*this);
        break;
    default:
        DrawPattern(true);
        break;
    }
}

} // namespace pondlark
