// The main window: owns every component and the game state, runs start-up, the frame loop, the
// scene machine and the input dispatch.
//
// One instance lives from start to end. Everything runs on the caller's thread: `Run` is the
// real loop; tests and tools drive the same loop step by step with `RunFor` on a headless
// platform. `Config.cfg` lives in `gameDir`; the game's data (Data/, Music/) is read from
// `dataDir`, which is `gameDir` itself unless given: an installed game keeps its data in a
// read-only folder and the player's settings in a folder of its own.
//
// Errors: an error during start-up makes `Start` return false after reporting it (standard
// error and a message box). An error inside a frame or an event is reported once per distinct
// message and the loop goes on.
#pragma once

#include "app/PadKeys.h"
#include "app/ReplayPlayer.h"
#include "audio/TMusicPlayer.h"
#include "engine/TDXDraw.h"
#include "engine/TDXImageList.h"
#include "engine/TDXInput.h"
#include "engine/TDXSound.h"
#include "engine/TDXSpriteEngine.h"
#include "engine/TDXTimer.h"
#include "engine/TDXWaveList.h"
#include "engine/TRandom.h"
#include "engine/TWindowTimer.h"
#include "game/GameState.h"
#include "http/THttpClient.h"
#include "persist/ResultSender.h"
#include "persist/Settings.h"
#include "persist/WebService.h"
#include "platform/Platform.h"
#include "platform/Replay.h"
#include "platform/ReplaySeam.h"
#include "screens/MenuHost.h"

#include <bitset>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace pondlark {

struct TShiftState {
    bool Alt = false, Ctrl = false, Shift = false;
};

// The seam every part of the form reaches the machine through, made before any of them.
struct TSeamHolder {
    explicit TSeamHolder(IPlatform& machine) : seam_(machine) {}
    TReplaySeam seam_;
};

// The one type that knows every part of the game: it is the sprites' play world, the stages'
// host and the menus' host, and only app/ sees it.
class TMainForm final : private TSeamHolder, public TDXForm, public IMenuHost {
public:
    // The platform outlives the form; the form reaches it through its replay seam. The random
    // generator is seeded from the clock, as the game always does, unless `FixRandomSeed` fixes
    // it for tests and replays.
    TMainForm(IPlatform& platform, std::string gameDir, std::string dataDir = {});
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Start-up and showing the window. False when start-up failed (already reported). The
    // pictures the first scene does not show may still be decoding afterwards: they are
    // collected after the first frame or before the next scene, whichever comes first, and a
    // damaged one ends the loop there with its message (`StartFailed`). What the first frame
    // does not need waits until it is shown (`FinishStart`): the sound output, the sound
    // archive (Start only checks it can be read) and the first song, which a song observer
    // hears of then.
    bool Start();
    bool StartFailed() const { return startFailed_; }
    // The pictures of the data folder `dataDir` (as this class is given it) begun before the
    // game exists: the program starts reading them before it opens its window, and `Start`
    // takes them when they are this game's (else it reads its own).
    static std::unique_ptr<TEarlyPictures> BeginPictures(const std::string& dataDir);
    void UseEarlyPictures(std::unique_ptr<TEarlyPictures> early) {
        earlyPictures_ = std::move(early);
    }
    // The real loop, until the player confirms the exit question or the process is asked to end.
    void Run();
    // Runs the loop for `ms` of platform time (headless: the clock moves on by itself).
    void RunFor(uint64_t ms);
    // One pass of the loop: events, window timers, the frame timer. Does not wait.
    void Pump();
    // How long the loop may wait for events before the next timer or frame is due (ms).
    uint32_t WaitBudget() const;
    bool Terminated() const { return terminated_; }
    // Number of frames the frame handler has drawn (not counting skipped ones).
    uint64_t FrameCount() const { return frameCount_; }
    // The pace the player got: "stats: steps N presented M elapsed_ms T", the steps run, the
    // frames handed to the window system and the milliseconds since the first frame.
    std::string StatsLine();
    // Writes `StatsLine` to standard error when the game ends normally (the exit question, or
    // the system asking the game to quit); set by PONDLARK_STATS=1.
    bool ReportStats = false;
    // The sound archive and the songs of play and game over may come after the start: a page
    // fetches them beside its first frames. Until a file is there the game plays on without it
    // (no sound effects; a song waits), and takes it up on the pass it appears; a file that is
    // missing is then no error at start-up. Off (the desktop), a missing sound archive stops
    // start-up with its message.
    bool SoundsMayComeLater = false;
    // Fixed seed for the next seeding (start-up and each pond build) instead of the clock.
    void FixRandomSeed(uint32_t seed) { fixedSeed_ = seed, seedFixed_ = true; }

