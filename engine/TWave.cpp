// The RIFF walk.
//
// Layout: "RIFF", a 32-bit size (ignored: writers often get it wrong), "WAVE", then chunks of an
// 8-byte header (4-character identifier, 32-bit little-endian body size) and the body. "fmt "
// gives the format block, "data" gives the samples and ends the walk; other chunks are skipped
// by their size, with no pad byte after odd sizes (the archives were written that way). The walk
// also ends at an all-zero identifier or when fewer than 8 bytes are left.
//
// Invariants: every read goes through a `TByteReader`, which checks the bytes are there first;
// sizes are compared against what is left, never added to an offset before the check. A "fmt " or
// "data" body that runs past the end, or a format block shorter than 16 bytes, makes the whole
// wave invalid rather than being cut short, so a damaged archive never plays garbage. A skipped
// chunk that runs past the end simply ends the walk (nothing after it could be read).
#include "engine/TWave.h"

#include "engine/Errors.h"
#include "platform/ByteSpan.h"

#include <cstring>

namespace pondlark {

namespace {

constexpr const char* kInvalid = "Wave is invalid";

[[noreturn]] void Invalid() {
    throw EWaveStreamError(kInvalid);
}

uint32_t Le32(const uint8_t* p) {
    return TByteReader({p, 4}, &Invalid).U32();
}

bool TagIs(const uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

} // namespace

void TWave::Clear() {
    formatBlock_.clear();
    format_ = {};
    data_.clear();
}

void TWave::LoadFromBytes(std::span<const uint8_t> riff) {
    Clear();
    if (riff.size() < 12 || !TagIs(riff.data(), "RIFF") || !TagIs(riff.data() + 8, "WAVE"))
        Invalid();

    std::vector<uint8_t> formatBlock;
    std::vector<uint8_t> data;
    size_t pos = 12;
    while (riff.size() - pos >= 8) {
        const uint8_t* header = riff.data() + pos;
        if (Le32(header) == 0) break;
        const uint32_t size = Le32(header + 4);
        pos += 8;
        const size_t left = riff.size() - pos;
        const bool isFormat = TagIs(header, "fmt ");
        const bool isData = TagIs(header, "data");
        if (size > left) {
            if (isFormat || isData) Invalid();
            break;
        }
        const uint8_t* body = riff.data() + pos;
        if (isFormat) {
            if (size < 16) Invalid();
            formatBlock.assign(body, body + size);
        } else if (isData) {
            data.assign(body, body + size);
            break;
        }
        pos += size;
    }
    // Samples without a format cannot be interpreted.
    if (!data.empty() && formatBlock.empty()) Invalid();

    formatBlock_ = std::move(formatBlock);
    data_ = std::move(data);
    if (!formatBlock_.empty()) {
        // The block holds at least the 16 bytes read here.
        TByteReader f(formatBlock_, &Invalid);
        format_.formatTag = f.U16();
        format_.channels = f.U16();
        format_.samplesPerSec = f.U32();
        format_.avgBytesPerSec = f.U32();
        format_.blockAlign = f.U16();
        format_.bitsPerSample = f.U16();
    }
}

std::vector<uint8_t> TWave::SaveToBytes() const {
    if (formatBlock_.empty()) return {};
    const auto fmtSize = static_cast<uint32_t>(formatBlock_.size());
    const auto dataSize = static_cast<uint32_t>(data_.size());
    TByteWriter w;
    w.Chars("RIFF");
    w.U32(4 + 8 + fmtSize + 8 + dataSize);
    w.Chars("WAVE");
    w.Chars("fmt ");
    w.U32(fmtSize);
    w.Bytes(formatBlock_);
    w.Chars("data");
    w.U32(dataSize);
    w.Bytes(data_);
    return std::move(w.Data());
}

bool TWave::IsPlayablePcm() const {
    const TWaveFormat& f = format_;
    if (formatBlock_.empty() || f.formatTag != 1) return false;
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.samplesPerSec == 0) return false;
    return f.blockAlign == f.channels * f.bitsPerSample / 8;
}

uint32_t TWave::FrameCount() const {
    if (!IsPlayablePcm()) return 0;
    return static_cast<uint32_t>(data_.size() / format_.blockAlign);
}

TWave TWave::FromPcm16(uint32_t rate, uint16_t channels, std::span<const int16_t> samples) {
    TWave wave;
    const auto blockAlign = static_cast<uint16_t>(channels * 2);
    TByteWriter f;
    f.U16(1);
    f.U16(channels);
    f.U32(rate);
    f.U32(rate * blockAlign);
    f.U16(blockAlign);
    f.U16(16);
    f.U16(0); // cbSize: a complete WAVEFORMATEX
    wave.formatBlock_ = std::move(f.Data());
    wave.format_ = {1, channels, rate, rate * blockAlign, blockAlign, 16};
    TByteWriter d;
    for (int16_t sample : samples)
        d.U16(static_cast<uint16_t>(sample));
    wave.data_ = std::move(d.Data());
    return wave;
}

} // namespace pondlark
