// Playing a replay again: headless to check a result (the score service's verifier, the
// screenshot tool, the tests), or in the real window for a player to watch.
#pragma once

#include "game/GameState.h"
#include "platform/Platform.h"
#include "platform/Replay.h"

#include <cstdint>
#include <functional>
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
// `Problem`. `watcher`, when given, is called once a pass.
TPlayedReplay ShowReplay(IPlatform& machine, const TReplay& replay, const std::string& dataDir,
                         bool stayAtEnd = true, const TReplayWatcher& watcher = {});

} // namespace pondlark
