#include "engine/TFontCache.h"

namespace pondlark {

IFont* TFontCache::Get(int points) {
    auto it = fonts_.find(points);
    if (it == fonts_.end())
        it = fonts_.emplace(points, platform_.OpenFont(facePath_, points)).first;
    return it->second.get();
}

} // namespace pondlark
