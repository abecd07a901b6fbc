// Feeds arbitrary bytes to both archive readers: they may only return or raise the game's
// stream errors, never crash or read outside the input.
#include "engine/ArchiveReader.h"
#include "engine/Errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    try {
        pondlark::ReadGraphicArchive(bytes);
    } catch (const pondlark::EGameError&) {
    }
    try {
        pondlark::ReadSoundArchive(bytes);
    } catch (const pondlark::EGameError&) {
    }
    return 0;
}