    // Replays. Every game from Start Game to its end is recorded while `RecordGames` is on;
    // `FinishedReplay` is the last one, its trailer's end, score, level and steps filled (and
    // the name and country once kept in the table; the token is for whoever sends it). The
    // replay of each entry of the local table is kept in the Replays/ folder beside Config.cfg
    // (persist/ReplayFiles.h); a folder that cannot be written costs the replay only, said once.
    bool RecordGames = true;
    // Off, the steps run their rules and draw nothing (no sprite, no text, no frame handed to
    // the window): a game played only for its result.
    bool DrawFrames = true;
    const std::optional<TReplay>& FinishedReplay() const { return finished_; }
    // Plays `replay` from its start: the form must be started, its first frame shown, and no
    // game under way; it then stands where the recorded game stood at Start Game. Its inputs
    // must have passed ParseReplay. False when the recorded start cannot be read (nothing
    // changed then). The caller then pumps until `ReplayEnd` or a mismatch of the seam.
    bool BeginReplay(const TReplay& replay);
    // The end the played replay reached (None while it runs) and its steps so far.
    TReplayEnd ReplayEnd() const { return replayEnd_; }
    uint64_t ReplaySteps() const {
        return replayEnd_ == TReplayEnd::None ? frameCount_ - recordFrom_ : replaySteps_;
    }
    TReplaySeam& Seam() { return seam_; }
    // The Replays/ folder beside Config.cfg.
    std::string ReplaysFolder() const;
    void KeepReplay(int place) override;
    bool HasReplay(int place) override;
    // The replay is shown by a game of its own in this window (TReplayViewer, as a guest):
    // while it runs this form's scene stands still and draws nothing, and the keys are the
    // viewer's: P (the controller's Start) pauses, Esc (B, Back) leaves; once it is over, Enter,
    // Space or a click leaves too. The scene then goes on where it stood.
    void WatchReplay(int place) override;
    bool WatchingReplay() const { return viewer_ != nullptr; }
    // How the last replay watched went, once it was left.
    const std::optional<TPlayedReplay>& LastWatched() const { return lastWatched_; }

    // Components.
    IPlatform& Platform() { return platform_; }
    // Declared in dependency order: whatever binds to the display or the sound output goes
    // before it on destruction.
    TDXDraw DXDraw;
    TDXImageList ImageList;
    TDXInput DXInput;
    TDXTimer DXTimer;
    TDXSpriteEngine SpriteEngine;
    TDXSound DXSound;
    TDXWaveList DXWaveList;
    TMusicPlayer MusicPlayer{DXSound.Mixer()};
    // The loaded song (0 = none) and the last non-zero order it reported.
    SongHandle Song = 0;
    int32_t LastSongOrder = 0;
    TWindowTimer sceneTimer_;
    TWindowTimer LevelTimer;
    std::string CountryEntry;       // text of the country entry
    std::string NameEntry;          // text of the player-name entry
    THttpClient HttpClient;         // the publisher's web service
    TServiceAddress ServiceAddress; // where that service lives (tests use a local server)

    // The play world.
    TSpriteEngine& Engine() override { return SpriteEngine.Engine; }
    TPictureCollectionItem& Image(const std::string& name) override {
        return ImageList.Items.Use(name);
    }
    TRandom& Random() override { return random_; }
    const TDXInput& Input() const override { return DXInput; }
    void PlaySound(TSound sound) override;
    void StopSound(TSound sound) override;
    void StopAllSounds() override;
    TGameState& State() override { return state_; }
    const TGameState& State() const { return state_; }

