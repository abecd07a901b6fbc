#include "audio/TMusicPlayer.h"

#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

using namespace pondlark;

namespace {

std::string SongPath(int n) {
    return std::string(PONDLARK_GAME_DIR) + "/Music/" + std::to_string(n) + ".xm";
}

struct SongCase {
    int number;
    double minSeconds, maxSeconds;
};
// One pass of each song, as the brief for the music asks.
const SongCase kSongs[] = {{1, 45, 90}, {2, 60, 120}, {3, 15, 30}};

} // namespace

TEST(Songs, LoadInLibopenmptAndLastTheirLength) {
    for (const SongCase& c : kSongs) {
        SCOPED_TRACE(SongPath(c.number));
        std::ifstream f(SongPath(c.number), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(f),
                                      std::istreambuf_iterator<char>()};
        ASSERT_FALSE(bytes.empty());
        int error = 0;
        openmpt_module* mod =
            openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                               nullptr, nullptr, nullptr, &error, nullptr, nullptr);
        ASSERT_NE(mod, nullptr) << "error " << error;
        const double seconds = openmpt_module_get_duration_seconds(mod);
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
        openmpt_module_destroy(mod);
    }
}

TEST(TMusicPlayer, SongsWrapBackToOrderZero) {
    constexpr int kRate = 8000; // the order walk does not need a fine rate
    for (const SongCase& c : kSongs) {
        SCOPED_TRACE(SongPath(c.number));
        HeadlessPlatform platform;
        TSoundMixer mixer(kRate);
        ASSERT_TRUE(platform.OpenAudio(kRate, &mixer));
        TMusicPlayer player(mixer);
        const SongHandle song = player.SongLoadFromFile(SongPath(c.number));
        ASSERT_NE(song, 0u);
        player.SongPlay(song);
        int32_t highest = 0;
        bool wrapped = false;
        float peak = 0;
        const int blocks = static_cast<int>((c.maxSeconds + 5) * kRate / 1024);
        for (int i = 0; i < blocks && !wrapped; ++i) {
            const auto out = platform.PullAudio(1024);
            for (float s : out)
                peak = std::max(peak, std::fabs(s));
            const int32_t order = player.SongGetOrder(song);
            if (order == 0 && highest > 0) wrapped = true;
            highest = std::max(highest, order);
        }
        EXPECT_TRUE(wrapped) << "highest order " << highest;
        EXPECT_GT(peak, 0.05f) << "the song is heard through the mixer";
        EXPECT_LT(peak, 1.0f) << "and does not clip";
        player.SongFree(song);
        EXPECT_EQ(player.SongGetOrder(song), 0);
    }
}

TEST(TMusicPlayer, MissingOrBrokenSongGivesHandleZero) {
    TSoundMixer mixer;
    TMusicPlayer player(mixer);
    EXPECT_EQ(player.SongLoadFromFile("no/such/song.xm"), 0u);
    EXPECT_EQ(player.SongLoadFromFile(std::string(PONDLARK_TEST_DATA) + "/wav/README.md"), 0u);
    // Handle 0 is accepted everywhere and does nothing.
    player.SongPlay(0);
    player.SongFree(0);
    EXPECT_EQ(player.SongGetOrder(0), 0);
}

TEST(TMusicPlayer, FreedSongFallsSilent) {
    HeadlessPlatform platform;
    TSoundMixer mixer(8000);
    platform.OpenAudio(8000, &mixer);
    TMusicPlayer player(mixer);
    const SongHandle song = player.SongLoadFromFile(SongPath(2));
    player.SongPlay(song);
    auto loud = platform.PullAudio(8000);
    EXPECT_GT(*std::max_element(loud.begin(), loud.end()), 0.01f);
    player.SongFree(song);
    auto quiet = platform.PullAudio(1000);
    EXPECT_EQ(*std::max_element(quiet.begin(), quiet.end()), 0.0f);
}
