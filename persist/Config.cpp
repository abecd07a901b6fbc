#include "persist/Config.h"

#include "engine/Errors.h"
#include "persist/TextEncoding.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

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

} // namespace

std::optional<TConfigValues> ReadConfig(const std::string& path,
                                        const std::array<THighScore, 10>& defaults) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < 25 && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    lines.resize(25); // missing lines read as empty

    TConfigValues v;
    v.HighScores = defaults;
    auto decoded = [&](int number) { return DecodeLine(lines[static_cast<size_t>(number - 1)]); };
    v.FullScreen = decoded(1) != "false";
    v.Music = decoded(2) != "false";
    v.Sound = decoded(3) != "false";
    v.Country = UnpadValue(decoded(4));
    v.PlayerName = UnpadValue(decoded(5));
    for (int i = 0; i < 10; ++i) {
        const std::string name = decoded(6 + 2 * i);
        if (!name.empty()) v.HighScores[static_cast<size_t>(i)].Name = UnpadValue(name);
        const std::string score = decoded(7 + 2 * i);
        if (score.empty()) continue;
        if (auto n = ParseScore(UnpadValue(score)))
            v.HighScores[static_cast<size_t>(i)].Score = *n;
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
    const std::string temp = path + ".new";
    auto fail = [&](const char* what) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.c_str());
        throw EFOpenError(Format("Cannot %s file \"%s\". %s", what, path.c_str(), reason.c_str()));
    };
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("create");
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int saved = errno ? errno : ENOSPC;
            ::close(fd);
            errno = saved;
            fail("write");
        }
        done += static_cast<size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced) errno = savedErrno;
    if (!synced || !closed) fail("write");
    if (::rename(temp.c_str(), path.c_str()) != 0) fail("replace");
}

} // namespace pondlark
