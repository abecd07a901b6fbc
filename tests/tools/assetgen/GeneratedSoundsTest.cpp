// Checks on the generated sound archive in the game folder: every sound of the game's table with
// its flags, the format, levels, fades and loop joins.
#include "engine/Errors.h"
#include "engine/TDXWaveList.h"
#include "game/SoundTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

using namespace pondlark;

namespace {

std::vector<int> Samples(const TWave& wave) {
    std::vector<int> out;
    const auto& d = wave.Data();
    for (size_t i = 0; i + 1 < d.size(); i += 2)
        out.push_back(static_cast<int16_t>(d[i] | (d[i + 1] << 8)));
    return out;
}

class GeneratedSounds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        collection_ = new TWaveCollection;
        collection_->LoadFromFile(std::string(PONDLARK_GAME_DIR) + "/Data/Music.dxw");
    }
    static void TearDownTestSuite() {
        delete collection_;
        collection_ = nullptr;
    }
    static TWaveCollection* collection_;
};
TWaveCollection* GeneratedSounds::collection_ = nullptr;

} // namespace

TEST_F(GeneratedSounds, HoldsEverySoundWithItsFlags) {
    std::set<std::string> names;
    for (int i = 0; i < collection_->Count(); ++i)
        names.insert(collection_->Items(i).Name());
    EXPECT_EQ(names.size(), collection_->Count()) << "no name twice";
    EXPECT_EQ(names.size(), kSoundTable.size()) << "the archive holds the game's sounds only";
    for (const TSoundRow& row : kSoundTable) {
        SCOPED_TRACE(row.File);
        TWaveCollectionItem& item = collection_->Find(row.File);
        EXPECT_EQ(item.Looped(), row.Looped);
        EXPECT_EQ(item.MaxPlayingCount(), row.MostAtOnce);
        const TWaveFormat& f = item.Wave().Format();
        EXPECT_TRUE(item.Wave().IsPlayablePcm());
        EXPECT_EQ(f.bitsPerSample, 16);
        EXPECT_TRUE(f.samplesPerSec == 22050 || f.samplesPerSec == 44100) << f.samplesPerSec;
        EXPECT_GT(item.Wave().FrameCount(), 0u);
    }
}

TEST_F(GeneratedSounds, PeaksStayBelowMinusOneDecibel) {
    const int limit = static_cast<int>(32767 * std::pow(10.0, -1.0 / 20.0));
    for (int i = 0; i < collection_->Count(); ++i) {
        const auto s = Samples(collection_->Items(i).Wave());
        int peak = 0;
        for (int v : s)
            peak = std::max(peak, std::abs(v));
        EXPECT_LT(peak, limit) << collection_->Items(i).Name();
        EXPECT_GT(peak, 32767 / 20) << collection_->Items(i).Name() << " is nearly silent";
    }
}

TEST_F(GeneratedSounds, OneShotsFadeAndLoopsJoinWithoutAClick) {
    for (int i = 0; i < collection_->Count(); ++i) {
        TWaveCollectionItem& item = collection_->Items(i);
        SCOPED_TRACE(item.Name());
        const auto s = Samples(item.Wave());
        ASSERT_GE(s.size(), 2u);
        int largestStep = 0;
        for (size_t k = 1; k < s.size(); ++k)
            largestStep = std::max(largestStep, std::abs(s[k] - s[k - 1]));
        if (item.Looped()) {
            EXPECT_LE(std::abs(s.front() - s.back()), largestStep)
                << "the jump from the last sample to the first is a click";
            const double seconds =
                static_cast<double>(s.size()) / item.Wave().Format().samplesPerSec;
            if (item.Name().rfind("fon", 0) == 0) {
                EXPECT_GE(seconds, 10.0);
                EXPECT_LE(seconds, 20.0);
            }
        } else {
            EXPECT_LE(std::abs(s.front()), 100) << "starts with a click";
            EXPECT_LE(std::abs(s.back()), 100) << "ends with a click";
        }
    }
}

// ---- what a listener notices ----

namespace {

// How loud a sound seems: the loudest 100 ms, after a first-order high pass at 150 Hz (the ear
// hears little of the rumble below), as RMS in dB below full scale.
double LoudnessDb(const std::vector<int>& s, int rate) {
    const double a = 1.0 / (1.0 + 2 * M_PI * 150.0 / rate);
    std::vector<double> power(s.size());
    double y = 0, previous = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double x = s[i] / 32768.0;
        y = a * (y + x - previous);
        previous = x;
        power[i] = y * y;
    }
    const size_t window = std::min(power.size(), static_cast<size_t>(rate / 10));
    double sum = 0, best = 0;
    for (size_t i = 0; i < power.size(); ++i) {
        sum += power[i];
        if (i >= window) sum -= power[i - window];
        if (i + 1 >= window) best = std::max(best, sum);
    }
    return 10 * std::log10(std::max(best / static_cast<double>(window), 1e-20));
}

