// Feeds arbitrary bytes to the DIB decoder: it may only return a picture of the size it claims
// or raise "DIB is invalid".
#include "engine/DibCodec.h"
#include "engine/Errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const pondlark::TDibImage img = pondlark::DecodeDib({data, size});
        if (img.Pixels.size() != static_cast<size_t>(img.Width) * static_cast<size_t>(img.Height))
            std::abort();
    } catch (const pondlark::EInvalidGraphic&) {
    }
    return 0;
}
