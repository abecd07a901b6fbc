#include "engine/PixelStore.h"

#include <sys/mman.h>

#include <new>
#include <utility>

namespace pondlark {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMapFrom = size_t{1} << 20;
} // namespace

PixelStore::PixelStore(size_t pixels) : pixels_(pixels) {
    if (pixels == 0) return;
    if (pixels > SIZE_MAX / sizeof(uint32_t) - kHugePage) throw std::bad_alloc();
    const size_t bytes = pixels * sizeof(uint32_t);
    if (bytes < kMapFrom) {
        data_ = new uint32_t[pixels]();
        return;
    }
    // Mapped one huge page larger than needed, then trimmed so the store starts on a huge-page
    // boundary and ends on one.
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* raw = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        // As operator new does: the program's new-handler hears of it first.
        if (const std::new_handler handler = std::get_new_handler()) handler();
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t tail = aligned + rounded, mappedEnd = start + rounded + kHugePage;
    if (mappedEnd > tail) munmap(reinterpret_cast<void*>(tail), mappedEnd - tail);
    // Only advice: without huge pages the memory works the same, page by page.
    madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
    data_ = reinterpret_cast<uint32_t*>(aligned);
    mappedBytes_ = rounded;
}

PixelStore::~PixelStore() {
    Release();
}

PixelStore::PixelStore(PixelStore&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), pixels_(std::exchange(other.pixels_, 0)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)) {}

PixelStore& PixelStore::operator=(PixelStore&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        pixels_ = std::exchange(other.pixels_, 0);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
    }
    return *this;
}

void PixelStore::Release() noexcept {
    if (!data_) return;
    if (mappedBytes_ > 0)
        munmap(data_, mappedBytes_);
    else
        delete[] data_;
    data_ = nullptr;
    pixels_ = mappedBytes_ = 0;
}

} // namespace pondlark
