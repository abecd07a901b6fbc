// The replay file's packing: every body comes back as it went in, whatever its bytes (runs of
// 0xFF carry through the coder's output); files of the plain format the game wrote before are
// still read; a packed file that is cut, flipped or forged is refused with its reason.
#include "platform/ReplayPacking.h"
#include "platform/Replay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace pondlark;

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string Refusal(const std::vector<uint8_t>& bytes) {
    try {
        ParseReplay(bytes);
    } catch (const EReplayFormat& e) {
        return e.what();
    }
    return "accepted";
}

void SetU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Reseal(std::vector<uint8_t>& bytes) {
    SetU32(bytes, bytes.size() - 4, Crc32(std::span(bytes).first(bytes.size() - 4)));
}

} // namespace

TEST(ReplayPacking, EveryBodyComesBackAsItWent) {
    uint32_t seed = 27;
    const auto noise = [&seed](size_t n) {
        std::vector<uint8_t> v(n);
        for (uint8_t& b : v)
            b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
        return v;
    };
    std::vector<uint8_t> stairs;
    for (int i = 0; i < 4000; ++i)
        stairs.push_back(static_cast<uint8_t>(i % 7 == 0 ? 0xFF : i / 40));
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Raw;
    };
    const TCase cases[] = {
        {"nothing", {}},
        {"one byte", {0x5A}},
        {"zeros", std::vector<uint8_t>(5000, 0)},
        {"0xFF all along", std::vector<uint8_t>(5000, 0xFF)},
        {"noise", noise(20000)},
        {"runs and 0xFF between", stairs},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> packed = PackBytes(c.Raw);
        EXPECT_EQ(UnpackBytes(packed, c.Raw.size()), c.Raw);
        EXPECT_LE(c.Raw.size(), MostUnpackedBytes(packed.size()));
    }
    // Any bytes unpack to the size asked, and no more: the reader's checks take it from there.
    EXPECT_EQ(UnpackBytes(noise(300), 7000).size(), 7000u);
}

TEST(ReplayPacking, OldFilesReadAndPackedOnesAreRefusedWhenHarmed) {
    const std::vector<uint8_t> plain = FileBytes(PONDLARK_TEST_DATA "/replay/game-format1.plkr");
    ASSERT_GT(plain.size(), 1000u);
    ASSERT_EQ(plain[4], kPlainReplayFormat);
    const TReplay old = ParseReplay(plain);
    // The plain format has one spelling, still written for checks like this one.
    EXPECT_EQ(EncodeReplay(old, kPlainReplayFormat), plain);
    const std::vector<uint8_t> packed = EncodeReplay(old);
    EXPECT_EQ(packed[4], kPackedReplayFormat);
    // The tests' whole game, mostly a pointer moving and a clock ticking, packs well.
    EXPECT_LT(packed.size(), plain.size() / 2);
    const TReplay again = ParseReplay(packed);
    EXPECT_EQ(again.Start, old.Start);
    EXPECT_EQ(again.Inputs, old.Inputs);
    EXPECT_EQ(again.Score, old.Score);
    EXPECT_EQ(again.Steps, old.Steps);
    EXPECT_EQ(again.DurationMs, old.DurationMs);

    struct TCase {
        const char* Name;
        void (*Harm)(std::vector<uint8_t>&);
        const char* Refusal;
    };
    const TCase cases[] = {
        {"cut in half", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); },
         "truncated replay"},
        {"a flipped byte", [](std::vector<uint8_t>& b) { b[b.size() / 2] ^= 0x10; },
         "damaged replay"},
        {"a packed byte changed, the checksum made to fit",
         [](std::vector<uint8_t>& b) {
             b[b.size() / 2] ^= 0x10;
             Reseal(b);
         },
         "damaged replay"},
        {"a byte the unpacking passes over, the checksum made to fit",
         [](std::vector<uint8_t>& b) {
             b.insert(b.end() - 4, 0x00);
             SetU32(b, 12, static_cast<uint32_t>(b.size() - 20));
             Reseal(b);
         },
         "damaged replay"},
        {"a body far larger than its packing can be",
         [](std::vector<uint8_t>& b) {
             SetU32(b, 8, 16u << 20);
             Reseal(b);
         },
         "damaged replay"},
        {"format 3", [](std::vector<uint8_t>& b) { b[4] = 3; }, "another replay format"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint8_t> bytes = packed;
        c.Harm(bytes);
        EXPECT_EQ(Refusal(bytes), c.Refusal);
    }
}
