// Measurements on rendered audio shared by the sound tests.
#pragma once

#include "engine/TWave.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pondlark::test {

inline TWave LoadWaveFixture(const std::string& name) {
    std::ifstream f(std::string(PONDLARK_TEST_DATA) + "/wav/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f),
                                     std::istreambuf_iterator<char>()};
    TWave wave;
    wave.LoadFromBytes(bytes);
    return wave;
}

// One channel (0 left, 1 right) of interleaved stereo.
inline std::vector<float> Channel(const std::vector<float>& stereo, int channel) {
    std::vector<float> out;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2)
        out.push_back(stereo[i]);
    return out;
}

// Frames up to and including the last one louder than `threshold`.
inline size_t SoundingLength(const std::vector<float>& mono, float threshold = 1e-4f) {
    for (size_t i = mono.size(); i > 0; --i)
        if (std::fabs(mono[i - 1]) > threshold) return i;
    return 0;
}

// Frequency from the rising zero crossings between the first and the last one.
inline double ZeroCrossingFrequency(const std::vector<float>& mono, size_t length, int rate) {
    std::vector<double> rising;
    for (size_t i = 1; i < length; ++i) {
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            const double t = mono[i - 1] / (mono[i - 1] - mono[i]); // sub-frame position
            rising.push_back(static_cast<double>(i - 1) + t);
        }
    }
    if (rising.size() < 2) return 0;
    return (static_cast<double>(rising.size()) - 1) * rate / (rising.back() - rising.front());
}

inline float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

} // namespace pondlark::test
