#include "platform/ReplayPacking.h"

#include <array>
#include <memory>

namespace pondlark {

namespace {

// Probabilities of a 0 bit in 11 bits, moved a sixteenth of the way to each bit seen; they stay
// within 15 .. 2033, so neither side of a split is ever empty.
constexpr int kProbabilityBits = 11;
constexpr uint16_t kHalf = 1u << (kProbabilityBits - 1);
constexpr int kAdapt = 4;
constexpr uint32_t kTop = 1u << 24;

// One probability per previous byte and per node of the bit tree of the byte being coded.
struct TByteModel {
    std::array<uint16_t, 256 * 256> p;
    TByteModel() { p.fill(kHalf); }
    uint16_t& At(uint8_t previous, unsigned node) { return p[previous * 256u + node]; }
};

class TEncoder {
public:
    void Bit(uint16_t& p, unsigned bit) {
        const uint32_t bound = (range_ >> kProbabilityBits) * p;
        if (bit == 0) {
            range_ = bound;
            p = static_cast<uint16_t>(p + (((1u << kProbabilityBits) - p) >> kAdapt));
        } else {
            low_ += bound;
            range_ -= bound;
            p = static_cast<uint16_t>(p - (p >> kAdapt));
        }
        while (range_ < kTop) {
            range_ <<= 8;
            ShiftLow();
        }
    }
    std::vector<uint8_t> Finish() {
        for (int i = 0; i < 5; ++i)
            ShiftLow();
        return std::move(out_);
    }

private:
    // The top byte of `low` goes out once no carry can change it; a run of 0xFF bytes waits
    // with it, as one carry would turn them all.
    void ShiftLow() {
        if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
            const auto carry = static_cast<uint8_t>(low_ >> 32);
            uint8_t next = cache_;
            do {
                out_.push_back(static_cast<uint8_t>(next + carry));
                next = 0xFF;
            } while (--pending_ != 0);
            cache_ = static_cast<uint8_t>(low_ >> 24);
        }
        ++pending_;
        low_ = (low_ & 0x00FFFFFFu) << 8;
    }

    uint64_t low_ = 0;
    uint32_t range_ = 0xFFFFFFFFu;
    uint8_t cache_ = 0;
    uint64_t pending_ = 1;
    std::vector<uint8_t> out_;
};

class TDecoder {
public:
    explicit TDecoder(std::span<const uint8_t> in) : in_(in) {
        for (int i = 0; i < 5; ++i)
            code_ = (code_ << 8) | Next();
    }
    unsigned Bit(uint16_t& p) {
        const uint32_t bound = (range_ >> kProbabilityBits) * p;
        unsigned bit;
        if (code_ < bound) {
            range_ = bound;
            p = static_cast<uint16_t>(p + (((1u << kProbabilityBits) - p) >> kAdapt));
            bit = 0;
        } else {
            code_ -= bound;
            range_ -= bound;
            p = static_cast<uint16_t>(p - (p >> kAdapt));
            bit = 1;
        }
        while (range_ < kTop) {
            range_ <<= 8;
            code_ = (code_ << 8) | Next();
        }
        return bit;
    }

private:
    uint32_t Next() { return pos_ < in_.size() ? in_[pos_++] : 0; }
    std::span<const uint8_t> in_;
    size_t pos_ = 0;
    uint32_t code_ = 0;
    uint32_t range_ = 0xFFFFFFFFu;
};

} // namespace

std::vector<uint8_t> PackBytes(std::span<const uint8_t> raw) {
    const auto model = std::make_unique<TByteModel>();
    TEncoder coder;
    uint8_t previous = 0;
    for (const uint8_t byte : raw) {
        unsigned node = 1;
        for (int i = 7; i >= 0; --i) {
            const unsigned bit = (byte >> i) & 1u;
            coder.Bit(model->At(previous, node), bit);
            node = node * 2 + bit;
        }
        previous = byte;
    }
    return coder.Finish();
}

std::vector<uint8_t> UnpackBytes(std::span<const uint8_t> packed, size_t size) {
    const auto model = std::make_unique<TByteModel>();
    TDecoder coder(packed);
    std::vector<uint8_t> raw;
    raw.reserve(size);
    uint8_t previous = 0;
    while (raw.size() < size) {
        unsigned node = 1;
        while (node < 256)
            node = node * 2 + coder.Bit(model->At(previous, node));
        previous = static_cast<uint8_t>(node - 256);
        raw.push_back(previous);
    }
    return raw;
}

} // namespace pondlark