// Spectral flatness (geometric over arithmetic mean of the power, 150 Hz–8 kHz) of the loudest
// 1024-sample stretch: near 0 for a bare tone or a clean chord, about 0.5 for white noise.
double Flatness(const std::vector<int>& s, int rate) {
    constexpr size_t kN = 1024;
    if (s.size() < kN) return 0;
    size_t start = 0;
    double best = -1;
    for (size_t i = 0; i + kN <= s.size(); i += kN / 4) {
        double e = 0;
        for (size_t k = 0; k < kN; ++k)
            e += static_cast<double>(s[i + k]) * s[i + k];
        if (e > best) best = e, start = i;
    }
    double logSum = 0, sum = 0;
    int bins = 0;
    for (size_t bin = 1; bin < kN / 2; ++bin) {
        const double b = static_cast<double>(bin), n = static_cast<double>(kN);
        const double hz = b * rate / n;
        if (hz < 150 || hz > 8000) continue;
        double re = 0, im = 0;
        for (size_t k = 0; k < kN; ++k) {
            const double t = static_cast<double>(k) / n;
            const double v = s[start + k] * (0.5 - 0.5 * std::cos(2 * M_PI * t));
            re += v * std::cos(2 * M_PI * b * t);
            im -= v * std::sin(2 * M_PI * b * t);
        }
        const double p = re * re + im * im + 1e-9;
        logSum += std::log(p);
        sum += p;
        ++bins;
    }
    return std::exp(logSum / bins) / (sum / bins);
}

double RmsDb(const std::vector<int>& s, size_t from, size_t count) {
    double e = 0;
    for (size_t i = from; i < from + count; ++i)
        e += (s[i] / 32768.0) * (s[i] / 32768.0);
    return 10 * std::log10(std::max(e / static_cast<double>(count), 1e-20));
}

} // namespace

TEST_F(GeneratedSounds, LevelsFollowTheKindOfEvent) {
    std::map<std::string, double> level;
    for (int i = 0; i < collection_->Count(); ++i) {
        TWaveCollectionItem& item = collection_->Items(i);
        level[item.Name()] =
            LoudnessDb(Samples(item.Wave()), static_cast<int>(item.Wave().Format().samplesPerSec));
    }
    // The insects' buzzes sit at one level: no kind is lost under the others.
    double quietest = 0, loudest = -200;
    for (const char* buzz : {"mushka", "muha", "komar", "vodomerka", "pchel"}) {
        quietest = std::min(quietest, level[buzz]);
        loudest = std::max(loudest, level[buzz]);
    }
    EXPECT_LE(loudest - quietest, 3.0) << "buzzes from " << quietest << " to " << loudest << " dB";
    // Interface clicks stay under every game event.
    const char* events[] = {"food",     "dollar",    "life",       "kuv_eat", "kroco",
                            "aist_eat", "brizg",     "frog_bir",   "kvak",    "bell",
                            "iazik",    "bottle_up", "bottle_down"};
    for (const char* click : {"button_up", "button_down"})
        for (const char* event : events)
            EXPECT_LT(level[click], level[event]) << click << " is not quieter than " << event;
    // The catch chime is the loudest sound of all.
    for (const auto& [name, db] : level)
        EXPECT_LE(db, level["dollar"] + 0.5) << name << " is louder than the catch chime";
}

TEST_F(GeneratedSounds, TexturedSoundsAreNotBareTones) {
    // Croaks, bites, the tongue, gulps, strikes, the bottle's bubbles, splashes and the
    // ambiences are noise, bursts and voices; a near-pure tone there sounds like a beep.
    constexpr double kFloor = 0.03;
    for (const char* name :
         {"kvak", "kuv_eat", "iazik", "food", "aist_eat", "bottle_up", "bottle_down", "frog_bir",
          "kroco", "brizg", "fon1", "fon2", "vodomerka"}) {
        TWaveCollectionItem& item = collection_->Find(name);
        const double flatness =
            Flatness(Samples(item.Wave()), static_cast<int>(item.Wave().Format().samplesPerSec));
        EXPECT_GE(flatness, kFloor) << name;
    }
}

TEST_F(GeneratedSounds, LoopSeamsDoNotStandOut) {
    // Across the seam the level may change no more than it does between any two neighbouring
    // stretches inside the loop: a loop that pumps or drops once a turn fails.
    for (int i = 0; i < collection_->Count(); ++i) {
        TWaveCollectionItem& item = collection_->Items(i);
        if (!item.Looped()) continue;
        SCOPED_TRACE(item.Name());
        const auto s = Samples(item.Wave());
        const size_t window = item.Wave().Format().samplesPerSec / 50; // 20 ms
        ASSERT_GT(s.size(), 10 * window);
        const size_t count = s.size() / window;
        double inside = 0;
        for (size_t w = 1; w < count; ++w)
            inside = std::max(inside, std::abs(RmsDb(s, w * window, window) -
                                               RmsDb(s, (w - 1) * window, window)));
        const double seam = std::abs(RmsDb(s, s.size() - window, window) - RmsDb(s, 0, window));
        EXPECT_LE(seam, inside + 0.5) << "largest step inside " << inside;
    }
}
