// One row per lily kind: its picture, the ripple a jump from it makes, and what it does — on its
// own each step, and to a frog standing on it. The lily (game/Lilies.h) and the frog
// (game/PondFrog.h) run a row's hooks and decide nothing by kind themselves.
//
// Adding a kind: its number in game/PondState.h (and its odds there), a row in LilyKinds.cpp,
// hooks of its own in TLily and TPondFrog where the existing ones do not fit, its picture in the
// asset generator, and a case in tests/game/PondStageTest.cpp.
#pragma once

#include <cstdint>

namespace pondlark {

class TLily;
class TPondFrog;

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
