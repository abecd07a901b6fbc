#include "persist/ResultPayload.h"

#include "persist/EntryText.h"

#include <array>

namespace pondlark {

std::string LayOutResultPayload(std::string_view name, int32_t score, std::string_view passBack,
                                std::string_view country) {
    std::string payload = "type=0";
    payload += "|name=";
    payload += name;
    payload += "|score=" + std::to_string(score);
    payload += "|key=";
    payload += kResultKey;
    payload += "|p=";
    payload += passBack;
    payload += "|add=";
    payload += country;
    payload += "|z=";
    while (payload.size() % 5 != 0)
        payload += '0';
    return payload;
}

std::string ResultPayload(const TResult& result, std::string_view passBack) {
    return LayOutResultPayload(EntryText(result.Name), result.Score, passBack,
                               EntryText(result.Country));
}

std::optional<TResultFields> ParseResultPayload(std::string_view payload) {
    static constexpr std::array<std::string_view, 7> kNames = {
        "type=", "name=", "score=", "key=", "p=", "add=", "z="};
    if (payload.size() % 5 != 0) return std::nullopt;
    std::array<std::string_view, 7> values;
    std::string_view rest = payload;
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (i > 0) {
            if (rest.empty() || rest.front() != '|') return std::nullopt;
            rest.remove_prefix(1);
        }
        if (rest.substr(0, kNames[i].size()) != kNames[i]) return std::nullopt;
        rest.remove_prefix(kNames[i].size());
        const size_t end = i + 1 < kNames.size() ? rest.find('|') : rest.size();
        if (end == std::string_view::npos) return std::nullopt;
        values[i] = rest.substr(0, end);
        rest.remove_prefix(end);
    }
    // The padding is exactly what the writer adds: the length is a multiple of 5 already, so
    // "0" characters only, fewer than five, are the fewest that reach it.
    const std::string_view padding = values[6];
    if (padding.find_first_not_of('0') != std::string_view::npos || padding.size() >= 5)
        return std::nullopt;
    return TResultFields{std::string(values[0]), std::string(values[1]), std::string(values[2]),
                         std::string(values[3]), std::string(values[4]), std::string(values[5])};
}

} // namespace pondlark
