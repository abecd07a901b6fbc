// One wave sound as the sound archive stores it: the format block and the sample bytes of a
// RIFF WAVE file.
//
// `LoadFromBytes` walks the RIFF chunks of a bounded byte span and raises `EWaveStreamError`
// "Wave is invalid" for anything it cannot trust; it never reads outside the span. A wave
// without a data chunk is valid and simply has no samples (it never plays). Whether the format
// can be played is the mixer's question (`IsPlayablePcm` says what it accepts).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pondlark {

// The fields of the format block every wave has (the first 16 bytes of "fmt ").
struct TWaveFormat {
    uint16_t formatTag = 0; // 1 = PCM
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

class TWave {
public:
    TWave() = default;

    // Replaces the wave with the one in `riff`. On failure the wave is left empty.
    void LoadFromBytes(std::span<const uint8_t> riff);
    // A minimal RIFF file ("fmt " then "data") holding this wave; empty when there is no format.
    std::vector<uint8_t> SaveToBytes() const;

    void Clear();

    // The raw format block at its stored size (empty before a load).
    const std::vector<uint8_t>& FormatBlock() const { return formatBlock_; }
    const TWaveFormat& Format() const { return format_; }
    const std::vector<uint8_t>& Data() const;
    bool HasData() const { return data_ && !data_->empty(); }
    // The same bytes, to be shared without a copy (the sound mixer plays them as they are);
    // never changed once loaded. Null before a load.
    const std::shared_ptr<const std::vector<uint8_t>>& SharedData() const { return data_; }

    // PCM, 8 or 16 bits, mono or stereo, a rate above 0 and a block size that matches.
    bool IsPlayablePcm() const;
    // Whole sample frames in the data (0 when the format is not playable PCM).
    uint32_t FrameCount() const;

    // Builds a 16-bit PCM wave from interleaved samples (for tools and tests).
    static TWave FromPcm16(uint32_t rate, uint16_t channels, std::span<const int16_t> samples);

private:
    std::vector<uint8_t> formatBlock_;
    TWaveFormat format_;
    std::shared_ptr<const std::vector<uint8_t>> data_;
};

} // namespace pondlark
