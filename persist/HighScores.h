// The local table of the ten best results, best first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pondlark {

struct THighScore {
    std::string Name;
    int32_t Score = 0;
    friend bool operator==(const THighScore&, const THighScore&) = default;
};

inline constexpr size_t kHighScoreCount = 10;
using THighScoreTable = std::array<THighScore, kHighScoreCount>;

// Every name "Anonymous"; 3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200, 100.
const THighScoreTable& DefaultHighScores();

// A score enters the table when it beats the tenth entry (a tie does not).
bool Qualifies(const THighScoreTable& table, int32_t score);

// Puts the result at the place counted by how many of the first nine entries it reaches or
// beats; that entry and the ones below it move down one place and the last drops off, so no
// record but the tenth is ever lost. Returns the place it was put at (0 = first).
int InsertHighScore(THighScoreTable& table, const std::string& name, int32_t score);

} // namespace pondlark
