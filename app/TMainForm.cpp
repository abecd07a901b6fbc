#include "app/TMainForm.h"

#include "engine/Errors.h"
#include "game/EatingStage.h"
#include "game/Insects.h"
#include "game/PondStage.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "platform/VirtualKeys.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace pondlark {

namespace {
constexpr const char* kCaption = "PONDLARK";
constexpr const char* kPausedCaption = "PONDLARK [Pause]";
constexpr uint32_t kIdleWaitMs = 50;
} // namespace

TMainForm::TMainForm(IPlatform& platform, std::string gameDir, std::string dataDir)
    : TDXForm(platform),
      DXDraw(platform, (dataDir.empty() ? gameDir : dataDir) + "/Data/GameFont.otf"),
      DXInput(platform), DXTimer(platform), DXSound(platform), Timer1(platform, 2000, false),
      LevelTimer(platform, 1000, false), platform_(platform), gameDir_(std::move(gameDir)),
      dataDir_(dataDir.empty() ? gameDir_ : std::move(dataDir)) {
    // The window resource's settings.
    platform_.SetCaption(kCaption);
    DXDraw.SetOptions({doAllowReboot, doWaitVBlank, doAllowPalette256, doStretch, doCenter, doFlip,
                       doRetainedMode, doHardware, doSelectDriver});
    DXDraw.SetDisplayWidth(800);
    DXDraw.SetDisplayHeight(600);
    DXDraw.SetDisplayBitCount(24);
    DXDraw.SetSurfaceWidth(800);
    DXDraw.SetSurfaceHeight(600);
    DXDraw.OnInitializing = [this] { DXDrawInitializing(); };
    DXDraw.OnInitialize = [this] { DXDrawInitialize(); };
    DXDraw.OnFinalize = [this] { DXDrawFinalize(); };
    DXInput.ActiveOnly = true;
    DXInput.AssignDefaultKeys();
    DXTimer.ActiveOnly = false;
    DXTimer.SetInterval(30);
    DXTimer.OnTimer = [this](int32_t lag) { DXTimerTimer(lag); };
    DXTimer.OnActivate = [this] { DXTimerActivate(); };
    DXTimer.OnDeactivate = [this] { DXTimerDeactivate(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    LevelTimer.OnTimer = [this] { LevelTimerTimer(); };
    ImageList.SetDXDraw(&DXDraw);
    SpriteEngine.SetDXDraw(&DXDraw);
    DXWaveList.SetDXSound(&DXSound);
}

TMainForm::~TMainForm() {
    // The sprites and surfaces go before the display they draw on.
    DXDraw.OnFinalize = nullptr;
    DXDraw.Finalize();
}

std::string TMainForm::GamePath(const std::string& relative) const {
    return gameDir_ + "/" + relative;
}

std::string TMainForm::DataPath(const std::string& relative) const {
    return dataDir_ + "/" + relative;
}

void TMainForm::SubmitResult() {
    pondlark::SubmitResult(platform_, IdHTTP1, ServiceAddress, Edit2, State.Score, Edit1);
}

void TMainForm::GoWeb(const std::string& url) {
    pondlark::GoWeb(platform_, url);
}

std::string TMainForm::HomePageUrl() const {
    return pondlark::HomePageUrl(ServiceAddress);
}

std::string TMainForm::OnlineHighScoresUrl() const {
    return pondlark::OnlineHighScoresUrl(ServiceAddress);
}

void TMainForm::SeedRandom() {
    Random.Seed(seedFixed_ ? fixedSeed_ : static_cast<uint32_t>(platform_.Ticks() * 2654435761u));
}

// ---------------------------------------------------------------------------------------------
// Errors

void TMainForm::ReportError(const std::string& message) {
    if (!reported_.insert(message).second) return;
    reportedOrder_.push_back(message);
    std::fprintf(stderr, "pondlark: %s\n", message.c_str());
    if (reportedOrder_.size() == 1) platform_.MessageBox(kCaption, message);
}

template <typename F> void TMainForm::Guarded(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and the loop

bool TMainForm::Start() {
    // Loading the window ends with the frame timer started (it is enabled in the resource) and
    // the sound output open (a missing device leaves the game silent).
    DXTimer.Loaded();
    DXSound.Loaded();
    try {
        FormCreate();
        platform_.ShowWindow();
        // The display initializes itself the first time the window shows.
        if (DXDraw.AutoInitialize && !DXDraw.Initialized() && !State.Flags.GameFullScreen)
            DXDraw.Initialize();
    } catch (const std::exception& e) {
        ReportError(e.what());
        return false;
    }
    return true;
}

void TMainForm::FormCreate() {
    State.ResizePending = false;
    SeedRandom();
    State.StorkAllowed = false;
    platform_.SetCursor(Cursor::Hidden);
    ImageList.Items.LoadFromFile(DataPath("Data/Graphic.dxg"));
    ImageList.Items.BuildColorTable();
    DXDraw.ColorTable = DXDraw.DefColorTable = ImageList.Items.ColorTable;
    DXDraw.UpdatePalette();
    State.GameOverPending = false;
    State.AimCentred = false;
    State.PondRunning = true;
    State.FrogDead = false;
    State.Paused = false;
    State.AppInactive = false;
    State.Flags = TCommandFlags{};
    ResetHighScores();
    ReadConfig();
    SwitchScene(1);
}

void TMainForm::ResetHighScores() {
    State.HighScores = DefaultHighScores();
    SwitchScene(7);
}

void TMainForm::ReadConfig() {
    auto values = pondlark::ReadConfig(GamePath("Config.cfg"), State.HighScores);
    if (!values) return;
    if (values->FullScreen) {
        // A refused mode is reported and leaves the display released; Alt+Enter brings the
        // window back, so start-up goes on.
        try {
            GameFullScreenClick();
        } catch (const std::exception& e) {
            ReportError(e.what());
        }
    }
    if (!values->Music) State.Flags.GameMusic = false;
    if (!values->Sound) State.Flags.GameSound = false;
    Edit1 = State.Country = values->Country;
    Edit2 = State.PlayerName = values->PlayerName;
    State.HighScores = values->HighScores;
    for (int line : values->DamagedLines)
        std::fprintf(stderr, "pondlark: Config.cfg line %d is not a score; the default stays\n",
                     line);
}

void TMainForm::SaveConfig() {
    State.Country = Edit1;
    State.PlayerName = Edit2;
    try {
        WriteConfigFile(GamePath("Config.cfg"),
                        FormatConfig(State.Flags.GameFullScreen, State.Flags.GameMusic,
                                     State.Flags.GameSound, State.Country, State.PlayerName,
                                     State.HighScores));
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

uint32_t TMainForm::WaitBudget() const {
    uint32_t wait = DXTimer.MillisecondsToNextTick(kIdleWaitMs);
    wait = std::min(wait, Timer1.MillisecondsToNext(kIdleWaitMs));
    wait = std::min(wait, LevelTimer.MillisecondsToNext(kIdleWaitMs));
    return wait;
}

void TMainForm::Pump() {
    PlatformEvent event;
    while (!terminated_ && platform_.PollEvent(event))
        Guarded([&] { Dispatch(event); });
    if (terminated_) return;
    Guarded([&] { Timer1.Poll(); });
    Guarded([&] { LevelTimer.Poll(); });
    Guarded([&] { DXTimer.Idle(); });
}

void TMainForm::Run() {
    while (!terminated_) {
        Pump();
        if (!terminated_) platform_.WaitEvent(WaitBudget());
    }
}

void TMainForm::RunFor(uint64_t ms) {
    const uint64_t end = platform_.Ticks() + ms;
    while (!terminated_) {
        Pump();
        const uint64_t now = platform_.Ticks();
        if (now >= end) break;
        const uint32_t wait = static_cast<uint32_t>(std::min<uint64_t>(WaitBudget(), end - now));
        platform_.WaitEvent(std::max<uint32_t>(wait, 1));
    }
}

void TMainForm::Dispatch(const PlatformEvent& e) {
    const TShiftState shift{e.alt, e.ctrl, e.shift};
    switch (e.type) {
    case PlatformEvent::Type::KeyDown:
        FormKeyDown(e.key, shift);
        break;
    case PlatformEvent::Type::KeyUp:
        FormKeyUp(e.key, shift);
        break;
    case PlatformEvent::Type::MouseMove:
        DXDrawMouseMove(shift, e.x, e.y);
        break;
    case PlatformEvent::Type::MouseDown:
        DXDrawMouseDown(e.button, shift, e.x, e.y);
        break;
    case PlatformEvent::Type::MouseUp:
        DXDrawMouseUp(e.button, shift, e.x, e.y);
        break;
    case PlatformEvent::Type::FocusGained:
        DXTimer.AppActivate(true);
        break;
    case PlatformEvent::Type::FocusLost:
        DXTimer.AppActivate(false);
        break;
    case PlatformEvent::Type::Close:
        FormClose();
        break;
    case PlatformEvent::Type::Resize:
        FormResize();
        break;
    case PlatformEvent::Type::Quit:
        terminated_ = true;
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Window and display handlers

void TMainForm::FormClose() {
    // The close box never closes the game: it asks the exit question where there is one.
    if (!State.Flags.GameMainExit) {
        State.Paused = false;
        GameMainExitClick();
    }
}

void TMainForm::FormResize() {
    State.ResizePending = true;
}

void TMainForm::DXDrawInitializing() {
    if (DXDraw.Options().Has(doFullScreen)) {
        platform_.SetBorder(false);
    } else {
        platform_.SetWindowState(WindowState::Normal);
        platform_.SetBorder(true);
    }
}

void TMainForm::DXDrawInitialize() {
    platform_.SetWindowState(WindowState::Normal);
    DXTimer.SetEnabled(true);
    // Reloaded on every initialization: a display switch also rebuilds the sound buffers.
    DXWaveList.Items().LoadFromFile(DataPath("Data/Music.dxw"));
}

void TMainForm::DXDrawFinalize() {
    DXTimer.SetEnabled(false);
}

void TMainForm::DXTimerActivate() {
    State.AppInactive = false;
    platform_.SetCaption(kCaption);
}

void TMainForm::DXTimerDeactivate() {
    State.AppInactive = true;
    platform_.SetCaption(kPausedCaption);
}

void TMainForm::GameFullScreenClick() {
    State.Flags.GameFullScreen = !State.Flags.GameFullScreen;
    State.Flags.GamegoEdit = false;
    if (State.Flags.GameFullScreen) {
        DXDraw.Finalize();
        if (!DXDraw.Options().Has(doFullScreen)) StoreWindowPlacement();
        TDXDrawOptions o = DXDraw.Options();
        o.Add(doFullScreen);
        DXDraw.SetOptions(o);
        DXDraw.SetDisplayWidth(800);
        DXDraw.SetDisplayHeight(600);
        DXDraw.SetDisplayBitCount(16);
        DXDraw.Initialize();
    } else {
        DXDraw.Finalize();
        if (DXDraw.Options().Has(doFullScreen)) RestoreWindowPlacement();
        TDXDrawOptions o = DXDraw.Options();
        o.Remove(doFullScreen);
        DXDraw.SetOptions(o);
        DXDraw.SetSurfaceWidth(800);
        DXDraw.SetSurfaceHeight(600);
        DXDraw.SetDisplayWidth(800);
        DXDraw.SetDisplayHeight(600);
        DXDraw.SetDisplayBitCount(16);
        DXDraw.Initialize();
        platform_.SetWindowState(WindowState::Normal);
    }
}

void TMainForm::GameMainExitClick() {
    if (State.Scene != 2 && State.Scene != 3 && State.Scene != 4) return;
    if (State.Paused) return;
    State.Flags.GameMainExit = !State.Flags.GameMainExit;
    State.LevelBanner = false;
    LevelTimer.SetEnabled(!LevelTimer.Enabled());
    if (State.Flags.GameMainExit) {
        platform_.SetCaption(kPausedCaption);
        platform_.SetCursor(Cursor::Hand);
        PlaySound("pause");
        ShowExitQuestion(*this);
    } else {
        platform_.SetCaption(kCaption);
        platform_.SetCursor(Cursor::Hidden);
        PlaySound("after_pause");
        HideExitQuestion(*this);
    }
}

void TMainForm::GameEnterNameClick() {
    State.Flags.GameEnterName = !State.Flags.GameEnterName;
    if (!State.Flags.GameEnterName) return;
    new TEnter_Name(*this);
    State.Flags.GamegoEdit = Edit2.empty();
}

void TMainForm::GameSendResultClick() {
    State.Flags.GameSendResult = !State.Flags.GameSendResult;
    MarkAllDead<TEnter_Name_Send>(Engine());
    if (State.Flags.GameSendResult) new TEnter_Name_Send(*this);
}

void TMainForm::GameClearHighScoreClick() {
    State.Flags.GameClearHighScore = !State.Flags.GameClearHighScore;
    if (State.Flags.GameClearHighScore) {
        new TClearHighScore(*this);
        new TClearHighScore_Word(*this);
    } else {
        MarkAllDead<TMenu>(Engine());
        MarkAllDead<TMenuGame>(Engine());
    }
}

// ---------------------------------------------------------------------------------------------
// Input

void TMainForm::FormKeyDown(int key, TShiftState shift) {
    const bool enter = key == vk::Return && !shift.Alt;
    switch (State.Scene) {
    case 1:
        if (key == vk::Escape || enter) SwitchScene(2);
        break;
    case 2:
        if (key == vk::Escape)
            GameMainExitClick();
        else if (enter)
            SwitchScene(3);
        break;
    case 3:
        if (key == 'P' && !State.Flags.GameMainExit) {
            State.Paused = !State.Paused;
            State.LevelBanner = false;
            Timer1.SetEnabled(!Timer1.Enabled());
        }
        State.ActionKey = key == vk::Space || shift.Ctrl || enter;
        if (key == vk::Escape && !State.Paused) GameMainExitClick();
        break;
    case 4:
        if (shift.Ctrl) State.ActionKey = true;
        if (key == 'P' && !State.Flags.GameMainExit) {
            State.Paused = !State.Paused;
            LevelTimer.SetEnabled(!LevelTimer.Enabled());
        }
        if (key == vk::Escape && !State.Paused) GameMainExitClick();
        break;
    case 5:
        if (key == vk::Escape) SwitchScene(2);
        break;
    case 6:
        OptionsKey(*this, key);
        break;
    case 7:
        HighScoresKey(*this, key);
        break;
    case 9:
        NameEntryKey(*this, key, shift.Alt);
        break;
    default:
        break;
    }
    if (shift.Alt && key == vk::Return) GameFullScreenClick();
}

void TMainForm::FormKeyUp(int, TShiftState) {
    State.ActionKey = false;
}

void TMainForm::DXDrawMouseMove(TShiftState, int x, int y) {
    MenuPointerMove(*this, x, y);
    switch (State.Scene) {
    case 2:
        MainMenuHover(*this);
        break;
    case 3:
    case 4:
        if (State.Scene == 4) State.AimCentred = false;
        platform_.SetCursor(Cursor::Hidden);
        if (State.Flags.GameMainExit) {
            platform_.SetCursor(Cursor::Arrow);
            ExitQuestionHover(*this);
        }
        break;
    case 5:
        HelpHover(*this);
        break;
    case 6:
        OptionsHover(*this);
        break;
    case 7:
        HighScoresHover(*this);
        break;
    case 9:
        NameEntryHover(*this);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseDown(MouseButton button, TShiftState, int, int) {
    switch (State.Scene) {
    case 1:
        if (button == MouseButton::Left) {
            SwitchScene(2);
            Timer1.SetEnabled(false);
        }
        break;
    case 2:
        MainMenuPress(*this, button);
        break;
    case 3:
        if (State.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case 4:
        State.ActionKey = true;
        if (State.Flags.GameMainExit) ExitQuestionPress(*this, button);
        break;
    case 5:
        HelpPress(*this, button);
        break;
    case 6:
        OptionsPress(*this, button);
        break;
    case 7:
        HighScoresPress(*this, button);
        break;
    case 9:
        NameEntryPress(*this, button);
        break;
    default:
        break;
    }
}

void TMainForm::DXDrawMouseUp(MouseButton, TShiftState, int, int) {
    State.ActionKey = false;
}

// ---------------------------------------------------------------------------------------------
// Scenes

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
    DXDraw.Surface()->Fill(0);
    SpriteEngine.Draw();
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
