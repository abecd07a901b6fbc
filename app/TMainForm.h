// The main window: owns every component and the game state, runs start-up, the frame loop, the
// scene machine and the input dispatch.
//
// One instance lives from start to end. Everything runs on the caller's thread: `Run` is the
// real loop; tests and tools drive the same loop step by step with `RunFor` on a headless
// platform. Paths are relative to `gameDir` (the game folder holding Data/ and Music/).
//
// Errors: an error during start-up makes `Start` return false after reporting it (standard
// error and a message box). An error inside a frame or an event is reported once per distinct
// message and the loop goes on.
#pragma once

#include "app/TGameState.h"
#include "app/TWindowTimer.h"
#include "engine/TDXDraw.h"
#include "engine/TDXInput.h"
#include "engine/TDXTimer.h"
#include "engine/TRandom.h"
#include "http/THttpClient.h"
#include "persist/WebService.h"
#include "platform/Platform.h"

#include <set>
#include <string>

namespace pondlark {

struct TShiftState {
    bool Alt = false, Ctrl = false, Shift = false;
};

class TMainForm : public TDXForm {
public:
    // The platform outlives the form. `seed` fixes the random generator for tests and replays;
    // without it the generator is seeded from the clock as the game always does.
    TMainForm(IPlatform& platform, std::string gameDir);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Start-up and showing the window. False when start-up failed (already reported).
    bool Start();
    // The real loop, until the player confirms the exit question or the process is asked to end.
    void Run();
    // Runs the loop for `ms` of platform time (headless: the clock moves on by itself).
    void RunFor(uint64_t ms);
    // One pass of the loop: events, window timers, the frame timer. Does not wait.
    void Pump();
    bool Terminated() const { return terminated_; }
    // Number of frames the frame handler has drawn (not counting skipped ones).
    uint64_t FrameCount() const { return frameCount_; }
    // Fixed seed for the next seeding (start-up and each pond build) instead of the clock.
    void FixRandomSeed(uint32_t seed) { fixedSeed_ = seed, seedFixed_ = true; }
    void SeedRandom();

    // Components.
    IPlatform& Platform() { return platform_; }
    TDXDraw DXDraw;
    TDXInput DXInput;
    TDXTimer DXTimer;
    TWindowTimer Timer1;
    TWindowTimer LevelTimer;
    TRandom Random;
    std::string Edit1; // text of the country entry
    std::string Edit2; // text of the player-name entry
    THttpClient IdHTTP1;            // the publisher's web service
    TServiceAddress ServiceAddress; // where that service lives (tests use a local server)

    TGameState State;

    // Operations used across the game.
    void SwitchScene(int scene);
    // Writes Config.cfg; a failed write is reported and the old file stays.
    void SaveConfig();
    // The default table, then the high-score screen.
    void ResetHighScores();
    std::string GamePath(const std::string& relative) const;
    // Sends the name in Edit2 with Score and the country in Edit1 to the web service; blocks
    // until done (bounded by IdHTTP1's time-outs). Shows "Can't connect to server!" on failure.
    void SubmitResult();
    // Opens a web page beside the game.
    void GoWeb(const std::string& url);

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
    void Timer1Timer();
    void LevelTimerTimer();

    // Commands (the "Click" of each command flag).
    void GameFullScreenClick();
    void GameSoundClick() { State.Flags.GameSound = !State.Flags.GameSound; }
    void GameMusicClick() { State.Flags.GameMusic = !State.Flags.GameMusic; }
    void GameMainExitClick();
    void GamegoEditClick() { State.Flags.GamegoEdit = !State.Flags.GamegoEdit; }

    // Reports an error: standard error once per distinct message, a message box for the first.
    void ReportError(const std::string& message);
    const std::vector<std::string>& ReportedErrors() const { return reportedOrder_; }

    void Terminate() { terminated_ = true; }

private:
    void Dispatch(const PlatformEvent& event);
    template <typename F> void Guarded(F&& f);
    void LeaveScene(int scene);
    void EnterScene(int scene);
    void FrameAction();
    void DrawPattern(bool move);
    void ReadConfig();
    uint32_t WaitBudget() const;

    IPlatform& platform_;
    std::string gameDir_;
    bool terminated_ = false;
    uint64_t frameCount_ = 0;
    bool seedFixed_ = false;
    uint32_t fixedSeed_ = 0;
    std::set<std::string> reported_;
    std::vector<std::string> reportedOrder_;
};

} // namespace pondlark
