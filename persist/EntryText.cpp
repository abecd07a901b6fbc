#include "persist/EntryText.h"

namespace pondlark {

std::string EntryText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (out.size() == kEntryMaxLength) break;
        if (kEntryAlphabet.find(c) != std::string_view::npos) out.push_back(c);
    }
    return out;
}

} // namespace pondlark