    // The stages' host.
    void SwitchScene(TScene scene) override;
    void DrawPattern(bool move) override;
    using IStageHost::TextCanvas;
    TDirectDrawSurfaceCanvas& TextCanvas(int size, TColor color) override;
    void PlayMusic(const std::string& name) override;
    TWindowTimer& SceneTimer() override { return sceneTimer_; }
    void SeedRandom() override;
    void SetCursor(Cursor cursor) override { platform_.SetCursor(cursor); }
    // The whole game stands still, as the rules' pauses ask: the frames due meanwhile are not
    // run, and the window timers' time runs on as it always did.
    void Sleep(uint32_t ms) override {
        platform_.Sleep(ms);
        DXTimer.StoodStill();
        sceneTimer_.StoodStill();
        LevelTimer.StoodStill();
    }

    // Writes Config.cfg; a failed write is reported and the old file stays.
    void SaveConfig();
    // Settings.cfg beside Config.cfg (persist/Settings.h): its keys are kept whole, the game's
    // own are set from the state.
    void SaveSettings() override;
    // Reads Settings.cfg (a warning on standard error for each line ignored) and puts the
    // volumes, the scaling and the window's place to work.
    void ReadPlayerSettingsFile();
    // Stores the window's place, size and maximized state in Settings.cfg when the game ends,
    // writing the file only when something in it changed.
    void RememberWindow();
    // The window was maximized when the last run ended: maximized again after the first
    // display initialization in a window (which makes it normal).
    void RestoreMaximizedOnce();
    void ResetHighScores() override;
    // A file of the game folder (Config.cfg) and a file of the data folder (Data/, Music/).
    std::string GamePath(const std::string& relative) const;
    std::string DataPath(const std::string& relative) const;
    // The name in NameEntry with Score and the country in CountryEntry, through HttpClient.
    void SubmitResult() override;
    bool SendingResult() const override { return sender_.Busy(); }
    void GoWeb(const std::string& url) override;
    std::string HomePageUrl() const override;
    std::string OnlineHighScoresUrl() const override;
    void StopMusic() override;
    // After each frame: a menu or game-over song that wrapped to its start is restarted.
    void WatchSong();

    // Handlers.
    void FormCreate();
    void FormClose();
    void FormResize();
    void FormKeyDown(int key, TShiftState shift);
    void FormKeyUp(int key, TShiftState shift);
    void DXDrawInitializing();
    void DXDrawInitialize();
    void DXDrawFinalize();
    void DXDrawMouseMove(TShiftState shift, int x, int y);
    void DXDrawMouseDown(MouseButton button, TShiftState shift, int x, int y);
    void DXDrawMouseUp(MouseButton button, TShiftState shift, int x, int y);
    void DXTimerTimer(int32_t lagCount);
    void DXTimerActivate();
    void DXTimerDeactivate();
    void SceneTimerTimer();
    void LevelTimerTimer();

    // Commands (the "Click" of each command flag).
    void GameFullScreenClick() override;
    void GameSoundClick() override { state_.Flags.GameSound = !state_.Flags.GameSound; }
    void GameMusicClick() override { state_.Flags.GameMusic = !state_.Flags.GameMusic; }
    void GameMainExitClick() override;
    void GameEnterNameClick() override;
    void GameSendResultClick() override;
    void GameClearHighScoreClick() override;
    std::string& CountryText() override { return CountryEntry; }
    std::string& NameText() override { return NameEntry; }
    int TextWidth(int size, const std::string& text) override;

    // Reports an error: standard error once per distinct message, a message box for the first.
    void ReportError(const std::string& message);
    const std::vector<std::string>& ReportedErrors() const { return reportedOrder_; }

    // Ends the loop; a result still being sent is abandoned (it is in the table on disk already).
    void Terminate() override;

