#include "persist/Config.h"

#include "engine/Errors.h"
#include "persist/EntryText.h"
#include "persist/TextEncoding.h"
#include "platform/Files.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace pondlark {

namespace {

std::optional<int32_t> ParseScore(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return value;
}

// A name or a country keeps what its entry could have typed in length; its characters stay as
// they are (a hand-written country may be spelt in the player's own letters).
std::string EntryLength(std::string value) {
    if (value.size() > kEntryMaxLength) value.resize(kEntryMaxLength);
    return value;
}

struct TConfigLine {
    std::string text; // at most kMaxConfigLineBytes, without its line end
    bool tooLong = false;
};

// The first 25 lines, each kept only up to its cap, reading no more than kMaxConfigReadBytes.
// Lines that are not there read as empty.
std::vector<TConfigLine> ReadLines(TRegularFile& file, const std::string& path) {
    std::vector<TConfigLine> lines(1);
    std::vector<uint8_t> chunk(size_t{64} << 10);
    uint64_t seen = 0;
    auto finish = [&](TConfigLine& line) {
        if (!line.tooLong && !line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        if (line.text.size() > kMaxConfigLineBytes) {
            line.tooLong = true;
            line.text.clear();
        }
    };
    while (lines.size() <= 25 && seen < kMaxConfigReadBytes) {
        const long n = file.Read(chunk.data(), chunk.size());
        if (n < 0)
            throw EFOpenError(
                Format("Cannot open file \"%s\". %s", path.c_str(), file.Reason().c_str()));
        if (n == 0) break;
        const size_t take = static_cast<size_t>(
            std::min<uint64_t>(static_cast<uint64_t>(n), kMaxConfigReadBytes - seen));
        seen += take;
        size_t i = 0;
        while (i < take && lines.size() <= 25) {
            TConfigLine& line = lines.back();
            const uint8_t* from = chunk.data() + i;
            const auto* newline = static_cast<const uint8_t*>(std::memchr(from, '\n', take - i));
            const size_t length = newline ? static_cast<size_t>(newline - from) : take - i;
            // Room for one byte past the cap: a '\r' before the line end.
            const size_t room =
                kMaxConfigLineBytes + 1 - std::min(line.text.size(), kMaxConfigLineBytes + 1);
            line.text.append(reinterpret_cast<const char*>(from), std::min(room, length));
            if (length > room) line.tooLong = true;
            i += length;
            if (newline) {
                finish(line);
                lines.emplace_back();
                ++i;
            }
        }
    }
    if (lines.size() <= 25) {
        TConfigLine& last = lines.back();
        // A line cut off by the read cap is not trusted as a value.
        if (seen >= kMaxConfigReadBytes && !last.text.empty()) last.tooLong = true;
        finish(last);
    }
    lines.resize(25);
    return lines;
}

} // namespace

std::optional<TConfigValues> ReadConfig(const std::string& path,
                                        const std::array<THighScore, 10>& defaults) {
    TRegularFile file(path);
    if (!file.IsOpen()) {
        if (file.Missing()) return std::nullopt;
        throw EFOpenError(
            Format("Cannot open file \"%s\". %s", path.c_str(), file.Reason().c_str()));
    }
    const std::vector<TConfigLine> lines = ReadLines(file, path);

    TConfigValues v;
    v.HighScores = defaults;
    auto usable = [&](int number) {
        if (!lines[static_cast<size_t>(number - 1)].tooLong) return true;
        v.DamagedLines.push_back(number);
        return false;
    };
    auto decoded = [&](int number) {
        return DecodeLine(lines[static_cast<size_t>(number - 1)].text);
    };
    if (usable(1)) v.FullScreen = decoded(1) != "false";
    if (usable(2)) v.Music = decoded(2) != "false";
    if (usable(3)) v.Sound = decoded(3) != "false";
    if (usable(4)) v.Country = EntryLength(UnpadValue(decoded(4)));
    if (usable(5)) v.PlayerName = EntryLength(UnpadValue(decoded(5)));
    for (int i = 0; i < 10; ++i) {
        THighScore& entry = v.HighScores[static_cast<size_t>(i)];
        if (usable(6 + 2 * i)) {
            const std::string name = decoded(6 + 2 * i);
            if (!name.empty()) entry.Name = EntryLength(UnpadValue(name));
        }
        if (!usable(7 + 2 * i)) continue;
        const std::string score = decoded(7 + 2 * i);
        if (score.empty()) continue;
        if (auto n = ParseScore(UnpadValue(score)))
            entry.Score = *n;
        else
            v.DamagedLines.push_back(7 + 2 * i);
    }
    return v;
}

std::string FormatConfig(bool fullScreen, bool music, bool sound, const std::string& country,
                         const std::string& playerName, const std::array<THighScore, 10>& table) {
    std::string out;
    auto put = [&](const std::string& encoded) { out += encoded + "\r\n"; };
    auto flag = [](bool b) { return EncodeLine(b ? "true" : "false"); };
    auto padded = [](const std::string& s) { return s.empty() ? "" : EncodeLine(PadValue(s)); };
    put(flag(fullScreen));
    put(flag(music));
    put(flag(sound));
    put(padded(country));
    put(padded(playerName));
    for (const THighScore& e : table) {
        put(padded(e.Name));
        put(padded(std::to_string(e.Score)));
    }
    return out;
}

void WriteConfigFile(const std::string& path, const std::string& contents) {
    if (std::string error = ReplaceFile(path, contents.data(), contents.size()); !error.empty())
        throw EFOpenError(error);
}

} // namespace pondlark
