// The drawing kit every picture family shares: the palette, the outline and word styles, the
// fonts, a deterministic noise source, and the step that turns a cairo drawing into colour-keyed
// frames without key-coloured fringes.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pondlark::assetgen {

// The colour key of every picture. No drawing may produce it; ToKeyed() nudges the rare pixel
// that would.
constexpr uint32_t kKeyColour = 0xFF00FF;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

// Mixes a toward b by t (0 gives a, 1 gives b).
Rgb Mix(Rgb a, Rgb b, double t);
constexpr Rgb Hex(uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

// One limited palette for the whole game: late-afternoon pond greens and teals, warm wood and
// gold, and two dark outline inks.
namespace pal {
inline constexpr Rgb ink = Hex(0x16301c);      // dark green outline of living things
inline constexpr Rgb inkBrown = Hex(0x3a2212); // dark brown outline of wood, stone, words
inline constexpr Rgb waterDeep = Hex(0x1f5f66);
inline constexpr Rgb water = Hex(0x2f8080);
inline constexpr Rgb waterLight = Hex(0x5fb0a4);
inline constexpr Rgb sunGlint = Hex(0xffe9a8);
inline constexpr Rgb leaf = Hex(0x4fae3a);
inline constexpr Rgb leafLight = Hex(0x9ad94f);
inline constexpr Rgb leafDark = Hex(0x2e7a2a);
inline constexpr Rgb frog = Hex(0x74c83c);
inline constexpr Rgb frogLight = Hex(0xc8ee6a);
inline constexpr Rgb frogBelly = Hex(0xf1f2b0);
inline constexpr Rgb wood = Hex(0x9a5f2e);
inline constexpr Rgb woodLight = Hex(0xd09650);
inline constexpr Rgb woodDark = Hex(0x5e3516);
inline constexpr Rgb gold = Hex(0xffc825);
inline constexpr Rgb goldLight = Hex(0xfff07a);
inline constexpr Rgb goldDark = Hex(0xb26d10);
inline constexpr Rgb pink = Hex(0xff7fa8);
inline constexpr Rgb pinkDark = Hex(0xc23e6c);
inline constexpr Rgb white = Hex(0xfffdf2);
inline constexpr Rgb cream = Hex(0xfff3c8);
inline constexpr Rgb stone = Hex(0x9d9a8c);
inline constexpr Rgb stoneDark = Hex(0x5d5b52);
inline constexpr Rgb red = Hex(0xe8402c);
inline constexpr Rgb orange = Hex(0xf28a24);
inline constexpr Rgb skyTop = Hex(0x5aa7d8);
inline constexpr Rgb skyLow = Hex(0xffd89a);
inline constexpr Rgb menuCalm = Hex(0x12383a); // the calm, dark area behind menu texts
} // namespace pal

// How partially covered pixels become opaque or transparent: below `threshold` coverage a pixel
// becomes the key, above it the pixel is composed over `under` (a dark outline or the colour
// the picture usually stands on), never over the key.
struct EdgeStyle {
    Rgb under = pal::ink;
    double threshold = 0.5;
};
// Pictures seen over the pond's water, over the menu's calm panel, and brown-inked ones.
inline constexpr EdgeStyle kOnWater{Hex(0x1d4f4c), 0.5};
inline constexpr EdgeStyle kOnMenu{pal::menuCalm, 0.3};
inline constexpr EdgeStyle kInked{pal::inkBrown, 0.5};

// A picture of the archive: `frameCount` frames of frameWidth × frameHeight, laid out row-major
// `columns` per row, as XRGB pixels (the key colour where transparent).
struct Sheet {
    std::string name;
    int frameWidth = 0, frameHeight = 0, frameCount = 1, columns = 1;
    int width = 0, height = 0;
    std::vector<uint32_t> xrgb;
    uint32_t At(int x, int y) const { return xrgb[static_cast<size_t>(y) * width + x]; }
    bool Opaque(int x, int y) const { return At(x, y) != kKeyColour; }
    // Top-left of frame f inside the sheet.
    int FrameX(int f) const { return (f % columns) * frameWidth; }
    int FrameY(int f) const { return (f / columns) * frameHeight; }
};

using FrameDrawer = std::function<void(cairo_t* cr, int frame)>;

// Draws every frame on a clear frameWidth × frameHeight canvas and keys it. Sheets wider than
// about 4000 pixels wrap to more rows.
Sheet DrawSheet(const std::string& name, int frameWidth, int frameHeight, int frameCount,
                const EdgeStyle& edge, const FrameDrawer& draw);

// The same sheet mirrored left to right frame by frame (insects flying the other way).
Sheet Mirrored(const Sheet& sheet, const std::string& name);

// Converts a premultiplied ARGB cairo surface to keyed XRGB pixels.
std::vector<uint32_t> ToKeyed(cairo_surface_t* surface, const EdgeStyle& edge);

// --- shapes -------------------------------------------------------------------------------

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Fills the current path with `fill` and strokes it with the outline ink, keeping the path.
void FillOutline(cairo_t* cr, Rgb fill, double outline, Rgb ink = pal::ink);
// Strokes the current path with the menu panels' edge, a brown line of `brownWidth` under a
// thin gold one, and clears the path.
void GoldEdge(cairo_t* cr, double brownWidth);
// A menu board in the backdrop's calm look: dark teal, a brown edge under a gold line.
void CalmBoard(cairo_t* cr, double x, double y, double w, double h, double radius);
// A vertical gradient from `top` at y0 to `bottom` at y1.
cairo_pattern_t* VerticalGradient(double y0, double y1, Rgb top, Rgb bottom);
// A radial gradient, light at the off-centre highlight, darker at the rim.
cairo_pattern_t* BallGradient(double cx, double cy, double r, Rgb light, Rgb dark);
// Fills the current path with a pattern, destroys the pattern, strokes the outline.
void FillPatternOutline(cairo_t* cr, cairo_pattern_t* pattern, double outline, Rgb ink = pal::ink);
// Draws `draw` on a w × h canvas with a dark rim of `radius` pixels all round its silhouette:
// a cartoon outline whose keyed edge stays dark against any ground.
void WithInkRim(cairo_t* cr, int w, int h, double radius, Rgb ink,
                const std::function<void(cairo_t*)>& draw);
// Blurs an ARGB surface in place (three box passes), for shadows and glows.
void Blur(cairo_surface_t* surface, int radius);

// --- noise --------------------------------------------------------------------------------

// A small deterministic generator, so the archive is the same bytes on every run.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    double Uniform(); // 0 ≤ value < 1
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

private:
    uint64_t state_;
};

