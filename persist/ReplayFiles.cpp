#include "persist/ReplayFiles.h"

#include "platform/Files.h"

#include <cstdio>
#include <filesystem>
#include <set>

namespace pondlark {

namespace {
constexpr std::string_view kExtension = ".plkr";
} // namespace

std::string ReplayFileName(const THighScore& entry) {
    std::string name = std::to_string(entry.Score) + "-";
    for (const char c : entry.Name) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) {
            name.push_back(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            name += hex;
        }
    }
    return name + std::string(kExtension);
}

std::string WriteReplayFile(const std::string& folder, const THighScore& entry,
                            std::span<const uint8_t> bytes) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return "Cannot create folder \"" + folder + "\". " + ec.message();
    return ReplaceFile(folder + "/" + ReplayFileName(entry), bytes.data(), bytes.size());
}

void PruneReplayFiles(const std::string& folder, const THighScoreTable& table) {
    std::set<std::string> kept;
    for (const THighScore& entry : table)
        kept.insert(ReplayFileName(entry));
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = file.path().filename().string();
        if (name.size() <= kExtension.size() || !name.ends_with(kExtension) || kept.count(name))
            continue;
        // Only names of the game's own making: digits, a dash, then the name.
        const size_t dash = name.find('-');
        if (dash == 0 || dash == std::string::npos || name.find_first_not_of("0123456789") != dash)
            continue;
        std::filesystem::remove(file.path(), ec);
    }
}

} // namespace pondlark
