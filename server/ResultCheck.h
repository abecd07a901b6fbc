// The service's judgement of a result request's "inf" value, before any database is asked.
//
// The value must be the game's line encoding of a payload laid out by ResultPayload, made only
// of the encoding's symbols, of a length that decodes exactly, and no longer than the longest
// payload the game can send; every field must hold what the game's entry fields and rules
// allow. Whether the pass-back token is known and unused is the store's question (ScoreStore).
#pragma once

#include "persist/EntryText.h"
#include "persist/ResultPayload.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pondlark::scores {

// What the game's name and country entries accept, the same rule the game keeps to.
inline constexpr std::string_view kEntryCharacters = kEntryAlphabet;
inline constexpr size_t kMaxNameLength = kEntryMaxLength;
inline constexpr size_t kMaxCountryLength = kEntryMaxLength;
// Far above any game played, and low enough that a forged score cannot hold the table.
inline constexpr int32_t kMaxScore = 99'999'999;
// Tokens are 16 random bytes written as 32 lower-case hexadecimal digits.
inline constexpr size_t kTokenLength = 32;
// The longest payload the game can send (a 10-character name and country, an 8-digit score, a
// token) is 100 characters with its padding, 160 symbols; anything beyond 200 is not the game.
inline constexpr size_t kMaxEncodedLength = 200;

enum class TRefusal {
    None,
    Empty,
    TooLong,
    BadCharacters, // a character outside the encoding's alphabet
    WrongLength,   // a symbol count that does not decode exactly
    NotAPayload,   // decodes, but not to the payload's layout
    BadType,
    BadName,
    BadScore,
    BadKey,
    BadCountry,
    BadToken,     // not even the shape of a token this service issues
    UnknownToken, // well formed, but not issued, already spent or too old (from the store)
    RateLimited,
};

// The short reason sent back with a refusal ("bad name"); "" for None.
std::string_view RefusalText(TRefusal refusal);

// The result as the game sent it, when it passed every rule, and the token it came with.
struct TCheckedResult : TResult {
    TRefusal refusal = TRefusal::None;
    std::string token;
};

// Never throws (apart from std::bad_alloc); any input gives a refusal or a result whose fields
// satisfy every rule above.
TCheckedResult CheckResultRequest(std::string_view inf);

// True for text of kTokenLength lower-case hexadecimal digits.
bool IsTokenShaped(std::string_view token);

} // namespace pondlark::scores
