#include "engine/TFontCache.h"

#include "engine/Errors.h"
#include "platform/Files.h"

namespace pondlark {

namespace {
constexpr int kProbePoints = 16; // the table's size; any size tells whether the file is a face
}

std::unique_ptr<IFont> TFontCache::Open(int points) {
    if (!faceFailed_) {
        if (auto font = platform_.OpenFont(facePath_, points)) return font;
        faceFailed_ = true;
        TRegularFile file(facePath_);
        faceReason_ = file.IsOpen() ? "It is not a face the game can read" : file.Reason();
    }
    if (!fallbackLooked_) {
        fallbackLooked_ = true;
        fallbackPath_ = platform_.FallbackFacePath();
    }
    return fallbackPath_.empty() ? nullptr : platform_.OpenFont(fallbackPath_, points);
}

IFont* TFontCache::Get(int points) {
    auto it = fonts_.find(points);
    if (it == fonts_.end()) it = fonts_.emplace(points, Open(points)).first;
    return it->second.get();
}

std::string TFontCache::Problem() {
    if (fonts_.empty()) Get(kProbePoints);
    if (!faceFailed_) return {};
    const bool standIn = !fallbackPath_.empty() && Get(kProbePoints) != nullptr;
    const std::string what =
        Format("Cannot load the face \"%s\". %s.", facePath_.c_str(), faceReason_.c_str());
    if (standIn)
        return what + Format(" Texts are drawn with \"%s\" instead.", fallbackPath_.c_str());
    return what + " No other face was found: texts cannot be drawn.";
}

} // namespace pondlark
