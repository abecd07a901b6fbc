#include "persist/Config.h"

#include "engine/Errors.h"
#include "persist/EntryText.h"
#include "persist/TextEncoding.h"
#include "platform/Files.h"

#include <algorithm>
#include <array>
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

// The first kConfigLineCount lines, each kept only up to its cap, reading no more than
// kMaxConfigReadBytes. Lines that are not there read as empty.
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
    while (lines.size() <= kConfigLineCount && seen < kMaxConfigReadBytes) {
        const long n = file.Read(chunk.data(), chunk.size());
        if (n < 0)
            throw EFOpenError(
                Format("Cannot open file \"%s\". %s", path.c_str(), file.Reason().c_str()));
        if (n == 0) break;
        const size_t take = static_cast<size_t>(
            std::min<uint64_t>(static_cast<uint64_t>(n), kMaxConfigReadBytes - seen));
        seen += take;
        size_t i = 0;
        while (i < take && lines.size() <= kConfigLineCount) {
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
    if (lines.size() <= kConfigLineCount) {
        TConfigLine& last = lines.back();
        // A line cut off by the read cap is not trusted as a value.
        if (seen >= kMaxConfigReadBytes && !last.text.empty()) last.tooLong = true;
        finish(last);
    }
    lines.resize(kConfigLineCount);
    return lines;
}

} // namespace

namespace {

// What each of the 25 lines holds, in file order: the three switches, the two entries, then the
// table's ten names and scores in turn. Reading and writing both walk this table.
enum class TLineKind { Switch, Entry, TableName, TableScore };
struct TConfigLineRow {
    TLineKind Kind;
    bool TConfigValues::*Switch = nullptr;       // Switch lines
    std::string TConfigValues::*Entry = nullptr; // Entry lines
    size_t Place = 0;                            // table lines: 0 for the best
};

constexpr std::array<TConfigLineRow, kConfigLineCount> MakeLineTable() {
    std::array<TConfigLineRow, kConfigLineCount> rows{{
        {TLineKind::Switch, &TConfigValues::FullScreen},
        {TLineKind::Switch, &TConfigValues::Music},
        {TLineKind::Switch, &TConfigValues::Sound},
        {TLineKind::Entry, nullptr, &TConfigValues::Country},
        {TLineKind::Entry, nullptr, &TConfigValues::PlayerName},
    }};
    for (size_t place = 0; place < kHighScoreCount; ++place) {
        rows[kConfigHeadLines + 2 * place] = {TLineKind::TableName, nullptr, nullptr, place};
        rows[kConfigHeadLines + 2 * place + 1] = {TLineKind::TableScore, nullptr, nullptr, place};
    }
    return rows;
}
constexpr std::array<TConfigLineRow, kConfigLineCount> kConfigLines = MakeLineTable();

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
    for (size_t i = 0; i < kConfigLines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (lines[i].tooLong) {
            v.DamagedLines.push_back(number);
            continue;
        }
        const TConfigLineRow& row = kConfigLines[i];
        const std::string value = DecodeLine(lines[i].text);
        THighScore& entry = v.HighScores[row.Place];
        switch (row.Kind) {
        case TLineKind::Switch:
            v.*row.Switch = value != "false";
            break;
        case TLineKind::Entry:
            v.*row.Entry = EntryLength(UnpadValue(value));
            break;
        case TLineKind::TableName:
            if (!value.empty()) entry.Name = EntryLength(UnpadValue(value));
            break;
        case TLineKind::TableScore:
            if (value.empty()) break;
            if (auto n = ParseScore(UnpadValue(value)))
                entry.Score = *n;
            else
                v.DamagedLines.push_back(number);
            break;
        }
    }
    return v;
}

std::string FormatConfig(const TConfigValues& values) {
    auto padded = [](const std::string& s) { return s.empty() ? "" : EncodeLine(PadValue(s)); };
    std::string out;
    for (const TConfigLineRow& row : kConfigLines) {
        const THighScore& entry = values.HighScores[row.Place];
        switch (row.Kind) {
        case TLineKind::Switch:
            out += EncodeLine(values.*row.Switch ? "true" : "false");
            break;
        case TLineKind::Entry:
            out += padded(values.*row.Entry);
            break;
        case TLineKind::TableName:
            out += padded(entry.Name);
            break;
        case TLineKind::TableScore:
            out += padded(std::to_string(entry.Score));
            break;
        }
        out += "\r\n";
    }
    return out;
}

void WriteConfigFile(const std::string& path, const std::string& contents) {
    if (std::string error = ReplaceFile(path, contents.data(), contents.size()); !error.empty())
        throw EFOpenError(error);
}

} // namespace pondlark
