// Feeds arbitrary bytes to the Settings.cfg parser: it may only keep keys and values the file
// can hold, at most kMaxSettingsKeys of them, and what it kept must read back the same after it
// is written.
#include "persist/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pondlark;
    const TSettings s = ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    if (s.Entries().size() > kMaxSettingsKeys) std::abort();
    for (const auto& [key, value] : s.Entries())
        if (!TSettings::ValidKey(key) || !TSettings::ValidValue(value)) std::abort();
    if (ParseSettings(FormatSettings(s)).Entries() != s.Entries()) std::abort();
    return 0;
}
