#include "engine/TSoundMixer.h"

#include "engine/AudioTestSupport.h"
#include "engine/Errors.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pondlark;
using namespace pondlark::test;

namespace {

constexpr int kRate = 44100;

struct MixerRig {
    HeadlessPlatform platform;
    TSoundMixer mixer{kRate};
    MixerRig() { platform.OpenAudio(kRate, &mixer); }
};

// A source that writes a constant, to see that music and effects add up.
class ConstantSource final : public IAudioSource {
public:
    explicit ConstantSource(float value) : value_(value) {}
    void Render(float* stereo, int frames) override {
        for (int i = 0; i < 2 * frames; ++i)
            stereo[i] = value_;
    }

private:
    float value_;
};

} // namespace

TEST(TSoundMixer, FixturesPlayAtTheirLengthAndPitch) {
    struct Case {
        const char* file;
        double toneHz;
        int speedUp; // frequency set to this multiple of the wave's own rate (1 = own rate)
    } cases[] = {
        {"tone16_mono_22050_441hz.wav", 441, 1},     {"tone8_mono_11025_882hz.wav", 882, 1},
        {"tone16_stereo_44100_1000hz.wav", 1000, 1}, {"tone8_stereo_8000_500hz.wav", 500, 1},
        {"tone16_mono_22050_441hz.wav", 441, 2},     {"tone8_stereo_8000_500hz.wav", 500, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " x" + std::to_string(c.speedUp));
        MixerRig rig;
        const TWave wave = LoadWaveFixture(c.file);
        TSoundBuffer voice = rig.mixer.CreateBuffer(wave);
        if (c.speedUp != 1)
            voice.SetFrequency(static_cast<int32_t>(wave.Format().samplesPerSec) * c.speedUp);
        voice.Play(false);
        const auto out = rig.platform.PullAudio(kRate / 10); // 0.1 s, twice the tone
        EXPECT_FALSE(voice.Playing());
        for (int ch = 0; ch < 2; ++ch) {
            const auto mono = Channel(out, ch);
            const double expectedLength = 0.05 * kRate / c.speedUp;
            const size_t length = SoundingLength(mono);
            EXPECT_NEAR(static_cast<double>(length), expectedLength, 0.01 * expectedLength);
            EXPECT_NEAR(ZeroCrossingFrequency(mono, length, kRate), c.toneHz * c.speedUp,
                        0.02 * c.toneHz * c.speedUp);
            EXPECT_NEAR(Peak(mono), 0.5f, 0.05f);
        }
    }
}

TEST(TSoundMixer, LoopingVoiceKeepsPlayingUntilStopped) {
    MixerRig rig;
    TSoundBuffer voice = rig.mixer.CreateBuffer(LoadWaveFixture("tone16_mono_22050_441hz.wav"));
    voice.Play(true);
    const auto out = Channel(rig.platform.PullAudio(kRate / 5), 0); // four passes
    EXPECT_TRUE(voice.Playing());
    EXPECT_EQ(SoundingLength(out), out.size());
    voice.Stop();
    EXPECT_FALSE(voice.Playing());
    EXPECT_EQ(Peak(rig.platform.PullAudio(1000)), 0.0f);
}

TEST(TSoundMixer, VolumeAndPanAttenuateInHundredthsOfADecibel) {
    struct Case {
        int32_t volume, pan;
        float left, right; // expected peaks for a 0.5 tone
    } cases[] = {
        {0, 0, 0.5f, 0.5f},      {-600, 0, 0.5f * 0.501f, 0.5f * 0.501f}, // -6 dB
        {0, -2000, 0.5f, 0.05f},                                          // right down 20 dB
        {0, 2000, 0.05f, 0.5f},  {kVolumeMin, 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.volume) + "/" + std::to_string(c.pan));
        MixerRig rig;
        TSoundBuffer voice = rig.mixer.CreateBuffer(LoadWaveFixture("tone16_mono_22050_441hz.wav"));
        voice.SetVolume(c.volume);
        voice.SetPan(c.pan);
        voice.Play(false);
        const auto out = rig.platform.PullAudio(kRate / 20);
        EXPECT_NEAR(Peak(Channel(out, 0)), c.left, 0.01f);
        EXPECT_NEAR(Peak(Channel(out, 1)), c.right, 0.01f);
    }
}

TEST(TSoundMixer, DuplicatesPlayTogetherAndMusicIsMixedIn) {
    MixerRig rig;
    ConstantSource music(0.25f);
    rig.mixer.SetMusicSource(&music);
    TSoundBuffer first = rig.mixer.CreateBuffer(LoadWaveFixture("tone16_mono_22050_441hz.wav"));
    TSoundBuffer second = first.Duplicate();
    EXPECT_FALSE(second.Playing());
    first.Play(false);
    second.Play(false);
    EXPECT_EQ(rig.mixer.PlayingVoiceCount(), 2);
    const auto out = Channel(rig.platform.PullAudio(kRate / 10), 0);
    // Two in-phase copies of a 0.5 tone on top of 0.25 reach the clamp; after them, the music.
    EXPECT_FLOAT_EQ(Peak(out), 1.0f);
    EXPECT_FLOAT_EQ(out.back(), 0.25f);
    rig.mixer.SetMusicSource(nullptr);
    EXPECT_EQ(Peak(rig.platform.PullAudio(100)), 0.0f);
}

TEST(TSoundMixer, RefusesWavesItCannotPlay) {
    TSoundMixer mixer;
    TWave noSamples = TWave::FromPcm16(22050, 1, std::vector<int16_t>{});
    EXPECT_THROW(mixer.CreateBuffer(noSamples), EDirectSoundBufferError);
    TWave threeChannels = TWave::FromPcm16(22050, 3, std::vector<int16_t>{1, 2, 3});
    EXPECT_THROW(mixer.CreateBuffer(threeChannels), EDirectSoundBufferError);
}

TEST(TSoundMixer, DroppedVoiceFallsSilent) {
    MixerRig rig;
    {
        TSoundBuffer voice = rig.mixer.CreateBuffer(LoadWaveFixture("tone16_mono_22050_441hz.wav"));
        voice.Play(true);
        EXPECT_GT(Peak(rig.platform.PullAudio(500)), 0.1f);
    }
    EXPECT_EQ(rig.mixer.PlayingVoiceCount(), 0);
    EXPECT_EQ(Peak(rig.platform.PullAudio(500)), 0.0f);
}
