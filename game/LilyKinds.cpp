#include "game/LilyKinds.h"

#include "game/Lilies.h"
#include "game/PondFrog.h"
#include "game/PondState.h"

#include <array>

namespace pondlark {

namespace {

// clang-format off
constexpr std::array<TLilyKind, 7> kLilyKinds{{
    // kind          name         image                  ripple plain  2 rows holds  eyes
    {kLilyPlain1,    "simple",    "kuvshinka_simple_1",  1,     true,  false, false, false,
     &TLily::StartPlain, &TLily::PlainCycle, nullptr, &TPondFrog::OnPlainLily},
    {kLilyPlain2,    "simple",    "kuvshinka_simple_2",  2,     true,  false, false, false,
     &TLily::StartPlain, &TLily::PlainCycle, nullptr, &TPondFrog::OnPlainLily},
    {kLilyPlain3,    "simple",    "kuvshinka_simple_3",  3,     true,  false, false, false,
     &TLily::StartPlain, &TLily::PlainCycle, nullptr, &TPondFrog::OnPlainLily},
    {kLilyHunter,    "hunter",    "kuvshinka_hunter",    3,     false, false, false, false,
     nullptr, &TLily::HunterCycle, nullptr, &TPondFrog::OnHunterLily},
    {kLilySpringy,   "pruginka",  "kuvshinka_pruginka",  3,     false, true,  false, false,
     nullptr, nullptr, nullptr, nullptr},
    {kLilySticky,    "liapuchka", "kuvshinka_liapuchka", 2,     false, false, true,  false,
     nullptr, nullptr, &TLily::StickyCycle, &TPondFrog::OnStickyLily},
    // Looks plain but stands still, and brings the crocodile's eyes.
    {kLilyCrocodile, "kroko_yes", "kuvshinka_simple_1",  1,     false, false, false, true,
     &TLily::BringEyes, nullptr, nullptr, &TPondFrog::OnCrocodileLily},
}};
// clang-format on

} // namespace

const TLilyKind& LilyKind(int kind) {
    for (const TLilyKind& row : kLilyKinds)
        if (row.Kind == kind) return row;
    return kLilyKinds[0];
}

} // namespace pondlark
