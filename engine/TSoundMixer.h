// The software mixer behind the sound output: sample buffers, voices and the music hook.
//
// A sound plays from its wave's own sample bytes at its own rate (`TSampleBuffer`, shared and
// immutable): no copy is made; the mixer reads them as floats in -1..1.
// A voice (`TSoundBuffer`) plays one sample buffer; duplicates of a voice share the samples, so
// overlapping plays of one effect cost no copy. Voices are mixed by linear interpolation into
// 44100 Hz (or whatever rate the device opened) float stereo.
//
// Threads: the audio thread calls `Render`; everything else is called from the game thread.
// See TSoundMixer.cpp for the locking rules. Lifetimes: the mixer must outlive every
// `TSoundBuffer` made from it, and a music source must stay alive until it has been replaced or
// cleared with `SetMusicSource` (after that call returns the mixer never touches it again).
#pragma once

#include "engine/TWave.h"
#include "platform/Platform.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace pondlark {

class TSoundMixer;

// Samples of one sound, interleaved by channel: the PCM bytes of its wave, shared with it.
struct TSampleBuffer {
    uint32_t rate = 0;
    int channels = 1;
    size_t frames = 0;
    bool eightBit = false; // unsigned 8-bit samples, else signed 16-bit little-endian
    std::shared_ptr<const std::vector<uint8_t>> bytes;
};

// Volume and pan are in hundredths of a decibel.
constexpr int32_t kVolumeMin = -10000; // silence
constexpr int32_t kVolumeMax = 0;      // full level
constexpr int32_t kPanLeft = -10000;   // right channel silent
constexpr int32_t kPanRight = 10000;   // left channel silent
constexpr int32_t kFrequencyMin = 100;
constexpr int32_t kFrequencyMax = 200000;

// One voice of the mixer. Move-only handle; destroying it removes the voice (stopping it).
// An empty handle (default-constructed or moved from) ignores every call and is never playing.
class TSoundBuffer {
public:
    TSoundBuffer() = default;
    TSoundBuffer(TSoundBuffer&& other) noexcept;
    TSoundBuffer& operator=(TSoundBuffer&& other) noexcept;
    TSoundBuffer(const TSoundBuffer&) = delete;
    TSoundBuffer& operator=(const TSoundBuffer&) = delete;
    ~TSoundBuffer();

    explicit operator bool() const { return mixer_ != nullptr; }

    // Starts from the current position; a looping voice wraps to 0 at its end, a single play
    // stops there.
    void Play(bool looping);
    void Stop();
    void SetCurrentPosition(uint32_t frame);
    bool Playing() const;
    // Hz, clamped to kFrequencyMin..kFrequencyMax; 0 plays at the sound's own rate.
    void SetFrequency(int32_t hz);
    void SetPan(int32_t pan);       // clamped to kPanLeft..kPanRight
    void SetVolume(int32_t volume); // clamped to kVolumeMin..kVolumeMax
    // The sound's length in milliseconds at the voice's current frequency.
    uint32_t DurationMs() const;
    // A new, stopped voice at position 0 on the same samples, with this voice's frequency, pan
    // and volume.
    TSoundBuffer Duplicate() const;

private:
    friend class TSoundMixer;
    TSoundBuffer(TSoundMixer* mixer, int id) : mixer_(mixer), id_(id) {}
    void Release();

    TSoundMixer* mixer_ = nullptr;
    int id_ = 0;
};

class TSoundMixer final : public IAudioSource {
public:
    static constexpr int kDefaultRate = 44100;

    explicit TSoundMixer(int outputRate = kDefaultRate);
    ~TSoundMixer() override;

    // A stopped voice at position 0 on a fresh copy of the wave's samples. Raises
    // EDirectSoundBufferError "Sound Buffer cannot be made" when the wave is not 8/16-bit PCM
    // mono or stereo, or has no whole frame of samples.
    TSoundBuffer CreateBuffer(const TWave& wave);

    // The rate the device actually runs at (the platform may not grant 44100).
    void SetOutputRate(int rate);
    int OutputRate() const;

    // An extra source (the music) rendered first in every callback, effects added on top.
    // nullptr removes it; the call waits until the audio thread has left the old source.
    void SetMusicSource(IAudioSource* source);

    int PlayingVoiceCount() const;

    // The player's volumes, 0 (silent) to 100 (full level), clamped: the music source's output
    // and the effects' sum are scaled before they are added. The gain is the square of the
    // fraction, so equal steps sound like equal steps. Any thread.
    void SetMusicVolume(int volume);
    void SetSoundVolume(int volume);
    // The gain a volume gives: (volume / 100)^2.
    static float VolumeGain(int volume);

    // Silenced output is all zeros while music and effects go on playing unheard, so what
    // comes back is where it would have been. Any thread.
    void SetSilenced(bool silenced) { silenced_.store(silenced, std::memory_order_relaxed); }
    bool Silenced() const { return silenced_.load(std::memory_order_relaxed); }

    // Audio thread.
    void Render(float* stereo, int frames) override;

private:
    friend class TSoundBuffer;

    struct Voice {
        std::shared_ptr<const TSampleBuffer> samples;
        double position = 0; // in frames of the sound
        bool playing = false;
        bool looping = false;
        int32_t frequency = 0;
        int32_t pan = 0;
        int32_t volume = 0;
        float gainLeft = 1, gainRight = 1;
    };

    static void UpdateGains(Voice& voice);
    int AddVoice(Voice voice);
    // Runs `f` on the voice under the lock; does nothing for an unknown id.
    template <typename F> void WithVoice(int id, F&& f);
    template <typename F> void WithVoice(int id, F&& f) const;

    mutable std::mutex mutex_;
    std::map<int, Voice> voices_;
    int nextId_ = 1;
    int outputRate_;

    std::mutex musicMutex_;
    IAudioSource* music_ = nullptr;
    std::atomic<bool> silenced_{false};
    std::atomic<float> musicGain_{1.0f};
    std::atomic<float> soundGain_{1.0f};
};

} // namespace pondlark
