#include "engine/TWave.h"

#include "engine/Errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace pondlark;

namespace {

std::vector<uint8_t> ReadFixture(const std::string& name) {
    std::ifstream f(std::string(PONDLARK_TEST_DATA) + "/wav/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void PutChunk(std::vector<uint8_t>& v, const char* id, uint32_t size, size_t bodyBytes) {
    v.insert(v.end(), id, id + 4);
    Put32(v, size);
    v.insert(v.end(), bodyBytes, 0);
}
// RIFF header followed by the chunks the case adds.
std::vector<uint8_t> Riff() {
    std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
    Put32(v, 0);
    v.insert(v.end(), {'W', 'A', 'V', 'E'});
    return v;
}
std::vector<uint8_t> PcmFormat16Mono() {
    return TWave::FromPcm16(8000, 1, std::vector<int16_t>{}).FormatBlock();
}
std::vector<uint8_t> WithFormat() {
    auto v = Riff();
    auto f = PcmFormat16Mono();
    PutChunk(v, "fmt ", static_cast<uint32_t>(f.size()), 0);
    v.insert(v.end(), f.begin(), f.end());
    return v;
}

} // namespace

TEST(TWave, ReadsSoxFixtures) {
    struct Case {
        const char* file;
        uint16_t bits, channels;
        uint32_t rate, frames;
    } cases[] = {
        {"tone16_mono_22050_441hz.wav", 16, 1, 22050, 1103},
        {"tone8_mono_11025_882hz.wav", 8, 1, 11025, 551},
        {"tone16_stereo_44100_1000hz.wav", 16, 2, 44100, 2205},
        {"tone8_stereo_8000_500hz.wav", 8, 2, 8000, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TWave wave;
        wave.LoadFromBytes(ReadFixture(c.file));
        EXPECT_TRUE(wave.IsPlayablePcm());
        EXPECT_EQ(wave.Format().bitsPerSample, c.bits);
        EXPECT_EQ(wave.Format().channels, c.channels);
        EXPECT_EQ(wave.Format().samplesPerSec, c.rate);
        EXPECT_EQ(wave.FrameCount(), c.frames);
    }
}

TEST(TWave, SaveAndLoadKeepFormatAndSamples) {
    const std::vector<int16_t> samples{0, 1000, -1000, 32767, -32768, 5};
    const TWave original = TWave::FromPcm16(22050, 2, samples);
    TWave copy;
    copy.LoadFromBytes(original.SaveToBytes());
    EXPECT_EQ(copy.FormatBlock(), original.FormatBlock());
    EXPECT_EQ(copy.Data(), original.Data());
    EXPECT_EQ(copy.FrameCount(), 3u);
}

TEST(TWave, WalkSkipsUnknownChunksAndStopsAtTheEnd) {
    auto v = Riff();
    PutChunk(v, "LIST", 3, 3); // odd size, no pad byte
    auto f = PcmFormat16Mono();
    PutChunk(v, "fmt ", static_cast<uint32_t>(f.size()), 0);
    v.insert(v.end(), f.begin(), f.end());
    PutChunk(v, "data", 4, 4);
    TWave wave;
    wave.LoadFromBytes(v);
    EXPECT_EQ(wave.FrameCount(), 2u);

    // A zero identifier, a short tail or a skipped chunk running off the end all end the walk:
    // the wave is valid but has no samples.
    for (int variant = 0; variant < 3; ++variant) {
        auto w = WithFormat();
        if (variant == 0) {
            PutChunk(w, "\0\0\0\0", 0, 0);
            PutChunk(w, "data", 2, 2);
        }
        if (variant == 1) w.insert(w.end(), {'d', 'a', 't'});
        if (variant == 2) PutChunk(w, "junk", 100, 2);
        TWave empty;
        EXPECT_NO_THROW(empty.LoadFromBytes(w)) << variant;
        EXPECT_FALSE(empty.HasData()) << variant;
    }
}

TEST(TWave, RefusesDamagedWaves) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"short header", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}});
    {
        auto v = Riff();
        v[8] = 'X';
        cases.push_back({"not WAVE", v});
    }
    {
        auto v = WithFormat();
        PutChunk(v, "data", 0x7FFFFFF0, 16);
        cases.push_back({"data size past the end", v});
    }
    {
        auto v = WithFormat();
        PutChunk(v, "data", 0xFFFFFFFF, 0);
        cases.push_back({"data size wraps", v});
    }
    {
        auto v = Riff();
        PutChunk(v, "fmt ", 40, 16);
        cases.push_back({"format past the end", v});
    }
    {
        auto v = Riff();
        PutChunk(v, "fmt ", 8, 8);
        PutChunk(v, "data", 2, 2);
        cases.push_back({"format too short", v});
    }
    {
        auto v = Riff();
        PutChunk(v, "data", 2, 2);
        cases.push_back({"samples without a format", v});
    }
    for (const Case& c : cases) {
        TWave wave = TWave::FromPcm16(8000, 1, std::vector<int16_t>{1, 2});
        try {
            wave.LoadFromBytes(c.bytes);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const EWaveStreamError& e) {
            EXPECT_STREQ(e.what(), "Wave is invalid") << c.what;
        }
        EXPECT_FALSE(wave.HasData()) << c.what << ": old samples must not survive a failed load";
    }
}

TEST(TWave, EveryTruncationOfARealFileIsSafe) {
    const auto bytes = ReadFixture("tone16_mono_22050_441hz.wav");
    ASSERT_GT(bytes.size(), 44u);
    for (size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes, so a sanitizer build sees any read past the end.
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        TWave wave;
        try {
            wave.LoadFromBytes(cut);
            EXPECT_LE(wave.Data().size(), n);
        } catch (const EWaveStreamError&) {
        }
    }
}
