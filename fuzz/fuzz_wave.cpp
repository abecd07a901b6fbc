// Feeds arbitrary bytes to the RIFF walk: it may only give a wave whose samples lie inside the
// input, or raise "Wave is invalid" and leave the wave empty.
#include "engine/Errors.h"
#include "engine/TWave.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pondlark::TWave wave;
    try {
        wave.LoadFromBytes({data, size});
        if (wave.Data().size() > size || wave.FormatBlock().size() > size) std::abort();
        (void)wave.FrameCount();
        (void)wave.IsPlayablePcm();
    } catch (const pondlark::EWaveStreamError&) {
        if (wave.HasData()) std::abort();
    }
    return 0;
}
