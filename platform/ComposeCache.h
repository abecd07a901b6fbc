// Where the X library may keep its compiled compose table for this player.
//
// Opening the window opens X's input method, which reads the locale's compose table (half a
// megabyte of text, about ten milliseconds of a start-up of thirty) unless it finds a compiled
// copy in the folder XCOMPOSECACHE names. Few desktops name one, so every start parsed it
// again. The game names a folder of its own in the player's cache for the time SDL opens the
// window: the first start writes the compiled table there, the later ones read it. Typing is
// the same either way; the X library checks the folder and the copy itself (it uses neither
// for the superuser, nor for a copy older than the table or not the player's own).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace pondlark {

// The folder for a player whose environment `getenv` reads and whose user id is `uid`: none
// when XCOMPOSECACHE is set already (the player's own choice), for the superuser, or without an
// absolute XDG_CACHE_HOME or HOME; else "<cache>/pondlark/compose", where <cache> is
// XDG_CACHE_HOME or HOME/.cache.
std::optional<std::string> ComposeCacheFolder(const std::function<const char*(const char*)>& getenv,
                                              unsigned uid);

// Names the folder (made when missing, mode 0700) in XCOMPOSECACHE while the object lives, and
// takes the name away again, so that programs the game starts later are not told it. A folder
// that cannot be made changes nothing.
class TComposeCacheScope {
public:
    // For the user the process runs as.
    TComposeCacheScope();
    // For the user `uid` (the folder is chosen as for that user).
    explicit TComposeCacheScope(unsigned uid);
    ~TComposeCacheScope();
    TComposeCacheScope(const TComposeCacheScope&) = delete;
    TComposeCacheScope& operator=(const TComposeCacheScope&) = delete;

private:
    bool named_ = false;
};

} // namespace pondlark
