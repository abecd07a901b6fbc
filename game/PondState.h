// The pond stage's shared state: the lily grid, the scroll and the frog's game-wide fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pondlark {

// What a lily offers the frog when it surfaces.
enum : uint8_t { kBonusNone = 0, kBonusLife = 1, kBonusCoin = 2 };

struct TLilyCell {
    uint8_t Kind = 0; // a kind of game/LilyKinds.h; 0 is the first plain lily
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
