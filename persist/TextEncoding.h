// The game's own line encoding, used by Config.cfg and the result payload.
//
// The bytes of a value become a bit string (8 digits a byte, most significant first), and the bit
// string is written in a 32-symbol alphabet, 5 bits a symbol. Both directions fill with "0"
// digits on the LEFT, so a value decodes back to itself exactly when its length is a multiple
// of 5 bytes; otherwise a zero byte comes first. Writers pad with "%" to keep values exact.
#pragma once

#include <string>
#include <string_view>

namespace pondlark {

inline constexpr std::string_view kBase32Alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";

std::string TextToBits(std::string_view text);
std::string BitsToBase32(std::string_view bits);
// Characters outside the alphabet are skipped.
std::string Base32ToBits(std::string_view symbols);
std::string BitsToText(std::string_view bits);

inline std::string EncodeLine(std::string_view text) {
    return BitsToBase32(TextToBits(text));
}
inline std::string DecodeLine(std::string_view text) {
    return BitsToText(Base32ToBits(text));
}

// "%" appended until the length is a multiple of 5; empty stays empty.
std::string PadValue(std::string value);
// Trailing "%" removed.
std::string UnpadValue(std::string value);

} // namespace pondlark