    // Observers for tests and tools: told of every effect and song actually started.
    std::function<void(const std::string&)> OnSoundStarted;
    std::function<void(const std::string&)> OnSongStarted;

private:
    void Dispatch(const PlatformEvent& event);
    // A game begins or ends: its recording (or playback) starts or stops.
    void StartGameRecord();
    void EndGameRecord();
    // The state the recorded game starts from, counted from the clock's `now`.
    std::vector<uint8_t> SaveReplayStart(uint64_t now) const;
    void RestoreReplayStart(std::span<const uint8_t> bytes, uint64_t now);
    template <typename F> void Guarded(F&& f);
    // Runs `f`; what it raises is reported and ends the game as a start that failed. Whether `f`
    // went through.
    template <typename F> bool OrStartFails(F&& f);
    void LeaveScene(TScene scene);
    void EnterScene(TScene scene);
    void FrameAction();
    // The controllers' presses and releases since the last pass, handed to the key handlers.
    void PollControllers();
    // A finished transfer: the failure's box, then the high-score screen.
    void PollSending();
    void ReadConfig();
    void CollectPictures();
    // Once, after the first frame (or at the first sound, should one come before it): opens the
    // sound output, loads the sound archive and starts the song the first scene asked for. A
    // damaged sound archive ends the loop there with its message (`StartFailed`).
    void FinishStart();
    // The sound archive into the wave list; raises what the archive's reading raises.
    void LoadSounds();
    // On each pass once start-up is through: the sounds and a waiting song whose files came.
    void TakeUpLaterFiles();
    // Plays the song a scene asked for while it could not be played yet (it waits again when
    // its file is still to come).
    void PlayPendingSong();
    // Loads the sounds, or, while they may come later and are not there yet, notes that they
    // are awaited.
    void LoadSoundsWhenThere();
    // The data file of the song `name` ("Music/1.xm").
    static std::string SongPath(const std::string& name);
    // A data file that may come later is there (always, when none may).
    bool DataFileThere(const std::string& relative) const;

    IPlatform& platform_;
    std::string gameDir_;
    std::string dataDir_;
    bool terminated_ = false;
    bool created_ = false; // FormCreate is through: scene switches now need every picture
    bool startFailed_ = false;
    bool startFinished_ = false; // FinishStart is through
    bool soundsAwaited_ = false; // the sound archive is still to come (SoundsMayComeLater)
    // The song a scene asked for before the first frame, started by FinishStart.
    std::optional<std::string> pendingSong_;
    uint64_t frameCount_ = 0;
    std::optional<uint64_t> firstFrameAt_;
    bool seedFixed_ = false;
    uint32_t fixedSeed_ = 0;
    std::unique_ptr<TEarlyPictures> earlyPictures_;
    TRandom random_;
    TPadKeys padKeys_;
    // Keys and buttons that went down since the last step (not repeats of a held key): their
    // release before the step is a tap the step must still see.
    std::bitset<256> keysHeld_;
    std::bitset<256> keysPressedSinceStep_;
    bool buttonPressedSinceStep_ = false;
    // After HttpClient, so a transfer still running at the end is abandoned while the client lives.
    TResultSender sender_;
    TGameState state_;
    TSettings settings_;
    TPlayerSettings player_;
    std::string savedSettings_; // the file's contents as read or last written
    bool maximizeOnce_ = false;
    std::vector<uint8_t> recordStart_; // the start of the game under way
    uint64_t recordFrom_ = 0;          // frameCount_ when it started
    std::optional<TReplay> finished_;
    TReplayEnd replayEnd_ = TReplayEnd::None;
    uint64_t replaySteps_ = 0;        // steps the played game took to its end
    bool replayFolderFailed_ = false; // said once
    std::set<std::string> reported_;
    std::vector<std::string> reportedOrder_;
    // The replay file of the table's entry at `place` ("" outside the table).
    std::string ReplayFileOf(int place) const;
    // The replay being watched, and the wait its next pass asks for.
    std::unique_ptr<TReplayViewer> viewer_;
    uint32_t viewerWait_ = 0;
    std::optional<TPlayedReplay> lastWatched_;
    void PassViewer();
    // A key or a press while a replay is watched; true when it leaves the replay.
    bool ViewerLeaves(int key);
    void LeaveViewer();
};

} // namespace pondlark
