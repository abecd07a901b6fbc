#include "server/ResultCheck.h"

#include "persist/ResultPayload.h"
#include "persist/TextEncoding.h"

namespace pondlark::scores {

namespace {

bool OnlyEntryCharacters(std::string_view text) {
    return text.find_first_not_of(kEntryCharacters) == std::string_view::npos;
}

// Decimal digits without a sign or a leading zero, at most kMaxScore.
bool ParseScore(std::string_view text, int32_t& score) {
    if (text.empty() || text.size() > 8) return false;
    if (text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    if (text.size() > 1 && text[0] == '0') return false;
    int64_t value = 0;
    for (const char c : text)
        value = value * 10 + (c - '0');
    if (value > kMaxScore) return false;
    score = static_cast<int32_t>(value);
    return true;
}

} // namespace

std::string_view RefusalText(TRefusal refusal) {
    switch (refusal) {
    case TRefusal::None:
        return "";
    case TRefusal::Empty:
        return "no result";
    case TRefusal::TooLong:
        return "too long";
    case TRefusal::BadCharacters:
        return "bad characters";
    case TRefusal::WrongLength:
        return "wrong length";
    case TRefusal::NotAPayload:
        return "not a result";
    case TRefusal::BadType:
        return "bad type";
    case TRefusal::BadName:
        return "bad name";
    case TRefusal::BadScore:
        return "bad score";
    case TRefusal::BadKey:
        return "bad key";
    case TRefusal::BadCountry:
        return "bad country";
    case TRefusal::BadToken:
        return "bad token";
    case TRefusal::UnknownToken:
        return "unknown token";
    case TRefusal::RateLimited:
        return "too many results";
    }
    return "refused";
}

bool IsTokenShaped(std::string_view token) {
    return token.size() == kTokenLength &&
           token.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

TCheckedResult CheckResultRequest(std::string_view inf) {
    TCheckedResult out;
    const auto refuse = [&out](TRefusal why) {
        out = TCheckedResult{};
        out.refusal = why;
        return out;
    };
    if (inf.empty()) return refuse(TRefusal::Empty);
    if (inf.size() > kMaxEncodedLength) return refuse(TRefusal::TooLong);
    // The game's decoder skips unknown characters; the service does not guess what was meant.
    if (inf.find_first_not_of(kBase32Alphabet) != std::string_view::npos)
        return refuse(TRefusal::BadCharacters);
    // Eight symbols are five bytes: any other count decodes with a stray leading zero byte.
    if (inf.size() % 8 != 0) return refuse(TRefusal::WrongLength);
    const auto fields = ParseResultPayload(DecodeLine(inf));
    if (!fields) return refuse(TRefusal::NotAPayload);
    if (fields->type != "0") return refuse(TRefusal::BadType);
    if (fields->name.empty() || fields->name.size() > kMaxNameLength ||
        !OnlyEntryCharacters(fields->name))
        return refuse(TRefusal::BadName);
    int32_t score = 0;
    if (!ParseScore(fields->score, score)) return refuse(TRefusal::BadScore);
    if (fields->key != std::string(1, kResultKey)) return refuse(TRefusal::BadKey);
    if (!IsTokenShaped(fields->passBack)) return refuse(TRefusal::BadToken);
    if (fields->country.size() > kMaxCountryLength || !OnlyEntryCharacters(fields->country))
        return refuse(TRefusal::BadCountry);
    out.Name = fields->name;
    out.Country = fields->country;
    out.Score = score;
    out.token = fields->passBack;
    return out;
}

} // namespace pondlark::scores
