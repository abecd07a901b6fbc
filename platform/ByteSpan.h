// Little-endian reading and writing over bounded byte buffers, shared by the archive, bitmap and
// replay parsers. A reader never looks past its span: every read first checks what is left and
// calls the failure handler (which must throw) when the data is short.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pondlark {

class TByteReader {
public:
    using FailFn = void (*)(); // must not return
    TByteReader(std::span<const uint8_t> bytes, FailFn fail) : bytes_(bytes), fail_(fail) {}

    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }

    void Need(uint64_t n) const {
        if (n > Remaining()) Fail();
    }
    uint8_t Peek() const {
        Need(1);
        return bytes_[pos_];
    }
    uint8_t U8() {
        Need(1);
        return bytes_[pos_++];
    }
    uint16_t U16() {
        Need(2);
        uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        Need(4);
        uint32_t v = static_cast<uint32_t>(bytes_[pos_]) |
                     (static_cast<uint32_t>(bytes_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(bytes_[pos_ + 2]) << 16) |
                     (static_cast<uint32_t>(bytes_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | (static_cast<uint64_t>(U32()) << 32);
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // An unsigned LEB128 number of at most `maxBytes` bytes (seven bits a byte, low first).
    uint64_t Varint(int maxBytes = 10) {
        uint64_t v = 0;
        for (int i = 0; i < maxBytes; ++i) {
            const uint8_t b = U8();
            v |= static_cast<uint64_t>(b & 0x7f) << (7 * i);
            if ((b & 0x80) == 0) return v;
        }
        Fail();
    }
    // A view of the next n bytes; it lives as long as the reader's buffer.
    std::span<const uint8_t> Bytes(uint64_t n) {
        Need(n);
        auto s = bytes_.subspan(pos_, static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return s;
    }
    void Skip(uint64_t n) { Bytes(n); }
    [[noreturn]] void Fail() const {
        fail_();
        __builtin_unreachable();
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    FailFn fail_;
};

class TByteWriter {
public:
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void Varint(uint64_t v) {
        while (v >= 0x80) {
            U8(static_cast<uint8_t>(v | 0x80));
            v >>= 7;
        }
        U8(static_cast<uint8_t>(v));
    }
    void Bytes(std::span<const uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void Chars(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
    void PatchU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    size_t Size() const { return out_.size(); }
    std::vector<uint8_t>& Data() { return out_; }

private:
    std::vector<uint8_t> out_;
};

} // namespace pondlark