// --- fonts and words ----------------------------------------------------------------------

// The two faces of the game, opened from their files through FreeType so the exact fonts are
// used: a display face for menu words and the game's text face for small labels.
class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    cairo_font_face_t* Display() const { return display_; }
    cairo_font_face_t* Text() const { return text_; }

private:
    struct FreeType;
    std::unique_ptr<FreeType> ft_;
    cairo_font_face_t* display_ = nullptr;
    cairo_font_face_t* text_ = nullptr;
};

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
};

// How a word is painted: fill gradient, outline, soft drop shadow, optional glow.
struct WordStyle {
    Rgb top = pal::goldLight, bottom = pal::gold;
    Rgb outline = pal::inkBrown;
    double outlineWidth = 5;
    Rgb shadow = Hex(0x06140c);
    double shadowAlpha = 0.75, shadowOffset = 4;
    int shadowBlur = 3;
    Rgb glow = pal::goldLight;
    double glowAlpha = 0; // 0: no glow
    int glowRadius = 8;
    double maxStretch = 1.3; // how far the word may be widened or narrowed to fill its box
    // > 0: the letters at this size in pixels, centred in the box, instead of filling it, so
    // that words of one family (the buttons of a board, the labels of a column) match.
    double fixedSize = 0;
};

// Builds the path of `text` (lines separated by '\n', centred) so that its ink, outline
// included, fills `box` (or, with `fixedSize` > 0, stands centred in it at that size); the
// current path of cr is replaced.
void WordPath(cairo_t* cr, cairo_font_face_t* face, const std::string& text, Box box,
              double outlineWidth, double maxStretch, double fixedSize = 0);

// Paints a word into `box` with glow, shadow, outline and gradient fill.
void DrawWord(cairo_t* cr, cairo_font_face_t* face, const std::string& text, Box box,
              const WordStyle& style);

// Plain single-line label at a baseline, no fitting (contact sheet captions and the like).
void Label(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double x, double y,
           double size, Rgb colour);

} // namespace pondlark::assetgen
