#include "engine/OpaqueRunCopy.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PONDLARK_INLINE_AVX2 1
#endif

namespace pondlark {
namespace {

// One walk over the runs for every copy routine; `copy(to, from, n)` copies n >= 1 pixels.
template <class Copy>
[[gnu::always_inline]] inline void WalkRuns(const OpaqueRunCopy& job, Copy copy) {
    // Everything in locals: the copy may write any memory as far as the compiler knows, so a
    // field read through `job` would be read again after every run.
    const uint32_t* from = job.from;
    uint32_t* to = job.to;
    const OpaqueRun* const all = job.runs;
    const uint32_t* const rowStart = job.rowStart;
    const ptrdiff_t fromPitch = job.fromPitch, toPitch = job.toPitch;
    const int rows = job.rows;
    if (job.wholeRows) {
        // Nothing to cut, and a row's runs follow the previous row's.
        const OpaqueRun* run = all + rowStart[0];
        for (int row = 0; row < rows; ++row, from += fromPitch, to += toPitch)
            for (const OpaqueRun* end = all + rowStart[row + 1]; run != end; ++run)
                copy(to + run->first, from + run->first, run->second - run->first);
        return;
    }
    const int left = job.left, right = job.right;
    for (int row = 0; row < rows; ++row, from += fromPitch, to += toPitch)
        for (const OpaqueRun *run = all + rowStart[row], *end = all + rowStart[row + 1]; run != end;
             ++run) {
            const int b = std::max(run->first, left), e = std::min(run->second, right);
            if (b < e) copy(to + (b - left), from + (b - left), e - b);
        }
}

void CopyWithLibrary(const OpaqueRunCopy& job) {
    WalkRuns(job, [](uint32_t* to, const uint32_t* from, int n) {
        std::memmove(to, from, static_cast<size_t>(n) * sizeof(uint32_t));
    });
}

#ifdef PONDLARK_INLINE_AVX2
[[gnu::target("avx2")]] inline __m256i Load(const char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
[[gnu::target("avx2")]] inline void Store(char* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
[[gnu::target("avx2")]] inline void StoreAligned(char* p, __m256i v) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
}

// Up to 128 bytes, loads from both ends cover the run (what they cover may overlap). Beyond,
// the first and last 32 bytes are stored unaligned and everything between with aligned stores,
// so no store splits a cache line. Loads and stores interleave, which is right only when the
// buffers are apart: overlapping transfers go to memmove.
struct Avx2Copy {
    [[gnu::target("avx2")]] void operator()(uint32_t* to, const uint32_t* from, int n) const {
        auto* d = reinterpret_cast<char*>(to);
        const auto* s = reinterpret_cast<const char*>(from);
        const size_t bytes = static_cast<size_t>(n) * sizeof(uint32_t);
        if (bytes < 16) {
            if (bytes >= 8) {
                uint64_t head, tail;
                std::memcpy(&head, s, 8);
                std::memcpy(&tail, s + bytes - 8, 8);
                std::memcpy(d, &head, 8);
                std::memcpy(d + bytes - 8, &tail, 8);
            } else {
                std::memcpy(d, s, 4);
            }
            return;
        }
        if (bytes <= 32) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + bytes - 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), head);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + bytes - 16), tail);
            return;
        }
        if (bytes <= 64) {
            const __m256i head = Load(s), tail = Load(s + bytes - 32);
            Store(d, head);
            Store(d + bytes - 32, tail);
            return;
        }
        if (bytes <= 128) {
            const __m256i a = Load(s), b = Load(s + 32);
            const __m256i c = Load(s + bytes - 64), z = Load(s + bytes - 32);
            Store(d, a);
            Store(d + 32, b);
            Store(d + bytes - 64, c);
            Store(d + bytes - 32, z);
            return;
        }
        const __m256i head = Load(s), tail = Load(s + bytes - 32);
        char* const last = d + bytes - 32;
        // The first 32-byte boundary past `d`; the head covers everything before it.
        char* at = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(d) + 32) & ~uintptr_t{31});
        const char* src = s + (at - d);
        for (; at + 64 <= last; at += 64, src += 64) {
            const __m256i a = Load(src), b = Load(src + 32);
            StoreAligned(at, a);
            StoreAligned(at + 32, b);
        }
        for (; at < last; at += 32, src += 32)
            StoreAligned(at, Load(src));
        Store(d, head);
        Store(last, tail);
    }
};

[[gnu::target("avx2")]] void CopyWithAvx2(const OpaqueRunCopy& job) {
    WalkRuns(job, Avx2Copy{});
}
#endif

} // namespace

void CopyOpaqueRuns(const OpaqueRunCopy& job) {
#ifdef PONDLARK_INLINE_AVX2
    if (!job.mayOverlap && job.right - job.left > kWideRunPixels &&
        __builtin_cpu_supports("avx2")) {
        CopyWithAvx2(job);
        return;
    }
#endif
    CopyWithLibrary(job);
}

} // namespace pondlark
