// What the game's two text entries -- the player's name and country -- accept. The screens that
// type them, the settings reader and the result payload all keep to these, so a text that
// reaches the table, the screen or the service can only be one the player could have typed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pondlark {

inline constexpr std::string_view kEntryAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";

// Neither entry takes an eleventh character.
inline constexpr size_t kEntryMaxLength = 10;

// `text` without the characters the entries do not accept, and at most kEntryMaxLength long.
std::string EntryText(std::string_view text);

} // namespace pondlark
