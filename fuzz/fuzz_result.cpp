// Feeds arbitrary bytes to the score service's reading of a result: as the encoded "inf" value
// of a request, and as a plain payload. A result the service accepts must satisfy every rule
// and be exactly what the game would have sent for those fields; a payload the parser accepts
// must be exactly what the game's writer makes of its fields.
#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"
#include "server/ResultCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace pondlark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const scores::TCheckedResult checked = scores::CheckResultRequest(input);
    if (checked.refusal == scores::TRefusal::None) {
        if (checked.Name.empty() || checked.Name.size() > scores::kMaxNameLength ||
            checked.Country.size() > scores::kMaxCountryLength || checked.Score < 0 ||
            checked.Score > scores::kMaxScore || !scores::IsTokenShaped(checked.token) ||
            checked.Name.find_first_not_of(scores::kEntryCharacters) != std::string::npos ||
            checked.Country.find_first_not_of(scores::kEntryCharacters) != std::string::npos)
            std::abort();
        if (EncodeLine(ResultPayload(checked, checked.token)) != input) std::abort();
    } else if (scores::RefusalText(checked.refusal).empty()) {
        std::abort();
    }

    if (const auto fields = ParseResultPayload(input)) {
        const std::string rebuilt = "type=" + fields->type + "|name=" + fields->name +
                                    "|score=" + fields->score + "|key=" + fields->key +
                                    "|p=" + fields->passBack + "|add=" + fields->country + "|z=";
        if (input.substr(0, rebuilt.size()) != rebuilt) std::abort();
        if (input.size() - rebuilt.size() > 4) std::abort();
    }
    return 0;
}
