#include "persist/TextEncoding.h"

namespace pondlark {

std::string TextToBits(std::string_view text) {
    std::string bits;
    bits.reserve(text.size() * 8);
    for (unsigned char c : text)
        for (int b = 7; b >= 0; --b)
            bits.push_back(((c >> b) & 1) ? '1' : '0');
    return bits;
}

std::string BitsToBase32(std::string_view bits) {
    std::string padded((5 - bits.size() % 5) % 5, '0');
    padded.append(bits);
    std::string out;
    out.reserve(padded.size() / 5);
    for (size_t i = 0; i < padded.size(); i += 5) {
        unsigned v = 0;
        for (size_t k = 0; k < 5; ++k)
            v = (v << 1) | (padded[i + k] == '1' ? 1u : 0u);
        out.push_back(kBase32Alphabet[v]);
    }
    return out;
}

std::string Base32ToBits(std::string_view symbols) {
    std::string bits;
    bits.reserve(symbols.size() * 5);
    for (char c : symbols) {
        const auto v = kBase32Alphabet.find(c);
        if (v == std::string_view::npos) continue;
        for (int b = 4; b >= 0; --b)
            bits.push_back(((v >> b) & 1) ? '1' : '0');
    }
    return bits;
}

std::string BitsToText(std::string_view bits) {
    std::string padded((8 - bits.size() % 8) % 8, '0');
    padded.append(bits);
    std::string out;
    out.reserve(padded.size() / 8);
    for (size_t i = 0; i < padded.size(); i += 8) {
        unsigned v = 0;
        for (size_t k = 0; k < 8; ++k)
            v = (v << 1) | (padded[i + k] == '1' ? 1u : 0u);
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string PadValue(std::string value) {
    while (value.size() % 5 != 0)
        value.push_back('%');
    return value;
}

std::string UnpadValue(std::string value) {
    while (!value.empty() && value.back() == '%')
        value.pop_back();
    return value;
}

} // namespace pondlark
