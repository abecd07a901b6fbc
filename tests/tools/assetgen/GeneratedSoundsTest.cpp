// Checks on the generated sound archive in the game folder: the names and flags the game
// relies on, the format, levels, fades and loop joins.
#include "engine/Errors.h"
#include "engine/TDXWaveList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

using namespace pondlark;

namespace {

struct Expected {
    const char* name;
    bool looped;
    int32_t maxPlayingCount;
};

// The sound table of the asset brief.
const Expected kSounds[] = {
    {"button_up", false, 1},   {"button_down", false, 2}, {"pause", false, 1},
    {"after_pause", false, 1}, {"fon1", true, 1},         {"fon2", true, 1},
    {"mushka", true, 1},       {"muha", true, 1},         {"komar", true, 1},
    {"vodomerka", true, 1},    {"pchel", true, 1},        {"food", false, 2},
    {"dollar", false, 2},      {"life", false, 1},        {"kuv_eat", false, 1},
    {"kroco", false, 1},       {"aist_eat", false, 1},    {"brizg", false, 2},
    {"frog_bir", false, 1},    {"kvak", false, 1},        {"bell", false, 1},
    {"iazik", false, 1},       {"bottle_up", false, 1},   {"bottle_down", false, 1},
};

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
    for (const Expected& e : kSounds) {
        SCOPED_TRACE(e.name);
        TWaveCollectionItem& item = collection_->Find(e.name);
        EXPECT_EQ(item.Looped(), e.looped);
        EXPECT_EQ(item.MaxPlayingCount(), e.maxPlayingCount);
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
