// The main window: start-up, the loop, error reports, the settings file, the display and the
// handlers of the menu buttons. Input is in TMainFormInput.cpp, scenes and the frame in
// TMainFormFrame.cpp.

#include "app/TMainForm.h"

#include "app/SceneTable.h"

#include "engine/ArchiveReader.h"
#include "engine/Errors.h"
#include "game/Controls.h"
#include "game/Layout.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
#include "screens/MenuSprites.h"
#include "screens/Screens.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>

namespace pondlark {

namespace {
constexpr const char* kCaption = "PONDLARK";
constexpr const char* kPausedCaption = "PONDLARK [Pause]";
constexpr uint32_t kIdleWaitMs = 50;
// What the first scene, the intro, shows. Only these are decoded before the first frame; the
// rest decode meanwhile on the other cores.
constexpr std::array<std::string_view, 1> kFirstScenePictures{"menu"};
constexpr const char* kPictureArchive = "Data/Graphic.dxg";
constexpr const char* kSoundArchive = "Data/Music.dxw";
} // namespace

TMainForm::TMainForm(IPlatform& machine, std::string gameDir, std::string dataDir)
    : TSeamHolder(machine), TDXForm(seam_),
      DXDraw(seam_, (dataDir.empty() ? gameDir : dataDir) + "/Data/GameFont.otf"), DXInput(seam_),
      DXTimer(seam_), DXSound(seam_), sceneTimer_(seam_, kIntroMs, false),
      LevelTimer(seam_, 1000, false), platform_(seam_), gameDir_(std::move(gameDir)),
      dataDir_(dataDir.empty() ? gameDir_ : std::move(dataDir)) {
    // The window's settings: caption, display options, an 800x600 surface, the frame timer.
    platform_.SetCaption(kCaption);
    DXDraw.SetOptions({doAllowReboot, doWaitVBlank, doAllowPalette256, doStretch, doCenter, doFlip,
                       doRetainedMode, doHardware, doSelectDriver});
    DXDraw.SetDisplayWidth(kScreenWidth);
    DXDraw.SetDisplayHeight(kScreenHeight);
    DXDraw.SetDisplayBitCount(24);
    DXDraw.SetSurfaceWidth(kScreenWidth);
    DXDraw.SetSurfaceHeight(kScreenHeight);
    DXDraw.OnInitializing = [this] { DXDrawInitializing(); };
    DXDraw.OnInitialize = [this] { DXDrawInitialize(); };
    DXDraw.OnFinalize = [this] { DXDrawFinalize(); };
    DXInput.ActiveOnly = true;
    AssignPlayControls(DXInput);
    DXTimer.ActiveOnly = false;
    DXTimer.SetInterval(kFrameIntervalMs);
    DXTimer.OnTimer = [this](int32_t lag) { DXTimerTimer(lag); };
    // The stage's waits count the time the game was played: frames given up in a stall are
    // no time off the countdown or the banner.
    DXTimer.OnStall = [this](uint64_t skippedMs) {
        sceneTimer_.Postpone(skippedMs);
        LevelTimer.Postpone(skippedMs);
    };
    DXTimer.OnActivate = [this] { DXTimerActivate(); };
    DXTimer.OnDeactivate = [this] { DXTimerDeactivate(); };
    sceneTimer_.OnTimer = [this] { SceneTimerTimer(); };
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

std::unique_ptr<TEarlyPictures> TMainForm::BeginPictures(const std::string& dataDir) {
    return std::make_unique<TEarlyPictures>(
        dataDir + "/" + kPictureArchive,
        std::vector<std::string>(kFirstScenePictures.begin(), kFirstScenePictures.end()));
}

void TMainForm::SubmitResult() {
    // The table on disk holds the result whatever becomes of the transfer or the program.
    SaveConfig();
    state_.Menus.SendingFrames = 0;
    // The finished game's replay goes with it, so that the service can see the score for itself.
    sender_.Start(HttpClient, ServiceAddress, {NameEntry, CountryEntry, state_.Score}, finished_);
}

void TMainForm::Terminate() {
    if (!terminated_) EndGameRecord();
    if (ReportStats && !terminated_) std::fprintf(stderr, "%s\n", StatsLine().c_str());
    if (!terminated_) RememberWindow();
    terminated_ = true;
    // A closing game never waits for the service.
    sender_.Abandon();
}

void TMainForm::PollSending() {
    const auto outcome = sender_.TakeOutcome();
    if (!outcome) return;
    if (*outcome == TSubmitOutcome::ServiceUnavailable) ShowCannotConnect(platform_);
    if (state_.Scene == TScene::GameOver) SwitchScene(TScene::HighScores);
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
    random_.Seed(seam_.TakeSeed(
        seedFixed_ ? fixedSeed_ : static_cast<uint32_t>(platform_.Ticks() * 2654435761u)));
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

template <typename F> bool TMainForm::OrStartFails(F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        ReportError(e.what());
        startFailed_ = terminated_ = true;
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and the loop

bool TMainForm::Start() {
    // Start-up begins with the frame timer running; the sound output opens after the first
    // frame (a missing device leaves the game silent).
    DXTimer.Loaded();
    try {
        FormCreate();
        if (const std::string problem = DXDraw.Fonts().Problem(); !problem.empty())
            ReportError(problem);
        platform_.ShowWindow();
        // The display initializes itself the first time the window shows.
        if (DXDraw.AutoInitialize && !DXDraw.Initialized() && !state_.Flags.GameFullScreen)
            DXDraw.Initialize();
    } catch (const std::exception& e) {
        ReportError(e.what());
        return false;
    }
    // The first frame is due an interval after the platform was created, however long the
    // loading took; a start that took longer shows it at once instead of running the steps it
    // missed.
    DXTimer.DueNoLaterThan(kFrameIntervalMs);
    DXTimer.StoodStill();
    return true;
}

void TMainForm::FormCreate() {
    state_.Shell.ResizePending = false;
    SeedRandom();
    state_.Eating.StorkAllowed = false;
    platform_.SetCursor(Cursor::Hidden);
    const std::unique_ptr<TEarlyPictures> early = std::move(earlyPictures_);
    if (early && early->Path() == DataPath(kPictureArchive))
        ImageList.Items.LoadFromFile(*early);
    else
        ImageList.Items.LoadFromFile(DataPath(kPictureArchive), kFirstScenePictures);
    state_.GameOverPending = false;
    state_.Shell.AimCentred = false;
    state_.Pond.PondRunning = true;
    state_.Pond.FrogDead = false;
    state_.Shell.Paused = false;
    state_.Shell.AppInactive = false;
    state_.Flags = TCommandFlags{};
    ResetHighScores();
    ReadConfig();
    SwitchScene(TScene::Intro);
    created_ = true;
}

void TMainForm::CollectPictures() {
    if (!ImageList.Items.Loading()) return;
    if (!OrStartFails([&] { ImageList.Items.FinishLoading(); })) return;
    ImageList.Items.BuildColorTable();
    DXDraw.ColorTable = DXDraw.DefColorTable = ImageList.Items.ColorTable;
    DXDraw.UpdatePalette();
}

void TMainForm::FinishStart() {
    if (startFinished_ || startFailed_) return;
    startFinished_ = true;
    const bool loaded = OrStartFails([&] {
        DXSound.Loaded();
        if (DXDraw.Initialized()) LoadSoundsWhenThere();
    });
    if (loaded) PlayPendingSong();
}

void TMainForm::TakeUpLaterFiles() {
    // As at the start: a damaged sound archive ends the game with its message.
    if (soundsAwaited_ && !OrStartFails([&] { LoadSoundsWhenThere(); })) return;
    if (pendingSong_ && DataFileThere(SongPath(*pendingSong_))) PlayPendingSong();
}

void TMainForm::PlayPendingSong() {
    if (!pendingSong_) return;
    const std::string song = std::move(*pendingSong_);
    pendingSong_.reset();
    PlayMusic(song);
}

void TMainForm::LoadSounds() {
    DXWaveList.Items().LoadFromFile(DataPath(kSoundArchive));
}

bool TMainForm::DataFileThere(const std::string& relative) const {
    std::error_code ec;
    return !SoundsMayComeLater || std::filesystem::exists(DataPath(relative), ec);
}

void TMainForm::LoadSoundsWhenThere() {
    soundsAwaited_ = !DataFileThere(kSoundArchive);
    if (!soundsAwaited_) LoadSounds();
}

void TMainForm::ResetHighScores() {
    state_.HighScores = DefaultHighScores();
    SwitchScene(TScene::HighScores);
}

namespace {
constexpr const char* kSettingsFile = "Settings.cfg";
constexpr const char* kHintsKey = "first-game-hints";
} // namespace

void TMainForm::ReadConfig() {
    ReadPlayerSettingsFile();

    std::optional<TConfigValues> values;
    try {
        values = pondlark::ReadConfig(GamePath("Config.cfg"), state_.HighScores);
    } catch (const EFOpenError& e) {
        ReportError(e.what()); // something else than a settings file stands there: defaults
    }
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
    if (!values->Music) state_.Flags.GameMusic = false;
    if (!values->Sound) state_.Flags.GameSound = false;
    CountryEntry = state_.Country = values->Country;
    NameEntry = state_.PlayerName = values->PlayerName;
    state_.HighScores = values->HighScores;
    for (int line : values->DamagedLines)
        std::fprintf(stderr, "pondlark: Config.cfg line %d is damaged; its default stays\n", line);
}

void TMainForm::SaveConfig() {
    state_.Country = CountryEntry;
    state_.PlayerName = NameEntry;
    try {
        WriteConfigFile(GamePath("Config.cfg"),
                        FormatConfig({.FullScreen = state_.Flags.GameFullScreen,
                                      .Music = state_.Flags.GameMusic,
                                      .Sound = state_.Flags.GameSound,
                                      .Country = state_.Country,
                                      .PlayerName = state_.PlayerName,
                                      .HighScores = state_.HighScores}));
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void TMainForm::ReadPlayerSettingsFile() {
    std::string problem;
    std::vector<std::string> warnings;
    settings_ = ReadSettings(GamePath(kSettingsFile), problem, &warnings);
    if (!problem.empty()) ReportError(problem);
    state_.Hints.FirstGame = settings_.Flag(kHintsKey, true);
    player_ = ReadPlayerSettings(settings_, warnings);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "pondlark: %s %s; ignored\n", kSettingsFile, warning.c_str());
    DXSound.Mixer().SetMusicVolume(player_.musicVolume);
    DXSound.Mixer().SetSoundVolume(player_.soundVolume);
    platform_.SetScaling(player_.scaling);
    // Before a full screen from Config.cfg, so the way back from it leads here. A display
    // initialization makes the window normal; the maximized state comes after the first.
    if (player_.window) {
        WindowPlacement normal = *player_.window;
        maximizeOnce_ = normal.state == WindowState::Maximized;
        normal.state = WindowState::Normal;
        platform_.SetPlacement(normal);
    }
    savedSettings_ = FormatSettings(settings_);
}

void TMainForm::RestoreMaximizedOnce() {
    if (!maximizeOnce_ || DXDraw.Options().Has(doFullScreen)) return;
    maximizeOnce_ = false;
    platform_.SetWindowState(WindowState::Maximized);
}

void TMainForm::RememberWindow() {
    if (!created_) return;
    player_.window = platform_.GetPlacement();
    StorePlayerSettings(player_, settings_);
    // A game that changed nothing leaves the file as it was (or absent).
    if (FormatSettings(settings_) != savedSettings_) SaveSettings();
}

void TMainForm::SaveSettings() {
    settings_.SetFlag(kHintsKey, state_.Hints.FirstGame);
    const std::string contents = FormatSettings(settings_);
    if (std::string error = WriteSettingsFile(GamePath(kSettingsFile), contents); !error.empty())
        ReportError(error);
    else
        savedSettings_ = contents;
}

uint32_t TMainForm::WaitBudget() const {
    if (viewer_) return viewerWait_;
    uint32_t wait = DXTimer.MillisecondsToNextTick(kIdleWaitMs);
    wait = std::min(wait, sceneTimer_.MillisecondsToNext(kIdleWaitMs));
    wait = std::min(wait, LevelTimer.MillisecondsToNext(kIdleWaitMs));
    return wait;
}

void TMainForm::Pump() {
    seam_.BeginPass();
    if (seam_.CurrentMode() == TReplaySeam::Mode::Recording) seam_.SetPassDue(WaitBudget() == 0);
    if (frameCount_ > 0) {
        CollectPictures();
        FinishStart();
        if (startFinished_ && !startFailed_) Guarded([&] { TakeUpLaterFiles(); });
    }
    if (terminated_) return;
    PlatformEvent event;
    while (!terminated_ && platform_.PollEvent(event))
        Guarded([&] { Dispatch(event); });
    if (terminated_) return;
    Guarded([&] { PollControllers(); });
    Guarded([&] { PollSending(); });
    if (terminated_) return;
    if (viewer_) {
        // The scene under the replay stands still, its timers too.
        Guarded([&] { PassViewer(); });
        return;
    }
    Guarded([&] { DXTimer.GiveUpStall(); });
    Guarded([&] { sceneTimer_.Poll(); });
    Guarded([&] { LevelTimer.Poll(); });
    Guarded([&] { DXTimer.Idle(); });
    if (!firstFrameAt_ && frameCount_ > 0) {
        firstFrameAt_ = platform_.Ticks();
        // The pictures the first frame did not need are checked while the next one is due.
        ImageList.Items.BeginChecking();
    }
}

std::string TMainForm::StatsLine() {
    const uint64_t elapsed = firstFrameAt_ ? platform_.Ticks() - *firstFrameAt_ : 0;
    return "stats: steps " + std::to_string(frameCount_) + " presented " +
           std::to_string(platform_.FramesShown()) + " elapsed_ms " + std::to_string(elapsed);
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
    if (viewer_) {
        // The pointer belongs to the replay; a press leaves one that is over. The close box
        // leaves it and then does what it does on the screen under it.
        if (e.type == PlatformEvent::Type::MouseDown && viewer_->Over()) LeaveViewer();
        if (e.type == PlatformEvent::Type::Close) LeaveViewer();
        if (e.type == PlatformEvent::Type::MouseMove) {
            state_.Shell.MouseX = e.x;
            state_.Shell.MouseY = e.y;
        }
        if (e.type == PlatformEvent::Type::MouseMove || e.type == PlatformEvent::Type::MouseDown ||
            e.type == PlatformEvent::Type::MouseUp)
            return;
    }
    switch (e.type) {
    case PlatformEvent::Type::KeyDown:
        DXInput.NotePress(e.key);
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
        DXSound.AppActivate(true);
        DXTimer.AppActivate(true);
        break;
    case PlatformEvent::Type::FocusLost:
        keysHeld_.reset(); // releases made in another window never reach us
        DXSound.AppActivate(false);
        DXTimer.AppActivate(false);
        break;
    case PlatformEvent::Type::Close:
        FormClose();
        break;
    case PlatformEvent::Type::Resize:
        FormResize();
        break;
    case PlatformEvent::Type::Quit:
        Terminate();
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Window and display handlers

void TMainForm::FormClose() {
    // The close box never closes the game: it asks the exit question where there is one.
    if (!state_.Flags.GameMainExit) {
        state_.Shell.Paused = false;
        GameMainExitClick();
    }
}

void TMainForm::FormResize() {
    state_.Shell.ResizePending = true;
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
    RestoreMaximizedOnce();
    // The timer runs from the start of Start(), so the first frame's interval passes while the
    // pictures load instead of after them; only a display switch, which stopped it, restarts it.
    if (!DXTimer.Enabled()) DXTimer.SetEnabled(true);
    // Reloaded on every initialization: a display switch also rebuilds the sound buffers. Before
    // the first frame only its reading is checked, so a missing archive still stops start-up.
    if (startFinished_)
        LoadSoundsWhenThere();
    else if (DataFileThere(kSoundArchive))
        CheckReadableFile(DataPath(kSoundArchive));
}

void TMainForm::DXDrawFinalize() {
    DXTimer.SetEnabled(false);
}

void TMainForm::DXTimerActivate() {
    state_.Shell.AppInactive = false;
    platform_.SetCaption(kCaption);
}

void TMainForm::DXTimerDeactivate() {
    state_.Shell.AppInactive = true;
    platform_.SetCaption(kPausedCaption);
}

void TMainForm::GameFullScreenClick() {
    state_.Flags.GameFullScreen = !state_.Flags.GameFullScreen;
    if (state_.Flags.GameTyping) state_.Menus.TypingInterrupted = true;
    state_.Flags.GameTyping = false;
    if (state_.Flags.GameFullScreen) {
        DXDraw.Finalize();
        if (!DXDraw.Options().Has(doFullScreen)) StoreWindowPlacement();
        TDXDrawOptions o = DXDraw.Options();
        o.Add(doFullScreen);
        DXDraw.SetOptions(o);
        DXDraw.SetDisplayWidth(kScreenWidth);
        DXDraw.SetDisplayHeight(kScreenHeight);
        DXDraw.SetDisplayBitCount(16);
        DXDraw.Initialize();
    } else {
        DXDraw.Finalize();
        if (DXDraw.Options().Has(doFullScreen)) RestoreWindowPlacement();
        TDXDrawOptions o = DXDraw.Options();
        o.Remove(doFullScreen);
        DXDraw.SetOptions(o);
        DXDraw.SetSurfaceWidth(kScreenWidth);
        DXDraw.SetSurfaceHeight(kScreenHeight);
        DXDraw.SetDisplayWidth(kScreenWidth);
        DXDraw.SetDisplayHeight(kScreenHeight);
        DXDraw.SetDisplayBitCount(16);
        DXDraw.Initialize();
        platform_.SetWindowState(WindowState::Normal);
    }
}

void TMainForm::GameMainExitClick() {
    if (!SceneRow(state_.Scene).ExitQuestion) return;
    if (state_.Shell.Paused) return;
    state_.Flags.GameMainExit = !state_.Flags.GameMainExit;
    state_.Pond.LevelBanner = false;
    LevelTimer.SetEnabled(!LevelTimer.Enabled());
    if (state_.Flags.GameMainExit) {
        platform_.SetCaption(kPausedCaption);
        platform_.SetCursor(Cursor::Hand);
        PlaySound(TSound::Pause);
        ShowExitQuestion(*this);
    } else {
        platform_.SetCaption(kCaption);
        platform_.SetCursor(Cursor::Hidden);
        PlaySound(TSound::AfterPause);
        HideExitQuestion(*this);
    }
}

void TMainForm::GameEnterNameClick() {
    state_.Flags.GameEnterName = !state_.Flags.GameEnterName;
    if (!state_.Flags.GameEnterName) return;
    new TNamePanel(*this);
    state_.Flags.GameTyping = NameEntry.empty();
    state_.Menus.TypingInterrupted = false;
}

void TMainForm::GameSendResultClick() {
    state_.Flags.GameSendResult = !state_.Flags.GameSendResult;
    MarkAllDead<TSendTick>(Engine());
    if (state_.Flags.GameSendResult) new TSendTick(*this);
}

void TMainForm::GameClearHighScoreClick() {
    state_.Flags.GameClearHighScore = !state_.Flags.GameClearHighScore;
    if (state_.Flags.GameClearHighScore) {
        ResetQuestionCursor(*this);
        new TScreenDim(*this);
        new TClearPanel(*this);
        new TClearWord(*this);
    } else {
        MarkAllDead<TMenu>(Engine());
        MarkAllDead<TMenuGame>(Engine());
    }
}

} // namespace pondlark
