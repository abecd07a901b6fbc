#include "persist/Settings.h"

#include "platform/Files.h"

#include <algorithm>
#include <charconv>

namespace pondlark {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

bool TSettings::ValidKey(std::string_view key) {
    if (key.empty() || key.size() > 64) return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    });
}

bool TSettings::ValidValue(std::string_view value) {
    if (value.size() > kMaxSettingsLineBytes - 66) return false; // the line's room after a key
    return std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

std::optional<std::string> TSettings::Get(std::string_view key) const {
    for (const auto& [k, v] : entries_)
        if (k == key) return v;
    return std::nullopt;
}

bool TSettings::Flag(std::string_view key, bool fallback) const {
    const auto value = Get(key);
    if (value == "on") return true;
    if (value == "off") return false;
    return fallback;
}

bool TSettings::Set(std::string_view key, std::string_view value) {
    if (!ValidKey(key) || !ValidValue(value)) return false;
    for (auto& [k, v] : entries_)
        if (k == key) {
            v = value;
            return true;
        }
    if (entries_.size() >= kMaxSettingsKeys) return false;
    entries_.emplace_back(key, value);
    return true;
}

TSettings ParseSettings(std::string_view text, std::vector<std::string>* warnings) {
    TSettings settings;
    int number = 0;
    const auto warn = [&](const char* why) {
        if (warnings) warnings->push_back("line " + std::to_string(number) + ": " + why);
    };
    while (!text.empty()) {
        ++number;
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (raw.size() > kMaxSettingsLineBytes) {
            warn("longer than a line may be");
            continue;
        }
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            warn("not key=value");
            continue;
        }
        // A key given twice keeps its last value, as a hand edit further down means it.
        if (!settings.Set(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))))
            warn("a key or value the file cannot hold");
    }
    return settings;
}

namespace {

constexpr const char* kMusicVolumeKey = "music-volume";
constexpr const char* kSoundVolumeKey = "sound-volume";
constexpr const char* kScalingKey = "scaling";
constexpr const char* kWindowXKey = "window-x";
constexpr const char* kWindowYKey = "window-y";
constexpr const char* kWindowWidthKey = "window-width";
constexpr const char* kWindowHeightKey = "window-height";
constexpr const char* kWindowMaximizedKey = "window-maximized";
// Keys the game reads elsewhere (the first-game hints are the game's own).
constexpr const char* kOtherKnownKeys[] = {"first-game-hints"};

// The whole value as a decimal number within lo..hi; nullopt for anything else.
std::optional<int> Bounded(const std::string& value, int lo, int hi) {
    int n = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, n);
    if (ec != std::errc() || ptr != end || value.empty() || n < lo || n > hi) return std::nullopt;
    return n;
}

} // namespace

TPlayerSettings ReadPlayerSettings(const TSettings& settings, std::vector<std::string>& warnings) {
    TPlayerSettings player;
    const auto bad = [&](const std::string& key, const std::string& value) {
        warnings.push_back(key + "=" + value + ": out of bounds, the default stays");
    };
    const auto number = [&](const char* key, int lo, int hi) -> std::optional<int> {
        const auto value = settings.Get(key);
        if (!value) return std::nullopt;
        const auto n = Bounded(*value, lo, hi);
        if (!n) bad(key, *value);
        return n;
    };
    player.musicVolume = number(kMusicVolumeKey, 0, kMaxVolume).value_or(player.musicVolume);
    player.soundVolume = number(kSoundVolumeKey, 0, kMaxVolume).value_or(player.soundVolume);
    if (const auto scaling = settings.Get(kScalingKey)) {
        if (*scaling == "sharp" || *scaling == "smooth")
            player.scaling = *scaling == "smooth" ? Scaling::Smooth : Scaling::Sharp;
        else
            bad(kScalingKey, *scaling);
    }
    const auto x = number(kWindowXKey, -kMaxStoredWindowOffset, kMaxStoredWindowOffset);
    const auto y = number(kWindowYKey, -kMaxStoredWindowOffset, kMaxStoredWindowOffset);
    const auto w = number(kWindowWidthKey, kMinStoredWindowW, kMaxStoredWindowSide);
    const auto h = number(kWindowHeightKey, kMinStoredWindowH, kMaxStoredWindowSide);
    if (x && y && w && h)
        player.window = WindowPlacement{.x = *x,
                                        .y = *y,
                                        .width = *w,
                                        .height = *h,
                                        .state = settings.Flag(kWindowMaximizedKey, false)
                                                     ? WindowState::Maximized
                                                     : WindowState::Normal};
    const auto known = [](const std::string& key) {
        for (const char* k : {kMusicVolumeKey, kSoundVolumeKey, kScalingKey, kWindowXKey,
                              kWindowYKey, kWindowWidthKey, kWindowHeightKey, kWindowMaximizedKey})
            if (key == k) return true;
        return std::find_if(std::begin(kOtherKnownKeys), std::end(kOtherKnownKeys),
                            [&](const char* k) { return key == k; }) != std::end(kOtherKnownKeys);
    };
    for (const auto& [key, value] : settings.Entries())
        if (!known(key)) warnings.push_back(key + ": a key this game does not know, kept as it is");
    return player;
}

void StorePlayerSettings(const TPlayerSettings& player, TSettings& settings) {
    settings.Set(kMusicVolumeKey, std::to_string(std::clamp(player.musicVolume, 0, kMaxVolume)));
    settings.Set(kSoundVolumeKey, std::to_string(std::clamp(player.soundVolume, 0, kMaxVolume)));
    settings.Set(kScalingKey, player.scaling == Scaling::Smooth ? "smooth" : "sharp");
    if (!player.window) return;
    const WindowPlacement& p = *player.window;
    settings.Set(kWindowXKey, std::to_string(p.x));
    settings.Set(kWindowYKey, std::to_string(p.y));
    settings.Set(kWindowWidthKey, std::to_string(p.width));
    settings.Set(kWindowHeightKey, std::to_string(p.height));
    settings.SetFlag(kWindowMaximizedKey, p.state == WindowState::Maximized);
}

TSettings ReadSettings(const std::string& path, std::string& problem,
                       std::vector<std::string>* warnings) {
    problem.clear();
    const TFileBytes file = ReadRegularFile(path, kMaxSettingsBytes);
    if (!file.ok) {
        if (!file.missing) problem = "Cannot read \"" + path + "\". " + file.reason;
        return {};
    }
    return ParseSettings(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()),
        warnings);
}

std::string FormatSettings(const TSettings& settings) {
    std::string out =
        "# Pondlark's own settings (Config.cfg keeps the rest), one key=value a line\n";
    for (const auto& [key, value] : settings.Entries())
        out += key + "=" + value + "\n";
    return out;
}

std::string WriteSettingsFile(const std::string& path, const std::string& contents) {
    return ReplaceFile(path, contents.data(), contents.size());
}

} // namespace pondlark
