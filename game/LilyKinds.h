// One row per lily kind: its picture, the ripple a jump from it makes, and what it does — on its
// own each step, and to a frog standing on it. The lily (game/Lilies.h) and the frog
// (game/PondFrog.h) run a row's hooks and decide nothing by kind themselves.
//
// Adding a kind: its number and its odds here, a row in LilyKinds.cpp,
// hooks of its own in TLily and TPondFrog where the existing ones do not fit, its picture in the
// asset generator, and a case in tests/game/PondStageTest.cpp.
#pragma once

#include <cstdint>

namespace pondlark {

class TLily;
class TPondFrog;

// Lily kinds as the grid stores them. The three plain kinds differ only in their picture; what
// each kind looks like and does is its row in LilyKinds.cpp.
enum : uint8_t {
    kLilyPlain1 = 0,
    kLilyHunter = 1,
    kLilySpringy = 2,
    kLilySticky = 3,
    kLilyCrocodile = 4,
    kLilyPlain2 = 10,
    kLilyPlain3 = 20,
};
// The odds of a new cell: a roll of 0..99 takes the first row it does not exceed.
struct TLilyOdds {
    int UpTo;
    uint8_t Kind;
    bool AnyPlainPicture; // one of the three plain pictures, drawn next
    bool MayCarryBonus;   // then the bonus roll
};
// A whole pond at the start of a stage.
inline constexpr TLilyOdds kFreshPondOdds[] = {
    {60, kLilyPlain1, true, true},   {70, kLilyHunter, false, false},
    {75, kLilyPlain1, false, false}, {85, kLilySpringy, false, false},
    {95, kLilySticky, false, false}, {99, kLilyCrocodile, false, false},
};
// A row scrolled in from the top.
inline constexpr TLilyOdds kNewRowOdds[] = {
    {70, kLilyPlain1, false, true},     {75, kLilyHunter, false, false},
    {85, kLilySpringy, false, false},   {95, kLilySticky, false, false},
    {99, kLilyCrocodile, false, false},
};

struct TLilyKind {
    uint8_t Kind;
    const char* Name; // the kind's family name, as the pictures of its lilies are named
    const char* Image;
    int Ripple;         // the ripple picture (1..3) a jump from it makes
    bool Plain;         // sinks and surfaces, and may carry a bonus
    bool ThrowsTwoRows; // a forward jump from it goes two rows
    bool Holds;         // holds the frog back for up to three jumps in one direction
    bool KeepsEyesOpen; // the crocodile's eyes here stay open while the frog stands on it
    // Hooks; nullptr where the kind does nothing.
    void (TLily::*Made)();                     // once, in the lily's constructor
    void (TLily::*Cycle)();                    // each step, before the scroll moves the lily
    void (TLily::*LateCycle)();                // each step, after the scroll has moved it
    void (TPondFrog::*UnderFrog)(TLily& lily); // each step the frog stands on a lily of the kind
};

// The row of a grid value; a value that is no kind reads as the first plain lily.
const TLilyKind& LilyKind(int kind);

inline bool IsPlainLily(int kind) {
    return LilyKind(kind).Plain;
}

// The ripple picture (1..3) that matches a lily kind.
inline int RippleVariant(int kind) {
    return LilyKind(kind).Ripple;
}

} // namespace pondlark
