#include "engine/TDXWaveList.h"

#include "engine/ArchiveWriter.h"

#include "engine/Errors.h"
#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {

constexpr int kRate = 44100;

// A 100 ms sound at the output rate, so 1 ms of sound is 44.1 output frames.
TWave Tone100ms() {
    std::vector<int16_t> samples(kRate / 10, 8000);
    return TWave::FromPcm16(kRate, 1, samples);
}

struct SoundRig {
    HeadlessPlatform platform;
    TDXSound sound{platform};
    TDXWaveList list;

    explicit SoundRig(bool device = true) {
        platform.SetAudioAvailable(device);
        list.SetDXSound(&sound);
    }
    TWaveCollectionItem& AddSound(const std::string& name, bool looped, int32_t maxPlaying) {
        TWaveCollectionItem& item = list.Items().Add();
        item.SetName(name);
        item.SetLooped(looped);
        item.SetMaxPlayingCount(maxPlaying);
        item.Wave() = Tone100ms();
        return item;
    }
    void PullMs(int ms) { platform.PullAudio(kRate * ms / 1000); }
    int Voices() { return sound.Mixer().PlayingVoiceCount(); }
};

} // namespace

TEST(TDXWaveList, MaxPlayingCountCutsOffTheOldestInstance) {
    SoundRig rig;
    TWaveCollectionItem& item = rig.AddSound("button_down", false, 2);
    rig.sound.Initialize();
    item.Play(false); // instance A
    rig.PullMs(20);
    item.Play(false); // instance B, 20 ms behind A
    rig.PullMs(20);
    item.Play(false); // both busy: A (the oldest) restarts
    EXPECT_EQ(rig.Voices(), 2);
    EXPECT_EQ(item.ExtraBufferCount(), 2u);
    rig.PullMs(70); // B is 90 ms in; had B been cut instead, A (110 ms) would be over
    EXPECT_EQ(rig.Voices(), 2);
    rig.PullMs(20); // B is over, the restarted A still plays
    EXPECT_EQ(rig.Voices(), 1);
    item.Play(false); // a free buffer is reused, nothing new is made
    EXPECT_EQ(item.ExtraBufferCount(), 2u);
}

TEST(TDXWaveList, MaxPlayingCountZeroIsUnlimited) {
    SoundRig rig;
    TWaveCollectionItem& item = rig.AddSound("food", false, 0);
    rig.sound.Initialize();
    for (int i = 0; i < 3; ++i)
        item.Play(false);
    EXPECT_EQ(rig.Voices(), 3);
    const auto out = rig.platform.PullAudio(10);
    EXPECT_NEAR(out[0], 3 * 8000 / 32768.0f, 1e-4f);
    item.SetMaxPlayingCount(-5);
    EXPECT_EQ(item.MaxPlayingCount(), 0);
    EXPECT_EQ(item.ExtraBufferCount(), 0u) << "changing the limit drops the extra buffers";
}

TEST(TDXWaveList, LoopedSoundRestartsAndStops) {
    SoundRig rig;
    TWaveCollectionItem& item = rig.AddSound("fon1", true, 1);
    rig.sound.Initialize();
    item.Play(false);
    rig.PullMs(60);
    item.Play(false); // restarts: one instance, from the start
    EXPECT_EQ(rig.Voices(), 1);
    EXPECT_EQ(item.ExtraBufferCount(), 0u);
    rig.PullMs(250); // well past its end: it loops
    EXPECT_TRUE(item.Playing());
    item.Stop();
    EXPECT_FALSE(item.Playing());
    const auto out = rig.platform.PullAudio(100);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0.0f);
    item.Play(false);
    item.SetLooped(false); // changing the mode stops the item
    EXPECT_FALSE(item.Playing());
}

