// Text on a surface, the way the game's scenes write it: set the font's name, colour and size,
// `TextOut`, and `Release` before the frame is flipped.
//
// Glyphs are blended over the surface by their coverage (the brush style is always clear: no
// box behind the text). Rendered lines are cached by size and text, since the scenes redraw the
// same words every frame. Only the first 400 characters of a text are measured and drawn: no
// line of the surface shows more, and a runaway text costs no more than a long line.
#pragma once

#include "engine/Geometry.h"
#include "platform/Platform.h"

#include <map>
#include <string>
#include <utility>

namespace pondlark {

class TDirectDrawSurface;
class TFontCache;

struct TCanvasFont {
    TColor Color = 0;
    int Size = 8; // points at 96 dpi
    // A one-pixel dark rim around the letters, for text over a busy picture.
    bool Outlined = false;
};

enum class TBrushStyle { Solid, Clear };

// The width `TDirectDrawSurfaceCanvas::TextWidth` gives for `text` at `size`, for callers with no
// surface at hand (0 without fonts).
int MeasureText(TFontCache* fonts, int size, const std::string& text);

class TDirectDrawSurfaceCanvas {
public:
    // Both outlive the canvas (the surface owns it). Without fonts no text is drawn.
    TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface, TFontCache* fonts);
    ~TDirectDrawSurfaceCanvas();

    TCanvasFont Font;
    TBrushStyle BrushStyle = TBrushStyle::Clear;
    // Off, `TextOut` draws nothing (measuring still works): a game played only for its result.
    bool Drawing = true;

    // The top of the text's line box is at y, as with the window system's text-out.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    // Gives the drawing context back; drawing afterwards takes a new one.
    void Release() { active_ = false; }

private:
    const TextBitmap* Rendered(const std::string& text);
    void Blend(const TextBitmap& bmp, int x, int y, uint32_t colour);

    TDirectDrawSurface& surface_;
    TFontCache* fonts_;
    bool active_ = false;
    std::map<std::pair<int, std::string>, TextBitmap> cache_;
};

} // namespace pondlark
