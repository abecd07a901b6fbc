// Feeds arbitrary bytes to the replay reader: a file it accepts must hold only records the
// pass reader reads to their end, and must be exactly what the writer makes of what was read
// (so no byte of an accepted file goes unchecked); anything else is refused with a reason.
#include "platform/Replay.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

using namespace pondlark;

namespace {

void Check(std::span<const uint8_t> input) {
    TReplay replay;
    try {
        replay = ParseReplay(input);
    } catch (const EReplayFormat& e) {
        if (e.what()[0] == '\0') std::abort();
        return;
    }
    // Decoding the passes again and writing them must give the stream back.
    TReplayPassReader reader(replay.Inputs);
    TReplayPassWriter writer;
    uint32_t passes = 0;
    while (!reader.AtEnd()) {
        writer.Write(reader.Next());
        ++passes;
    }
    if (passes != replay.Passes || writer.Bytes() != replay.Inputs) std::abort();
    // In the format it came in: both have one spelling of each replay.
    const auto format = static_cast<uint16_t>(input[4] | input[5] << 8);
    const std::vector<uint8_t> again = EncodeReplay(replay, format);
    if (!std::equal(again.begin(), again.end(), input.begin(), input.end())) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check({data, size});
    // The same bytes with a checksum that fits, so the records behind it are read too.
    if (size >= 4) {
        std::vector<uint8_t> sealed(data, data + size);
        const uint32_t crc = Crc32(std::span(sealed).first(size - 4));
        for (int i = 0; i < 4; ++i)
            sealed[size - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
        Check(sealed);
    }
    return 0;
}
