// Copying the opaque runs of a colour-keyed picture onto a surface: the inner loop of every
// transparent transfer, and the game's busiest code after the frame's present.
//
// The run table is the picture's own: per row, [begin, end) column pairs of non-key pixels in
// increasing order, never overlapping; `rowStart[r]` indexes row r's first pair and
// `rowStart[r + 1]` is one past its last. The transfer is already clipped: it copies `rows` rows
// of the picture's columns [left, right).
//
// Short rows go to the C library's copy, which is the fastest there is for them. Where the
// processor has AVX2, pictures wider than `kWideRunPixels` are copied inline instead, with
// 32-byte stores aligned on the destination: that saves the call and the library's size
// dispatch on every row, measurable at a 256-pixel sprite. The inline copy assumes the source
// and destination do not overlap; the caller says when they may, and those go to memmove.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace pondlark {

using OpaqueRun = std::pair<int32_t, int32_t>;

// Pictures wider than this (in pixels) take the inline copy where it is available: up to 256
// bytes a row the library's copy stays ahead.
constexpr int kWideRunPixels = 64;

struct OpaqueRunCopy {
    const uint32_t* from = nullptr; // column `left` of the picture's first copied row
    ptrdiff_t fromPitch = 0;        // in pixels, like `toPitch`
    uint32_t* to = nullptr;         // where that pixel lands
    ptrdiff_t toPitch = 0;
    int rows = 0;
    const OpaqueRun* runs = nullptr;    // the whole table
    const uint32_t* rowStart = nullptr; // the first copied row's entry; `rows + 1` entries read
    int left = 0, right = 0;            // the copied columns
    bool wholeRows = false;             // [left, right) is the picture's full width
    bool mayOverlap = false;            // source and destination may share memory
};

// Copies every non-key pixel the job covers. Reads and writes nothing outside the rows and
// columns it names.
void CopyOpaqueRuns(const OpaqueRunCopy& job);

} // namespace pondlark
