#include "platform/ComposeCache.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace pondlark {

namespace {
constexpr const char* kVariable = "XCOMPOSECACHE";

bool Absolute(const char* path) {
    return path && path[0] == '/';
}
} // namespace

std::optional<std::string> ComposeCacheFolder(const std::function<const char*(const char*)>& getenv,
                                              unsigned uid) {
    if (getenv(kVariable) || uid == 0) return std::nullopt;
    // A relative XDG_CACHE_HOME is to be ignored, as if it were not set.
    if (const char* cache = getenv("XDG_CACHE_HOME"); Absolute(cache))
        return std::string(cache) + "/pondlark/compose";
    if (const char* home = getenv("HOME"); Absolute(home))
        return std::string(home) + "/.cache/pondlark/compose";
    return std::nullopt;
}

TComposeCacheScope::TComposeCacheScope() : TComposeCacheScope(::geteuid()) {}

TComposeCacheScope::TComposeCacheScope(unsigned uid) {
    const std::optional<std::string> folder =
        ComposeCacheFolder([](const char* name) { return std::getenv(name); }, uid);
    if (!folder) return;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(*folder, ec);
    if (ec || !fs::is_directory(*folder, ec)) return;
    // The X library takes no folder that others may write to.
    fs::permissions(*folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    named_ = ::setenv(kVariable, folder->c_str(), 0) == 0;
}

TComposeCacheScope::~TComposeCacheScope() {
    if (named_) ::unsetenv(kVariable);
}

} // namespace pondlark
