// The main window: start-up, the loop, error reports, the settings file, the display and the
// handlers of the menu buttons. Input is in TMainFormInput.cpp, scenes and the frame in
// TMainFormFrame.cpp.

#include "app/TMainForm.h"

#include "engine/Errors.h"
#include "persist/Config.h"
#include "persist/HighScores.h"
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
        if (const std::string problem = DXDraw.Fonts().Problem(); !problem.empty())
            ReportError(problem);
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
    std::optional<TConfigValues> values;
    try {
        values = pondlark::ReadConfig(GamePath("Config.cfg"), State.HighScores);
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
    if (!values->Music) State.Flags.GameMusic = false;
    if (!values->Sound) State.Flags.GameSound = false;
    Edit1 = State.Country = values->Country;
    Edit2 = State.PlayerName = values->PlayerName;
    State.HighScores = values->HighScores;
    for (int line : values->DamagedLines)
        std::fprintf(stderr, "pondlark: Config.cfg line %d is damaged; its default stays\n", line);
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

} // namespace pondlark
