// The game's one face at the sizes the texts ask for, opened on first use and kept.
//
// When the game's face cannot be opened, a face of the system stands in for it (the platform's
// `FallbackFacePath`), so no text is ever silently invisible; `Problem` tells the player once.
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

    // The face at `points`: the game's, or the stand-in once the game's has failed (every size
    // then uses the stand-in, so texts never mix faces). nullptr only when neither opens.
    IFont* Get(int points);

    // Empty while the game's face opens. Otherwise one sentence for the player: why the face
    // failed and which face stands in, or that texts cannot be drawn at all. Opens the face at
    // a common size when nothing was opened yet, so start-up can ask before the first frame.
    std::string Problem();

private:
    std::unique_ptr<IFont> Open(int points);

    IPlatform& platform_;
    std::string facePath_;
    std::map<int, std::unique_ptr<IFont>> fonts_;
    bool faceFailed_ = false;
    std::string faceReason_;
    bool fallbackLooked_ = false;
    std::string fallbackPath_;
};

} // namespace pondlark
