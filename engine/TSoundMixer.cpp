// Locking and mixing rules.
//
// Two mutexes, never held together, so they cannot deadlock:
// - `mutex_` guards the voice table and the output rate. The game thread holds it only for one
//   field update or a table insert/erase; the audio thread holds it while it adds the voices
//   into one callback's buffer (bounded by voices x frames, a few microseconds). No allocation,
//   no sleep and no call out of the mixer happen while it is held, beyond a map node when a voice
//   is added or removed (sample memory is freed outside the lock).
// - `musicMutex_` guards the music source pointer and is held while the music renders, so
//   `SetMusicSource` returning means the old source is no longer in use.
//
// Mixing: a voice steps through its sound by (frequency / output rate) frames per output
// frame and interpolates linearly between neighbouring frames; a looping voice interpolates
// its last frame towards frame 0 so the join is as smooth as the sound itself. Music is written
// first, voices are added, and the sum is clamped to -1..1.
#include "engine/TSoundMixer.h"

#include "engine/Errors.h"

#include <algorithm>
#include <cmath>

namespace pondlark {

namespace {

float DecibelsToGain(int32_t hundredths) {
    if (hundredths <= kVolumeMin) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

// One over 32768 and one over 128: powers of two, so a sample times them is exact, the same
// float as the sample divided by them.
constexpr float kScale16 = 1.0f / 32768.0f;
constexpr float kScale8 = 1.0f / 128.0f;

std::shared_ptr<const TSampleBuffer> SamplesOf(const TWave& wave) {
    auto buffer = std::make_shared<TSampleBuffer>();
    const TWaveFormat& f = wave.Format();
    buffer->rate = f.samplesPerSec;
    buffer->channels = f.channels;
    buffer->frames = wave.FrameCount();
    buffer->eightBit = f.bitsPerSample == 8;
    buffer->bytes = wave.SharedData();
    return buffer;
}

} // namespace

// ---- TSoundBuffer ----

TSoundBuffer::TSoundBuffer(TSoundBuffer&& other) noexcept : mixer_(other.mixer_), id_(other.id_) {
    other.mixer_ = nullptr;
}

TSoundBuffer& TSoundBuffer::operator=(TSoundBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        mixer_ = other.mixer_;
        id_ = other.id_;
        other.mixer_ = nullptr;
    }
    return *this;
}

TSoundBuffer::~TSoundBuffer() {
    Release();
}

void TSoundBuffer::Release() {
    if (!mixer_) return;
    // The samples may be freed here; do that after the lock so the audio thread never waits
    // on it.
    std::shared_ptr<const TSampleBuffer> samples;
    {
        std::lock_guard lock(mixer_->mutex_);
        auto it = mixer_->voices_.find(id_);
        if (it != mixer_->voices_.end()) {
            samples = std::move(it->second.samples);
            mixer_->voices_.erase(it);
        }
    }
    mixer_ = nullptr;
}

void TSoundBuffer::Play(bool looping) {
    if (!mixer_) return;
    mixer_->WithVoice(id_, [&](TSoundMixer::Voice& v) {
        v.looping = looping;
        v.playing = v.samples->frames > 0;
    });
}

void TSoundBuffer::Stop() {
    if (!mixer_) return;
    mixer_->WithVoice(id_, [](TSoundMixer::Voice& v) { v.playing = false; });
}

void TSoundBuffer::SetCurrentPosition(uint32_t frame) {
    if (!mixer_) return;
    mixer_->WithVoice(id_, [&](TSoundMixer::Voice& v) {
        v.position = static_cast<double>(std::min<size_t>(frame, v.samples->frames));
    });
}

bool TSoundBuffer::Playing() const {
    bool playing = false;
    if (mixer_) {
        const TSoundMixer* mixer = mixer_;
        mixer->WithVoice(id_, [&](const TSoundMixer::Voice& v) { playing = v.playing; });
    }
    return playing;
}

void TSoundBuffer::SetFrequency(int32_t hz) {
    if (!mixer_) return;
    const int32_t value = hz == 0 ? 0 : std::clamp(hz, kFrequencyMin, kFrequencyMax);
    mixer_->WithVoice(id_, [&](TSoundMixer::Voice& v) { v.frequency = value; });
}

void TSoundBuffer::SetPan(int32_t pan) {
    if (!mixer_) return;
    mixer_->WithVoice(id_, [&](TSoundMixer::Voice& v) {
        v.pan = std::clamp(pan, kPanLeft, kPanRight);
        TSoundMixer::UpdateGains(v);
    });
}

void TSoundBuffer::SetVolume(int32_t volume) {
    if (!mixer_) return;
    mixer_->WithVoice(id_, [&](TSoundMixer::Voice& v) {
        v.volume = std::clamp(volume, kVolumeMin, kVolumeMax);
        TSoundMixer::UpdateGains(v);
    });
}

uint32_t TSoundBuffer::DurationMs() const {
    uint32_t ms = 0;
    if (mixer_) {
        const TSoundMixer* mixer = mixer_;
        mixer->WithVoice(id_, [&](const TSoundMixer::Voice& v) {
            const double rate = v.frequency ? v.frequency : v.samples->rate;
            ms = static_cast<uint32_t>(
                std::ceil(static_cast<double>(v.samples->frames) * 1000.0 / rate));
        });
    }
    return ms;
}

TSoundBuffer TSoundBuffer::Duplicate() const {
    if (!mixer_) return {};
    TSoundMixer::Voice copy;
    bool found = false;
    const TSoundMixer* mixer = mixer_;
    mixer->WithVoice(id_, [&](const TSoundMixer::Voice& v) {
        copy = v;
        found = true;
    });
    if (!found) return {};
    copy.position = 0;
    copy.playing = false;
    copy.looping = false;
    return TSoundBuffer(mixer_, mixer_->AddVoice(std::move(copy)));
}

// ---- TSoundMixer ----

TSoundMixer::TSoundMixer(int outputRate)
    : outputRate_(outputRate > 0 ? outputRate : kDefaultRate) {}

TSoundMixer::~TSoundMixer() = default;

template <typename F> void TSoundMixer::WithVoice(int id, F&& f) {
    std::lock_guard lock(mutex_);
    auto it = voices_.find(id);
    if (it != voices_.end()) f(it->second);
}

template <typename F> void TSoundMixer::WithVoice(int id, F&& f) const {
    std::lock_guard lock(mutex_);
    auto it = voices_.find(id);
    if (it != voices_.end()) f(it->second);
}

void TSoundMixer::UpdateGains(Voice& v) {
    const float level = DecibelsToGain(v.volume);
    v.gainLeft = level * (v.pan > 0 ? DecibelsToGain(-v.pan) : 1.0f);
    v.gainRight = level * (v.pan < 0 ? DecibelsToGain(v.pan) : 1.0f);
}

int TSoundMixer::AddVoice(Voice voice) {
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    voices_.emplace(id, std::move(voice));
    return id;
}

TSoundBuffer TSoundMixer::CreateBuffer(const TWave& wave) {
    if (!wave.IsPlayablePcm() || wave.FrameCount() == 0)
        throw EDirectSoundBufferError(Format("%s cannot be made", "Sound Buffer"));
    Voice voice;
    voice.samples = SamplesOf(wave);
    return TSoundBuffer(this, AddVoice(std::move(voice)));
}

void TSoundMixer::SetOutputRate(int rate) {
    std::lock_guard lock(mutex_);
    if (rate > 0) outputRate_ = rate;
}

int TSoundMixer::OutputRate() const {
    std::lock_guard lock(mutex_);
    return outputRate_;
}

void TSoundMixer::SetMusicSource(IAudioSource* source) {
    std::lock_guard lock(musicMutex_);
    music_ = source;
}

int TSoundMixer::PlayingVoiceCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(voices_.begin(), voices_.end(),
                                          [](const auto& e) { return e.second.playing; }));
}

