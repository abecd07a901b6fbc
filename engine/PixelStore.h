// Zero-filled pixel memory for surfaces. Stores of a MiB or more come straight from the system,
// rounded up to whole 2 MiB pages and asked to be backed by huge pages where the system offers
// them (transparent huge pages in "madvise" mode): touching such a store the first time then
// costs one page fault per 2 MiB instead of one per 4 KiB. Smaller stores come from the heap.
//
// Ownership: the store owns its memory and frees it when destroyed; it moves but never copies.
// A store the system cannot give calls the new-handler, as operator new does, then raises
// std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pondlark {

class PixelStore {
public:
    PixelStore() = default;
    explicit PixelStore(size_t pixels);
    ~PixelStore();
    PixelStore(PixelStore&& other) noexcept;
    PixelStore& operator=(PixelStore&& other) noexcept;
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;

    uint32_t* Data() const { return data_; }
    size_t Size() const { return pixels_; }
    // True when the memory was mapped for huge pages (whether the system backs it with them is
    // its own choice).
    bool HugePages() const { return mappedBytes_ > 0; }

private:
    void Release() noexcept;

    uint32_t* data_ = nullptr;
    size_t pixels_ = 0;
    size_t mappedBytes_ = 0; // 0: from the heap
};

} // namespace pondlark
