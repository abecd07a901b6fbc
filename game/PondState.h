// The pond stage's shared state: the lily grid, the scroll and the frog's game-wide fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pondlark {

// Lily kinds as the grid stores them. The three plain kinds differ only in their picture.
enum : uint8_t {
    kLilyPlain1 = 0,
    kLilyHunter = 1,
    kLilySpringy = 2,
    kLilySticky = 3,
    kLilyCrocodile = 4,
    kLilyPlain2 = 10,
    kLilyPlain3 = 20,
};
// What a lily offers the frog when it surfaces.
enum : uint8_t { kBonusNone = 0, kBonusLife = 1, kBonusCoin = 2 };

// How a lily of a kind behaves on its own each step.
enum class TLilyBehaviour : uint8_t {
    Plain,     // sinks and surfaces in a slow cycle, showing its cell's bonus while afloat
    Hunter,    // closes once the frog has set it going
    Springy,   // nothing of its own: the frog's jump from it goes two rows
    Sticky,    // throws a strand once the frog has set it going
    Crocodile, // looks plain but stands still, and brings the crocodile's eyes
};

// One row per lily kind: its picture, the ripple picture (1..3) a jump from it makes, and its
// behaviour.
struct TLilyKind {
    uint8_t Kind;
    const char* Name; // the kind's family name, as the pictures of its lilies are named
    const char* Image;
    int Ripple;
    TLilyBehaviour Behaviour;
};

inline constexpr TLilyKind kLilyKinds[] = {
    {kLilyPlain1, "simple", "kuvshinka_simple_1", 1, TLilyBehaviour::Plain},
    {kLilyPlain2, "simple", "kuvshinka_simple_2", 2, TLilyBehaviour::Plain},
    {kLilyPlain3, "simple", "kuvshinka_simple_3", 3, TLilyBehaviour::Plain},
    {kLilyHunter, "hunter", "kuvshinka_hunter", 3, TLilyBehaviour::Hunter},
    {kLilySpringy, "pruginka", "kuvshinka_pruginka", 3, TLilyBehaviour::Springy},
    {kLilySticky, "liapuchka", "kuvshinka_liapuchka", 2, TLilyBehaviour::Sticky},
    {kLilyCrocodile, "kroko_yes", "kuvshinka_simple_1", 1, TLilyBehaviour::Crocodile},
};

// The row of a grid value; a value that is no kind reads as the first plain lily.
constexpr const TLilyKind& LilyKind(int kind) {
    for (const TLilyKind& row : kLilyKinds)
        if (row.Kind == kind) return row;
    return kLilyKinds[0];
}

constexpr bool IsPlainLily(int kind) {
    return LilyKind(kind).Behaviour == TLilyBehaviour::Plain;
}

// The ripple picture (1..3) that matches a lily kind.
constexpr int RippleVariant(int kind) {
    return LilyKind(kind).Ripple;
}

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

struct TLilyCell {
    uint8_t Kind = kLilyPlain1;
    uint8_t Bonus = kBonusNone;
};

// Spot table: the bottom-centre point of the lily at (column 1..4, row), valid for rows -3..4.
// Row 4 is the frog's row at the bottom of the screen.
constexpr double SpotX(int column) {
    return 20.0 + 150.0 * column;
}
constexpr double SpotY(int row) {
    return 150.0 * row - 25.0;
}

// The lily grid: rows -1..4, columns 1..4.
class TLilyGrid {
public:
    static constexpr int kFirstRow = -1, kLastRow = 4, kColumns = 4;

    static bool Inside(int row, int column) {
        return row >= kFirstRow && row <= kLastRow && column >= 1 && column <= kColumns;
    }
    // Sprites outlive their rows (a lily keeps stepping for a frame after it has scrolled
    // past row 4): outside the grid reads as an empty plain cell and writes go nowhere.
    TLilyCell& At(int row, int column) {
        if (!Inside(row, column)) return outside_ = TLilyCell{};
        return cells_[static_cast<std::size_t>(row - kFirstRow)]
                     [static_cast<std::size_t>(column - 1)];
    }
    TLilyCell Get(int row, int column) const {
        if (!Inside(row, column)) return {};
        return cells_[static_cast<std::size_t>(row - kFirstRow)]
                     [static_cast<std::size_t>(column - 1)];
    }

private:
    std::array<std::array<TLilyCell, kColumns>, kLastRow - kFirstRow + 1> cells_{};
    TLilyCell outside_;
};

// Frog facing.
enum : uint8_t { kFacingLeft = 0, kFacingRight = 1, kFacingUp = 2 };

struct TPondState {
    TLilyGrid Grid;

    // The scroll.
    bool Scrolling = false;
    int32_t ScrollSpeed = 1; // rows per scroll; scrolling sprites move 5 * ScrollSpeed a frame
    bool AdvanceOneRow = false;
    bool AdvanceTwoRows = false;
    int32_t StoneRow = 2; // its column-1 spot gets no lily
    bool FirstBuild = true;

    // The frog.
    uint8_t FrogColumn = 0; // 0..3: grid column - 1
    uint8_t FrogFacing = kFacingUp;
    int32_t FrogAnimEnd = 2;
    int32_t StickyCount = 0; // jumps in a row a sticky lily has held back
    bool StuckOnSticky = false;
    int32_t RippleHere = 1;  // ripple variant of the lily under the frog
    int32_t RippleAhead = 1; // and of the one ahead
    bool EatenByHunter = false;
    bool CrocodileAttack = false;
    bool FrogControl = true;
    bool StrandShown = false;

    // The stage.
    bool LevelBanner = false; // "Level N" over a still pond, until the scene timer fires
    bool PondRunning = true;  // false once the frog stands on the stone
    bool FrogLost = false;    // drowned, eaten or struck: a life goes
    bool FrogDead = false;

    // Pixels a scrolling sprite moves this frame.
    double ScrollStep() const { return Scrolling ? 5.0 * ScrollSpeed : 0.0; }
};

} // namespace pondlark