float TSoundMixer::VolumeGain(int volume) {
    const float fraction = static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f;
    return fraction * fraction;
}

void TSoundMixer::SetMusicVolume(int volume) {
    musicGain_.store(VolumeGain(volume), std::memory_order_relaxed);
}

void TSoundMixer::SetSoundVolume(int volume) {
    soundGain_.store(VolumeGain(volume), std::memory_order_relaxed);
}

void TSoundMixer::Render(float* stereo, int frames) {
    if (frames <= 0) return;
    const size_t n = static_cast<size_t>(frames);
    {
        std::lock_guard lock(musicMutex_);
        if (music_) {
            music_->Render(stereo, frames);
            const float gain = musicGain_.load(std::memory_order_relaxed);
            if (gain != 1.0f)
                for (size_t i = 0; i < 2 * n; ++i)
                    stereo[i] *= gain;
        } else {
            std::fill(stereo, stereo + 2 * n, 0.0f);
        }
    }
    const float soundGain = soundGain_.load(std::memory_order_relaxed);

    std::lock_guard lock(mutex_);
    for (auto& [id, v] : voices_) {
        if (!v.playing) continue;
        const TSampleBuffer& s = *v.samples;
        const size_t length = s.frames;
        const double rate = v.frequency ? v.frequency : s.rate;
        const double step = rate / outputRate_;
        const uint8_t* bytes = s.bytes ? s.bytes->data() : nullptr;
        const bool eightBit = s.eightBit;
        const auto data = [bytes, eightBit](size_t k) {
            if (eightBit) return static_cast<float>(bytes[k] - 128) * kScale8;
            const auto sample = static_cast<int16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
            return static_cast<float>(sample) * kScale16;
        };
        const bool stereoSound = s.channels == 2;
        double pos = v.position;
        for (size_t i = 0; i < n; ++i) {
            if (pos >= static_cast<double>(length)) {
                if (!v.looping) {
                    v.playing = false;
                    break;
                }
                pos = std::fmod(pos, static_cast<double>(length));
            }
            const auto index = static_cast<size_t>(pos);
            const auto frac = static_cast<float>(pos - static_cast<double>(index));
            const size_t next = index + 1 < length ? index + 1 : (v.looping ? 0 : index);
            float left, right;
            if (stereoSound) {
                left = data(2 * index) + (data(2 * next) - data(2 * index)) * frac;
                right = data(2 * index + 1) + (data(2 * next + 1) - data(2 * index + 1)) * frac;
            } else {
                left = right = data(index) + (data(next) - data(index)) * frac;
            }
            stereo[2 * i] += left * v.gainLeft * soundGain;
            stereo[2 * i + 1] += right * v.gainRight * soundGain;
            pos += step;
        }
        if (v.playing && pos >= static_cast<double>(length)) {
            if (v.looping)
                pos = std::fmod(pos, static_cast<double>(length));
            else
                v.playing = false;
        }
        v.position = pos;
    }
    if (Silenced()) {
        std::fill(stereo, stereo + 2 * n, 0.0f);
        return;
    }
    for (size_t i = 0; i < 2 * n; ++i)
        stereo[i] = std::clamp(stereo[i], -1.0f, 1.0f);
}

} // namespace pondlark
