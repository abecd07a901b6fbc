#include "sound/Synth.h"

#include <algorithm>
#include <cmath>

namespace pondlark::synth {

uint64_t Rng::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double SineWave(double phase) {
    return std::sin(2 * kPi * phase);
}

double SoftSaw(double phase) {
    double v = 0;
    for (int k = 1; k <= 8; ++k)
        v += std::sin(2 * kPi * k * phase) / k * (1.0 - k / 10.0);
    return v * 0.6;
}

double SoftSquare(double phase) {
    double v = 0;
    for (int k = 1; k <= 7; k += 2)
        v += std::sin(2 * kPi * k * phase) / k;
    return v * 0.8;
}

Signal Sweep(double seconds, int rate, const std::function<double(double)>& hz,
             const std::function<double(double)>& waveform) {
    Signal out(Frames(seconds, rate));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        out[i] = static_cast<float>(waveform ? waveform(phase) : SineWave(phase));
        phase += hz(t) / rate;
        phase -= std::floor(phase);
    }
    return out;
}

Signal WhiteNoise(double seconds, int rate, Rng& rng) {
    Signal out(Frames(seconds, rate));
    for (float& s : out)
        s = rng.Noise();
    return out;
}

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2) {
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

void Biquad::LowPass(double hz, double q, int rate) {
    const double w = 2 * kPi * std::min(hz, rate * 0.45) / rate, c = std::cos(w);
    const double alpha = std::sin(w) / (2 * q);
    Set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::HighPass(double hz, double q, int rate) {
    const double w = 2 * kPi * std::min(hz, rate * 0.45) / rate, c = std::cos(w);
    const double alpha = std::sin(w) / (2 * q);
    Set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::BandPass(double hz, double q, int rate) {
    const double w = 2 * kPi * std::min(hz, rate * 0.45) / rate, c = std::cos(w);
    const double alpha = std::sin(w) / (2 * q);
    Set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

float Biquad::Process(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
}

Signal Filtered(const Signal& in, Biquad filter) {
    Signal out(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        out[i] = filter.Process(in[i]);
    return out;
}

Signal OnePoleLowPass(const Signal& in, double hz, int rate) {
    const double a = std::exp(-2 * kPi * hz / rate);
    Signal out(in.size());
    double y = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        y = (1 - a) * in[i] + a * y;
        out[i] = static_cast<float>(y);
    }
    return out;
}

std::function<double(double)> Percussive(double attack, double decay) {
    return [=](double t) { return t < attack ? t / attack : std::exp(-(t - attack) / decay); };
}

std::function<double(double)> AttackRelease(double attack, double hold, double release) {
    return [=](double t) {
        if (t < attack) return t / attack;
        if (t < attack + hold) return 1.0;
        return std::max(0.0, 1.0 - (t - attack - hold) / release);
    };
}

void ApplyEnvelope(Signal& s, int rate, const std::function<double(double)>& env) {
    for (size_t i = 0; i < s.size(); ++i)
        s[i] *= static_cast<float>(env(static_cast<double>(i) / rate));
}

void MixInto(Signal& dst, const Signal& src, size_t offset, float gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i)
        dst[offset + i] += src[i] * gain;
}

void Fade(Signal& s, int rate, double fadeInSeconds, double fadeOutSeconds) {
    const size_t in = std::min(Frames(fadeInSeconds, rate), s.size());
    const size_t out = std::min(Frames(fadeOutSeconds, rate), s.size());
    for (size_t i = 0; i < in; ++i)
        s[i] *= static_cast<float>(
            0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(in)));
    for (size_t i = 0; i < out; ++i) {
        const double g =
            0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(out));
        s[s.size() - 1 - i] *= static_cast<float>(g);
    }
}

Signal MakeLoop(const Signal& rendered, int rate, double crossfadeSeconds, bool equalPower) {
    const size_t x = std::min(Frames(crossfadeSeconds, rate), rendered.size() / 2);
    const size_t length = rendered.size() - x;
    Signal out(rendered.begin(), rendered.begin() + static_cast<long>(length));
    for (size_t i = 0; i < x; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(x);
        const double in = equalPower ? std::sin(0.5 * kPi * u) : u;
        const double fadeOut = equalPower ? std::cos(0.5 * kPi * u) : 1 - u;
        out[i] = static_cast<float>(rendered[i] * in + rendered[length + i] * fadeOut);
    }
    return out;
}

void Normalize(Signal& s, double peakDb) {
    float peak = 0;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    if (peak <= 0) return;
    const auto gain = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
    for (float& v : s)
        v *= gain;
}

std::vector<int16_t> ToPcm16(const Signal& s) {
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = std::clamp(std::round(s[i] * 32767.0), -32767.0, 32767.0);
        out[i] = static_cast<int16_t>(v);
    }
    return out;
}

} // namespace pondlark::synth
