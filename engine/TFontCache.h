// The game's one face at the sizes the texts ask for, opened on first use and kept.
#pragma once

#include "platform/Platform.h"

#include <map>
#include <string>

namespace pondlark {

class TFontCache {
public:
    // `facePath` is the face file every font name maps to; the platform outlives the cache.
    TFontCache(IPlatform& platform, std::string facePath)
        : platform_(platform), facePath_(std::move(facePath)) {}

    // nullptr when the face cannot be opened at that size (texts are then not drawn).
    IFont* Get(int points);

private:
    IPlatform& platform_;
    std::string facePath_;
    std::map<int, std::unique_ptr<IFont>> fonts_;
};

} // namespace pondlark
