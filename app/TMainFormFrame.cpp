// The main window's scene switch (the scenes' own actions are rows of SceneTable.cpp), its
// frame and its music and sound switches.

#include "app/TMainForm.h"

#include "app/SceneTable.h"

#include "engine/TDirectDrawSurfaceCanvas.h"

#include "game/Insects.h"
#include "game/Layout.h"
#include "game/PlayRules.h"
#include "screens/MenuSprites.h"

#include <algorithm>

namespace pondlark {

void TMainForm::SwitchScene(TScene scene) {
    if (created_) CollectPictures();
    if (startFailed_) return;
    const bool fromPlay = state_.Scene == TScene::Pond || state_.Scene == TScene::Eating;
    if (state_.Scene == TScene::MainMenu && scene == TScene::Pond) StartGameRecord();
    if (fromPlay && scene != TScene::Pond && scene != TScene::Eating) EndGameRecord();
    if (state_.Scene != TScene::None) LeaveScene(state_.Scene);
    state_.Scene = scene;
    // The old scene's sprites are gone: what the new one does not take up again is released.
    ImageList.Items.BeginScene();
    EnterScene(scene);
    ImageList.Items.ReleaseUnused();
}

void TMainForm::LeaveScene(TScene scene) {
    Engine().Clear();
    if (const auto leave = SceneRow(scene).Leave) leave(*this);
}

void TMainForm::EnterScene(TScene scene) {
    if (const auto enter = SceneRow(scene).Enter) enter(*this);
}

void TMainForm::SceneTimerTimer() {
    sceneTimer_.SetEnabled(false);
    if (const auto timer = SceneRow(state_.Scene).Timer) timer(*this);
}

void TMainForm::LevelTimerTimer() {
    --state_.Eating.TimeLeft;
}

// ---------------------------------------------------------------------------------------------
// The frame

void TMainForm::DXTimerTimer(int32_t) {
    // 1. Nothing at all while the display cannot draw.
    if (!DXDraw.CanDraw()) return;
    // 2. Input states.
    DXInput.Update();
    // 3. Countdowns.
    for (uint8_t* counter :
         {&state_.Shell.LeftKeyDelay, &state_.Shell.RightKeyDelay, &state_.Shell.UpKeyDelay,
          &state_.Shell.ActionKeyDelay, &state_.Shell.CaretBlink})
        if (*counter > 0) --*counter;
    // 4. Aim angle of the tongue.
    UpdateTongueAim(state_.Shell, DXDraw.Surface()->Width(),
                    state_.Shell.Paused || state_.Flags.GameMainExit);
    // 5. Text caret blink.
    if (state_.Flags.GameTyping && state_.Shell.CaretBlink > kCaretBlinkFrames / 2)
        new TCaret(*this);
    if (state_.Shell.CaretBlink <= kCaretBlinkFrames / 2) {
        if (state_.Shell.CaretBlink == 0) state_.Shell.CaretBlink = kCaretBlinkFrames;
        MarkAllDead<TCaret>(Engine());
    }
    // 6. A maximized window becomes full screen.
    if (state_.Shell.ResizePending) {
        state_.Shell.ResizePending = false;
        if (platform_.GetWindowState() == WindowState::Maximized) GameFullScreenClick();
    }
    // 7. The live scene. A display switch in step 6 may leave nothing to draw on.
    if (DXDraw.CanDraw()) FrameAction();
    // A tap has had its step.
    state_.Shell.ActionTapped = false;
    keysPressedSinceStep_.reset();
    buttonPressedSinceStep_ = false;
    // 8. Present; of steps run together to catch up, only the last is worth showing.
    if (DXTimer.LastOfBatch() && DrawFrames) DXDraw.Flip();
    ++frameCount_;
    // 9. Songs of the menus restart when they wrap.
    WatchSong();
}

void TMainForm::DrawPattern(bool move) {
    if (move) SpriteEngine.Move(kTicksPerFrame);
    SpriteEngine.Sweep();
    if (!DrawFrames) return;
    // Every scene's backdrop is opaque and fills the screen: clearing under it is wasted work.
    if (!SpriteEngine.Engine.SurfaceCovered()) DXDraw.Surface()->Fill(0);
    SpriteEngine.Draw();
}

TDirectDrawSurfaceCanvas& TMainForm::TextCanvas(int size, TColor color) {
    auto& c = DXDraw.Surface()->Canvas();
    c.BrushStyle = TBrushStyle::Clear;
    c.Font.Color = color;
    c.Font.Size = size;
    c.Font.Outlined = false;
    c.Drawing = DrawFrames;
    return c;
}

int TMainForm::TextWidth(int size, const std::string& text) {
    return MeasureText(&DXDraw.Fonts(), size, text);
}

void TMainForm::PlayMusic(const std::string& name) {
    if (!state_.Flags.GameMusic) return;
    // Loading a song takes longer than the whole first frame: it waits until that is shown.
    if (!startFinished_) {
        pendingSong_ = name;
        return;
    }
    LastSongOrder = 0;
    if (Song) MusicPlayer.SongFree(Song);
    Song = 0;
    // A song still to come waits for its file, in silence: not another scene's song.
    if (!DataFileThere(SongPath(name))) {
        pendingSong_ = name;
        return;
    }
    pendingSong_.reset();
    Song = MusicPlayer.SongLoadFromFile(DataPath(SongPath(name)));
    if (Song) MusicPlayer.SongPlay(Song);
    if (Song && OnSongStarted) OnSongStarted(name);
}

std::string TMainForm::SongPath(const std::string& name) {
    return "Music/" + name + ".xm";
}

void TMainForm::StopMusic() {
    pendingSong_.reset();
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
    // The play song loops by itself; the others are started again.
    if (const char* song = SceneRow(state_.Scene).WrappingSong) PlayMusic(song);
}

void TMainForm::PlaySound(TSound sound) {
    if (!state_.Flags.GameSound) return;
    FinishStart();
    if (startFailed_ || soundsAwaited_) return; // no sounds yet: they are on their way
    DXWaveList.Items().Find(SoundFile(sound)).Play(false);
    if (OnSoundStarted) OnSoundStarted(SoundFile(sound));
}

void TMainForm::StopSound(TSound sound) {
    if (!startFinished_ || soundsAwaited_) return; // nothing has played yet
    TWaveCollection& waves = DXWaveList.Items();
    if (sound == TSound::ButtonUp) waves.Find(SoundFile(sound)).Stop();
    // Insects of one kind share one buzz: it stops with the last of them.
    if (IsInsectSound(sound) && !InsectOfSoundAlive(Engine(), sound))
        waves.Find(SoundFile(sound)).Stop();
}

void TMainForm::StopAllSounds() {
    TWaveCollection& waves = DXWaveList.Items();
    for (int i = 0; i < waves.Count(); ++i)
        waves.Items(i).Stop();
}

void TMainForm::FrameAction() {
    if (const auto frame = SceneRow(state_.Scene).Frame)
        frame(*this);
    else
        DrawPattern(true);
}

} // namespace pondlark
