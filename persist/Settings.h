// Settings.cfg: the game's own settings, beside Config.cfg, for what Config.cfg has no line for
// (the first-game hints, the volumes, the scaling and the window's geometry). Config.cfg stays
// exactly as it always was.
//
// The file is text, one "key=value" a line (LF or CR LF), lines starting with '#' and blank
// lines ignored. Keys are lower-case letters, digits, '.', '-' and '_'; values are printable
// ASCII. A key the game does not know is kept and written back as it was, so an older game
// never drops what a newer one stored.
//
// Reading is bounded: only a regular file of at most kMaxSettingsBytes is read (anything else
// is a problem the caller reports, and every setting keeps its default), a line longer than
// kMaxSettingsLineBytes or that is not "key=value" is skipped, and at most kMaxSettingsKeys keys
// are kept. Writing goes through `ReplaceFile` (platform/Files.h): a temporary file renamed over
// the old one, so a crash or a full disk never leaves a truncated file.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pondlark {

inline constexpr uint64_t kMaxSettingsBytes = 64 * 1024;
inline constexpr size_t kMaxSettingsLineBytes = 256;
inline constexpr size_t kMaxSettingsKeys = 64;

class TSettings {
public:
    // The value of `key`; nullopt when the file did not have it.
    std::optional<std::string> Get(std::string_view key) const;
    // A yes/no setting: "on" or "off"; anything else (or nothing) reads as `fallback`.
    bool Flag(std::string_view key, bool fallback) const;
    // Sets or adds `key`. Returns false (and changes nothing) for a key or value the file
    // cannot hold, or a new key beyond kMaxSettingsKeys.
    bool Set(std::string_view key, std::string_view value);
    void SetFlag(std::string_view key, bool on) { Set(key, on ? "on" : "off"); }

    // In the order they were read or first set.
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

    static bool ValidKey(std::string_view key);
    static bool ValidValue(std::string_view value);

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

// The settings of the file at `path`: empty when it does not exist. When something else than a
// readable regular file of at most kMaxSettingsBytes stands there, `problem` says so and the
// settings are empty. `warnings`, when given, receives a line for every line skipped.
TSettings ReadSettings(const std::string& path, std::string& problem,
                       std::vector<std::string>* warnings = nullptr);
// Parses the file's bytes (the bounds per line and on the number of keys hold). `warnings`,
// when given, receives one line ("line N: why") for every line that is neither blank, a comment
// nor a "key=value" the file can hold.
TSettings ParseSettings(std::string_view text, std::vector<std::string>* warnings = nullptr);

// What the player chooses beyond Config.cfg's switches. The volumes scale what the music and
// sound switches let through; 0 is silent, 100 full level.
struct TPlayerSettings {
    int musicVolume = 100;
    int soundVolume = 100;
    Scaling scaling = Scaling::Sharp;
    // The window's normal place and size and whether it was maximized; nullopt (the window
    // opens centred at its default size) until a whole, sound geometry was stored.
    std::optional<WindowPlacement> window;
};

inline constexpr int kMaxVolume = 100;
// Bounds of a stored window: smaller than the least size the window takes, or larger or
// further off than any screen, is a damaged line.
inline constexpr int kMinStoredWindowW = 320;
inline constexpr int kMinStoredWindowH = 240;
inline constexpr int kMaxStoredWindowSide = 16384;
inline constexpr int kMaxStoredWindowOffset = 32768;

// The player's values in `settings`. A key of the game with a value out of its bounds keeps its
// default and adds a warning; so does a key the game does not know (it stays in `settings`, to
// be written back). The window counts only when all its keys are there and sound.
TPlayerSettings ReadPlayerSettings(const TSettings& settings, std::vector<std::string>& warnings);
// Stores `player` in `settings` (the window's keys only when it has a window).
void StorePlayerSettings(const TPlayerSettings& player, TSettings& settings);
// The file's bytes: a heading comment, then one line a key.
std::string FormatSettings(const TSettings& settings);
// Writes `contents` atomically; "" when done, else the message of `ReplaceFile`.
std::string WriteSettingsFile(const std::string& path, const std::string& contents);

} // namespace pondlark