TEST(TDXWaveList, FindIgnoresCaseAndPrefersTheNewestItem) {
    SoundRig rig;
    TWaveCollectionItem& food = rig.AddSound("food", false, 2);
    rig.AddSound("kvak", false, 1);
    EXPECT_EQ(&rig.list.Items().Find("FOOD"), &food);
    EXPECT_EQ(&rig.list.Items().Find("Food"), &food);
    TWaveCollectionItem& newer = rig.AddSound("Food", false, 1);
    EXPECT_EQ(&rig.list.Items().Find("food"), &newer);
    newer.SetName("muha");
    EXPECT_EQ(&rig.list.Items().Find("food"), &food);
    EXPECT_EQ(&rig.list.Items().Find("MUHA"), &newer);
    try {
        rig.list.Items().Find("fo");
        ADD_FAILURE() << "found a missing sound";
    } catch (const EWaveCollectionError& e) {
        EXPECT_STREQ(e.what(), "Wave 'fo' not found");
    }
}

TEST(TDXWaveList, WithoutADeviceEverythingIsSilent) {
    SoundRig rig(false);
    TWaveCollectionItem& looped = rig.AddSound("fon2", true, 1);
    TWaveCollectionItem& once = rig.AddSound("bell", false, 1);
    EXPECT_NO_THROW(rig.sound.Initialize());
    EXPECT_FALSE(rig.sound.Initialized());
    EXPECT_NO_THROW(looped.Play(false));
    EXPECT_NO_THROW(once.Play(true));
    EXPECT_NO_THROW(once.Stop());
    EXPECT_FALSE(once.Initialized());
    EXPECT_EQ(rig.Voices(), 0);
}

TEST(TDXWaveList, ItemsFollowTheOutputsLifecycle) {
    SoundRig rig;
    TWaveCollectionItem& item = rig.AddSound("bell", false, 1);
    item.Play(false); // not initialized yet: nothing
    EXPECT_EQ(rig.Voices(), 0);
    rig.sound.Initialize();
    ASSERT_TRUE(item.Initialized());
    item.Play(true); // waits in 10 ms sleeps; the headless device is never pulled
    EXPECT_GE(rig.platform.Ticks(), 100u) << "waited at least the sound's length";
    EXPECT_LE(rig.platform.Ticks(), 1200u) << "but gave up on a device that never plays";
    rig.sound.Finalize();
    EXPECT_FALSE(item.Initialized());
    EXPECT_EQ(rig.Voices(), 0);
    rig.sound.Initialize();
    EXPECT_TRUE(item.Initialized());
}

TEST(TDXWaveList, SoundOutputMayGoFirst) {
    HeadlessPlatform platform;
    TDXWaveList list;
    {
        TDXSound sound(platform);
        list.SetDXSound(&sound);
        TWaveCollectionItem& item = list.Items().Add();
        item.Wave() = Tone100ms();
        sound.Initialize();
        item.Play(false);
    }
    EXPECT_EQ(list.DXSound(), nullptr);
    EXPECT_FALSE(list.Items().Items(0).Initialized());
}

TEST(TDXWaveList, MissingArchiveFileIsAnOpenError) {
    TWaveCollection collection;
    try {
        collection.LoadFromFile("no/such/Music.dxw");
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"no/such/Music.dxw\". ", 0), 0u)
            << e.what();
    }
}

TEST(TDXWaveList, LoadedArchivePlaysAtOnceOnAnInitializedOutput) {
    SoundRig rig;
    rig.sound.Initialize();
    const std::vector<WaveEntry> entries{
        {"fon1", true, 1, Tone100ms().SaveToBytes()},
        {"brizg", false, 2, Tone100ms().SaveToBytes()},
    };
    rig.list.Items().LoadFromBytes(WriteSoundArchive(entries));
    ASSERT_EQ(rig.list.Items().Count(), 2);
    TWaveCollectionItem& fon = rig.list.Items().Find("FON1");
    EXPECT_TRUE(fon.Looped());
    EXPECT_EQ(rig.list.Items().Find("brizg").MaxPlayingCount(), 2);
    fon.Play(false);
    EXPECT_EQ(rig.Voices(), 1);

    // A damaged wave fails the whole load and leaves no half list behind.
    std::vector<WaveEntry> damaged = entries;
    damaged[1].riff.resize(30);
    EXPECT_THROW(rig.list.Items().LoadFromBytes(WriteSoundArchive(damaged)), EWaveStreamError);
    EXPECT_EQ(rig.list.Items().Count(), 0u);
    EXPECT_EQ(rig.Voices(), 0);
}
