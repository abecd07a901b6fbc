#include "engine/TDirectDrawSurfaceCanvas.h"

#include "engine/TDirectDrawSurface.h"
#include "engine/TFontCache.h"

#include <algorithm>
#include <string_view>

namespace pondlark {

namespace {
constexpr size_t kCacheLimit = 512;
// No line of the 800-pixel surface shows more characters than this even at the smallest size,
// so a longer text (a hand-edited name of a million characters) is cut before it is measured
// or rasterised, and costs no more than a long line of the game's own.
constexpr size_t kMaxDrawnChars = 400;

std::string_view Drawable(const std::string& text) {
    return std::string_view(text).substr(0, kMaxDrawnChars);
}
} // namespace

TDirectDrawSurfaceCanvas::TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface, TFontCache* fonts)
    : surface_(surface), fonts_(fonts) {}

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas() = default;

const TextBitmap* TDirectDrawSurfaceCanvas::Rendered(const std::string& text) {
    if (!fonts_ || text.empty()) return nullptr;
    auto key = std::make_pair(Font.Size, std::string(Drawable(text)));
    auto it = cache_.find(key);
    if (it != cache_.end()) return &it->second;
    IFont* font = fonts_->Get(Font.Size);
    if (!font) return nullptr;
    if (cache_.size() >= kCacheLimit) cache_.clear();
    TextBitmap bitmap = font->Render(key.second);
    return &cache_.emplace(std::move(key), std::move(bitmap)).first->second;
}

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, const std::string& text) {
    active_ = true;
    if (!Drawing) return;
    const TextBitmap* bmp = Rendered(text);
    if (!bmp) return;
    if (Font.Outlined) {
        constexpr uint32_t kRim = 0x14200E; // the pictures' dark ink
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx != 0 || dy != 0) Blend(*bmp, x + dx, y + dy, kRim);
        Blend(*bmp, x + 1, y + 2, kRim);
    }
    Blend(*bmp, x, y, PixelOf(Font.Color));
}

void TDirectDrawSurfaceCanvas::Blend(const TextBitmap& bmp, int x, int y, uint32_t colour) {
    surface_.Changed();
    // The bitmap's part on the surface, clipped once.
    const int firstRow = std::max(0, -y), endRow = std::min(bmp.height, surface_.Height() - y);
    const int firstCol = std::max(0, -x), endCol = std::min(bmp.width, surface_.Width() - x);
    const uint32_t cr = (colour >> 16) & 0xFF, cg = (colour >> 8) & 0xFF, cb = colour & 0xFF;
    const uint32_t solid = colour & 0xFFFFFF;
    for (int row = firstRow; row < endRow; ++row) {
        uint32_t* line = surface_.Pixels() + static_cast<size_t>(y + row) * surface_.Pitch() + x;
        const uint8_t* cover = bmp.coverage.data() + static_cast<size_t>(row) * bmp.width;
        for (int col = firstCol; col < endCol; ++col) {
            const uint32_t a = cover[col];
            if (a == 0) continue;
            if (a == 255) {
                line[col] = solid; // what the blend below gives at full cover
                continue;
            }
            const uint32_t old = line[col];
            const uint32_t r = (cr * a + ((old >> 16) & 0xFF) * (255 - a)) / 255;
            const uint32_t g = (cg * a + ((old >> 8) & 0xFF) * (255 - a)) / 255;
            const uint32_t b = (cb * a + (old & 0xFF) * (255 - a)) / 255;
            line[col] = (r << 16) | (g << 8) | b;
        }
    }
}

int MeasureText(TFontCache* fonts, int size, const std::string& text) {
    IFont* font = fonts ? fonts->Get(size) : nullptr;
    return font ? font->TextWidth(std::string(Drawable(text))) : 0;
}

int TDirectDrawSurfaceCanvas::TextWidth(const std::string& text) {
    active_ = true;
    return MeasureText(fonts_, Font.Size, text);
}

} // namespace pondlark
