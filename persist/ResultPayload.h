// The plain text of a result request, before the line encoding: written by the game, read back
// by the score service. Both sides use this one definition, so they cannot drift apart.
//
//   type=0|name=NAME|score=SCORE|key=K|p=PASSBACK|add=COUNTRY|z=
//
// followed by zero to four "0" characters that make the length a multiple of 5, so the encoded
// form decodes back exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pondlark {

// A player's result: what the game sends, and what the score service checks, keeps and lists.
struct TResult {
    std::string Name;
    std::string Country;
    int32_t Score = 0;
};

// The "key" field of every result this build sends: the service tells the builds apart by it.
inline constexpr char kResultKey = 'P';

// The payload laid out from the fields as they are, "0"-padded to a multiple of 5 characters so
// that the service decodes it back exactly. A field holding "|" adds fields: this is what any
// client could send, and what the service's checks are tried against.
std::string LayOutResultPayload(std::string_view name, int32_t score, std::string_view passBack,
                                std::string_view country);

// The game's payload for one result: the name and the country carry only what their entries
// could have typed (EntryText); other characters are dropped, so a hand-edited "|" or "=" in the
// settings cannot add fields.
std::string ResultPayload(const TResult& result, std::string_view passBack);

// The fields of a payload, as text, exactly as they stood between the separators.
struct TResultFields {
    std::string type;
    std::string name;
    std::string score;
    std::string key;
    std::string passBack;
    std::string country;
};

// The inverse of ResultPayload's layout: the seven fields in their order with their names,
// values free of "|", and after "z=" only the "0" padding, as many as the length needs and no
// more. Anything else is nullopt. The values themselves are not judged here.
std::optional<TResultFields> ParseResultPayload(std::string_view payload);

} // namespace pondlark
