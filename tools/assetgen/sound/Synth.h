// Small synthesis kit for the game's sounds and instruments: oscillators, seeded noise,
// filters, envelopes and the finishing steps (fades, seamless loops, peak level, 16-bit PCM).
//
// Everything is deterministic: noise comes from a seeded generator and nothing reads the clock,
// so a run produces the same bytes every time. Signals are mono float vectors at a given rate.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace pondlark::synth {

using Signal = std::vector<float>;

constexpr double kPi = 3.14159265358979323846;

// SplitMix64: tiny, seedable, same sequence on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform(); // 0 <= x < 1
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    float Noise() { return static_cast<float>(Uniform() * 2.0 - 1.0); } // white, -1..1

private:
    uint64_t state_;
};

inline size_t Frames(double seconds, int rate) {
    return static_cast<size_t>(seconds * rate + 0.5);
}

// A sine whose frequency (Hz) may change over time: `hz(t)` with t in seconds. The phase is
// accumulated, so glides are smooth.
Signal Sweep(double seconds, int rate, const std::function<double(double)>& hz,
             const std::function<double(double)>& waveform = {});
// Band-limited-enough waveforms for the low rates we use, as functions of phase in cycles.
double SineWave(double phase);
double SoftSaw(double phase);    // saw with the top harmonics tamed
double SoftSquare(double phase); // odd harmonics 1, 3, 5, 7
Signal WhiteNoise(double seconds, int rate, Rng& rng);

// RBJ biquad. Parameters may be changed between samples (swept filters).
class Biquad {
public:
    void LowPass(double hz, double q, int rate);
    void HighPass(double hz, double q, int rate);
    void BandPass(double hz, double q, int rate); // 0 dB peak gain
    float Process(float x);

private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

Signal Filtered(const Signal& in, Biquad filter);
// One-pole low pass, for smoothing random control signals and brown-ish noise.
Signal OnePoleLowPass(const Signal& in, double hz, int rate);

// Envelopes: gain as a function of time in seconds.
std::function<double(double)> Percussive(double attack, double decay); // exp decay, time const
std::function<double(double)> AttackRelease(double attack, double hold, double release);
void ApplyEnvelope(Signal& s, int rate, const std::function<double(double)>& env);

// Adds `src` scaled by `gain` into `dst` starting at `offset` frames (grows `dst` if needed).
void MixInto(Signal& dst, const Signal& src, size_t offset = 0, float gain = 1.0f);

// Raised-cosine fades at both ends (no click at start or end).
void Fade(Signal& s, int rate, double fadeInSeconds, double fadeOutSeconds);
// Turns a signal rendered `crossfade` seconds longer than the loop into a seamless loop of
// length (size - crossfade): the overhang is cross-faded over the start. Equal power suits
// unrelated material (noise beds); equal gain suits material that repeats in phase.
Signal MakeLoop(const Signal& rendered, int rate, double crossfadeSeconds, bool equalPower);
// Scales so the peak sits at `peakDb` dBFS (negative).
void Normalize(Signal& s, double peakDb);
// Rounds to 16-bit PCM (clamped).
std::vector<int16_t> ToPcm16(const Signal& s);

} // namespace pondlark::synth
