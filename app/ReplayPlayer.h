// Playing a replay again: headless to check a result (the score service's verifier, the
// screenshot tool, the tests), or in the real window for a player to watch.
#pragma once

#include "game/GameState.h"
#include "platform/Platform.h"
#include "platform/Replay.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pondlark {

// The longest game a replay may hold: playing stops there.
inline constexpr uint64_t kReplayBudgetMs = 60ull * 60 * 1000;

struct TPlayedReplay {
    bool Played = false; // the game reached an end, at the replay's last pass
    std::string Problem; // why not: a short plain phrase
    TReplayEnd End = TReplayEnd::None;
    int32_t Score = 0;
    int32_t Level = 0;
    uint64_t Steps = 0;
    uint64_t GameMs = 0; // game time played
};

// Plays `replay` (checked by ParseReplay) on the headless platform with the game data of
// `dataDir`, from a fresh temporary home that is removed afterwards. With `draw` off the steps
// run their rules without drawing a picture. Stops after `budgetMs` of game time.
TPlayedReplay PlayReplayHeadless(const TReplay& replay, const std::string& dataDir,
                                 bool draw = false, uint64_t budgetMs = kReplayBudgetMs);

// A replay file of these rules, read and checked; nullopt with `error` set ("cannot read the
// replay PATH: why", "PATH: damaged replay", "PATH: another rules version") otherwise.
std::optional<TReplay> ReadReplayFile(const std::string& path, std::string& error);

// What a result says of itself.
struct TReplayClaim {
    std::string Name, Country, Token;
    int64_t Score = 0;
};

struct TReplayVerdict {
    bool Verified = false;
    std::string
        Reason; // when refused: "damaged replay", "score differs (claimed 105, played 100)", ...
    int32_t Score = 0;
    int32_t Level = 0;
    uint64_t Frames = 0;
};

// Reads the replay file's bytes, plays it headless without drawing, and verifies it only when
// it is of these rules, plays to the end its trailer claims within the 60-minute budget, and the
// score, level, steps, name, country and token of the trailer agree with the game played and
// with `claim`. Never throws but std::bad_alloc.
TReplayVerdict VerifyReplay(std::span<const uint8_t> bytes, const TReplayClaim& claim,
                            const std::string& dataDir);

class TMainForm;
class TTempHome;

// A replay shown in a window at the pace it was played, by a game of its own from a temporary
// home. It drives nothing by itself: its owner polls the window's events, hands it the
// viewer's keys and calls `Pass` from its loop, so it runs on its own (`ShowReplay`) or inside
// another game's loop (the high-score screen).
class TReplayViewer {
public:
    // `machine` outlives the viewer. As a guest the played game gets a window of its own inside
    // `machine`'s: its frames and pointer shape reach the window, but not its display mode,
    // border, place, caption or sound, and no events (the owner's stay with the owner); the
    // viewer's captions go to `machine` and the caption it found is put back when it goes.
    TReplayViewer(IPlatform& machine, const std::string& dataDir, bool guest);
    ~TReplayViewer();
    // Set before `Begin`: the played game's sounds may come after its start (see
    // TMainForm::SoundsMayComeLater).
    bool SoundsMayComeLater = false;
    TReplayViewer(const TReplayViewer&) = delete;
    TReplayViewer& operator=(const TReplayViewer&) = delete;

    // Starts the game and stands it where `replay` (checked by ParseReplay) began; real time
    // runs from here. False, with `Problem` said, when the game would not start or the
    // replay's start cannot be read.
    bool Begin(const TReplay& replay);
    // P: holds the replay's clock still, and lets it go on.
    void TogglePause();
    bool Paused() const { return paused_; }
    // The played game reached its end, or can go no further (a mismatch, the recording used up).
    bool Over();
    // Runs a pass of the played game when its time has come. Returns the milliseconds to wait
    // before the next call (0: call again at once).
    uint32_t Pass();
    // What was played so far; `Problem` is set once the replay did not fit the game.
    TPlayedReplay Result();
    // The played game, once begun (null before and when it would not start).
    const TMainForm* Game() const { return form_.get(); }

private:
    IPlatform& machine_;
    std::unique_ptr<IPlatform> guest_;
    std::unique_ptr<TTempHome> home_;
    std::string dataDir_;
    std::unique_ptr<TMainForm> form_;
    std::string caption_;
    std::string problem_;
    uint64_t realBase_ = 0, clockBase_ = 0, pausedAt_ = 0;
    bool paused_ = false, overSaid_ = false;
};
// What the one watching a shown replay is told, once a pass of the viewer's loop (a page shows
// it beside the game). `State` lives only for the call.
struct TReplayView {
    const TGameState& State;
    uint64_t Steps = 0; // the game's steps played so far
    bool Paused = false;
    bool Over = false; // the game has ended, or the replay cannot go on
};
using TReplayWatcher = std::function<void(const TReplayView&)>;

// Shows `replay` (checked by ParseReplay) in the window of `machine` at the pace it was played,
// from a temporary home: P pauses and resumes, Esc or the close box leaves; when the game has
// ended its last picture stays until then, or the call returns at once with `stayAtEnd` off.
// `Played` says whether the game reached its end; a replay that does not fit the game is a
// `Problem`. `watcher`, when given, is called once a pass. `soundsMayComeLater`: as the
// viewer's.
TPlayedReplay ShowReplay(IPlatform& machine, const TReplay& replay, const std::string& dataDir,
                         bool stayAtEnd = true, const TReplayWatcher& watcher = {},
                         bool soundsMayComeLater = false);

} // namespace pondlark
