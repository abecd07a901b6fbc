#include "persist/Settings.h"

#include "platform/Files.h"

#include <algorithm>

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

TSettings ParseSettings(std::string_view text) {
    TSettings settings;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (raw.size() > kMaxSettingsLineBytes) continue;
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        // A key given twice keeps its last value, as a hand edit further down means it.
        settings.Set(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
    return settings;
}

TSettings ReadSettings(const std::string& path, std::string& problem) {
    problem.clear();
    const TFileBytes file = ReadRegularFile(path, kMaxSettingsBytes);
    if (!file.ok) {
        if (!file.missing) problem = "Cannot read \"" + path + "\". " + file.reason;
        return {};
    }
    return ParseSettings(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
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
