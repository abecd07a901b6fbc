// Playing a replay again: headless to check a result (the score service's verifier, the
// screenshot tool, the tests), or in the real window for a player to watch.
#pragma once

#include "platform/Platform.h"
#include "platform/Replay.h"

#include <cstdint>
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

// Shows `replay` in the real window of `machine` at the pace it was played, from a temporary
// home: P pauses and resumes, Esc or the close box leaves; when the game has ended the last
// picture stays until then. Returns false when the replay does not fit the game (said on
// standard error).
bool ShowReplay(IPlatform& machine, const TReplay& replay, const std::string& dataDir);

} // namespace pondlark
