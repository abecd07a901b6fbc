// The packing of a replay's body: an adaptive binary range coder whose model of each byte is the
// byte before it. A recorded game repeats itself byte by byte (the clock's advances, small
// pointer steps, the same keys' records), which this takes down to some 60 % of its size with no
// library and the same arithmetic on every build: integers only, so a file packed by any build
// unpacks the same on any other.
//
// Unpacking reads past the packed bytes as zeros and never writes more than it is asked, so any
// input, however hostile, gives `size` bytes (the caller checks them). Neither function throws
// but std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pondlark {

std::vector<uint8_t> PackBytes(std::span<const uint8_t> raw);
std::vector<uint8_t> UnpackBytes(std::span<const uint8_t> packed, size_t size);

// The most bytes `packed` bytes can stand for: a model sure of every bit still spends a little
// on each, so an unpacked size past this is a forgery, refused before any time goes into it.
constexpr size_t MostUnpackedBytes(size_t packed) {
    return packed * 128 + 64;
}

} // namespace pondlark
