// The game's one random generator: a 32-bit linear congruential sequence, seedable so that
// tests and replays see the same game every time.
#pragma once

#include <cstdint>

namespace pondlark {

class TRandom {
public:
    explicit TRandom(uint32_t seed = 0) : seed_(seed) {}
    void Seed(uint32_t seed) { seed_ = seed; }

    // A uniform integer in 0 .. n-1; 0 when n <= 0.
    int32_t Next(int32_t n) {
        seed_ = seed_ * 134775813u + 1u;
        if (n <= 0) return 0;
        return static_cast<int32_t>((static_cast<uint64_t>(seed_) * static_cast<uint32_t>(n)) >>
                                    32);
    }

private:
    uint32_t seed_;
};

} // namespace pondlark
