#include "persist/HighScores.h"

namespace pondlark {

const THighScoreTable& DefaultHighScores() {
    static const THighScoreTable table = [] {
        THighScoreTable t;
        const int32_t scores[10] = {3000, 2500, 2000, 1500, 1000, 500, 400, 300, 200, 100};
        for (int i = 0; i < 10; ++i)
            t[i] = {"Anonymous", scores[i]};
        return t;
    }();
    return table;
}

bool Qualifies(const THighScoreTable& table, int32_t score) {
    return score > table[9].Score;
}

int InsertHighScore(THighScoreTable& table, const std::string& name, int32_t score) {
    int reached = 0;
    for (int k = 0; k <= 8; ++k)
        if (table[k].Score <= score) ++reached;
    const int target = 9 - reached;
    for (int k = 9; k > target; --k)
        table[k] = table[k - 1];
    table[target] = {name, score};
    return target;
}

} // namespace pondlark
