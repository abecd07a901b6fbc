#include "tools/assetgen/pictures/Kit.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace pondlark::assetgen {

namespace {

constexpr int kMaxSheetWidth = 4000;

// A pixel that would read as the key after 5-6-5 packing gets a touch of green.
uint32_t AvoidKey(uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
    if (r >= 0xF8 && g < 0x08 && b >= 0xF8) return (r << 16) | (0x0C << 8) | b;
    return rgb;
}

} // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::vector<uint32_t> ToKeyed(cairo_surface_t* surface, const EdgeStyle& edge) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> out(static_cast<size_t>(w) * h, kKeyColour);
    const double ur = edge.under.r * 255, ug = edge.under.g * 255, ub = edge.under.b * 255;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            const double a = ((p >> 24) & 255) / 255.0;
            if (a < edge.threshold || a <= 0) continue;
            // Premultiplied colour over the edge colour: a soft edge darkens into the outline
            // instead of fading into the key.
            const double r = ((p >> 16) & 255) + (1 - a) * ur;
            const double g = ((p >> 8) & 255) + (1 - a) * ug;
            const double b = (p & 255) + (1 - a) * ub;
            const auto c = [](double v) {
                return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
            };
            out[static_cast<size_t>(y) * w + x] = AvoidKey((c(r) << 16) | (c(g) << 8) | c(b));
        }
    }
    return out;
}

Sheet DrawSheet(const std::string& name, int frameWidth, int frameHeight, int frameCount,
                const EdgeStyle& edge, const FrameDrawer& draw) {
    Sheet sheet;
    sheet.name = name;
    sheet.frameWidth = frameWidth;
    sheet.frameHeight = frameHeight;
    sheet.frameCount = frameCount;
    sheet.columns = std::max(1, std::min(frameCount, kMaxSheetWidth / frameWidth));
    const int rows = (frameCount + sheet.columns - 1) / sheet.columns;
    sheet.width = sheet.columns * frameWidth;
    sheet.height = rows * frameHeight;
    sheet.xrgb.assign(static_cast<size_t>(sheet.width) * sheet.height, kKeyColour);
    for (int f = 0; f < frameCount; ++f) {
        cairo_surface_t* s =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frameWidth, frameHeight);
        cairo_t* cr = cairo_create(s);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        draw(cr, f);
        cairo_destroy(cr);
        const std::vector<uint32_t> px = ToKeyed(s, edge);
        cairo_surface_destroy(s);
        for (int y = 0; y < frameHeight; ++y)
            std::copy_n(px.begin() + static_cast<ptrdiff_t>(y) * frameWidth, frameWidth,
                        sheet.xrgb.begin() +
                            static_cast<ptrdiff_t>(sheet.FrameY(f) + y) * sheet.width +
                            sheet.FrameX(f));
    }
    return sheet;
}

Sheet Mirrored(const Sheet& sheet, const std::string& name) {
    Sheet m = sheet;
    m.name = name;
    for (int f = 0; f < sheet.frameCount; ++f)
        for (int y = 0; y < sheet.frameHeight; ++y)
            for (int x = 0; x < sheet.frameWidth; ++x)
                m.xrgb[static_cast<size_t>(sheet.FrameY(f) + y) * m.width + sheet.FrameX(f) + x] =
                    sheet.At(sheet.FrameX(f) + sheet.frameWidth - 1 - x, sheet.FrameY(f) + y);
    return m;
}

void SetColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void FillOutline(cairo_t* cr, Rgb fill, double outline, Rgb ink) {
    SetColour(cr, fill);
    cairo_fill_preserve(cr);
    if (outline > 0) {
        SetColour(cr, ink);
        cairo_set_line_width(cr, outline);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

void GoldEdge(cairo_t* cr, double brownWidth) {
    SetColour(cr, pal::inkBrown);
    cairo_set_line_width(cr, brownWidth);
    cairo_stroke_preserve(cr);
    SetColour(cr, Hex(0xd9a84a));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

void CalmBoard(cairo_t* cr, double x, double y, double w, double h, double radius) {
    RoundedRect(cr, x, y, w, h, radius);
    cairo_pattern_t* g = VerticalGradient(y, y + h, Hex(0x1e5052), Hex(0x0c2a2c));
    cairo_set_source(cr, g);
    cairo_pattern_destroy(g);
    cairo_fill_preserve(cr);
    GoldEdge(cr, 6);
}

void WithInkRim(cairo_t* cr, int w, int h, double radius, Rgb ink,
                const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* art = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* a = cairo_create(art);
    cairo_set_line_join(a, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(a, CAIRO_LINE_CAP_ROUND);
    draw(a);
    cairo_destroy(a);
    SetColour(cr, ink);
    for (int k = 0; k < 24; ++k) {
        const double angle = k * 2 * M_PI / 24;
        cairo_mask_surface(cr, art, radius * std::cos(angle), radius * std::sin(angle));
    }
    cairo_set_source_surface(cr, art, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(art);
}

cairo_pattern_t* VerticalGradient(double y0, double y1, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    return p;
}

cairo_pattern_t* BallGradient(double cx, double cy, double r, Rgb light, Rgb dark) {
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r * 1.05);
    cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
    return p;
}

void FillPatternOutline(cairo_t* cr, cairo_pattern_t* pattern, double outline, Rgb ink) {
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
    if (outline > 0) {
        SetColour(cr, ink);
        cairo_set_line_width(cr, outline);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

void Blur(cairo_surface_t* surface, int radius) {
    if (radius <= 0) return;
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    std::vector<uint32_t> line(static_cast<size_t>(std::max(w, h)));
    // One box pass along a line of n pixels spaced `step` apart, per channel.
    const auto pass = [&](uint32_t* start, int n, int step) {
        for (int i = 0; i < n; ++i)
            line[static_cast<size_t>(i)] = start[i * step];
        for (int i = 0; i < n; ++i) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int k = std::max(0, i - radius); k <= std::min(n - 1, i + radius); ++k) {
                const uint32_t p = line[static_cast<size_t>(k)];
                for (int c = 0; c < 4; ++c)
                    sum[c] += (p >> (8 * c)) & 255;
            }
            // Pixels beyond the edge count as clear.
            const auto count = static_cast<uint32_t>(2 * radius + 1);
            uint32_t out = 0;
            for (int c = 0; c < 4; ++c)
                out |= (sum[c] / count) << (8 * c);
            start[i * step] = out;
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y)
            pass(data + static_cast<ptrdiff_t>(y) * stride, w, 1);
        for (int x = 0; x < w; ++x)
            pass(data + x, h, stride);
    }
    cairo_surface_mark_dirty(surface);
}

double Rng::Uniform() {
    // xorshift64*: small, fast and the same on every machine.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<double>((state_ * 0x2545F4914F6CDD1Dull) >> 11) / 9007199254740992.0;
}

struct Fonts::FreeType {
    FT_Library library = nullptr;
    FT_Face display = nullptr, text = nullptr;
};

namespace {
constexpr const char* kDisplayFontFile =
    "/usr/share/fonts/truetype/leckerli-one/LeckerliOne-Regular.ttf";
constexpr const char* kTextFontFile = "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf";

FT_Face OpenFace(FT_Library library, const char* file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file, 0, &face) != 0)
        throw std::runtime_error(std::string("cannot open font ") + file);
    return face;
}
} // namespace

Fonts::Fonts() : ft_(std::make_unique<FreeType>()) {
    if (FT_Init_FreeType(&ft_->library) != 0) throw std::runtime_error("FreeType init failed");
    ft_->display = OpenFace(ft_->library, kDisplayFontFile);
    ft_->text = OpenFace(ft_->library, kTextFontFile);
    display_ = cairo_ft_font_face_create_for_ft_face(ft_->display, 0);
    text_ = cairo_ft_font_face_create_for_ft_face(ft_->text, 0);
}

Fonts::~Fonts() {
    cairo_font_face_destroy(display_);
    cairo_font_face_destroy(text_);
    FT_Done_Face(ft_->display);
    FT_Done_Face(ft_->text);
    FT_Done_FreeType(ft_->library);
}

void WordPath(cairo_t* cr, cairo_font_face_t* face, const std::string& text, Box box,
              double outlineWidth, double maxStretch, double fixedSize) {
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line, '\n');)
        lines.push_back(line);
    constexpr double kSize = 100, kLineGap = 1.02;

    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, kSize);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    // Lay the lines out at size 100 in user space, each centred on x 0.
    cairo_new_path(cr);
    for (size_t i = 0; i < lines.size(); ++i) {
        cairo_text_extents_t te;
        cairo_text_extents(cr, lines[i].c_str(), &te);
        cairo_move_to(cr, -te.x_advance / 2, static_cast<double>(i) * fe.height * kLineGap);
        cairo_text_path(cr, lines[i].c_str());
    }
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);

    const double innerW = std::max(1.0, box.w - outlineWidth);
    const double innerH = std::max(1.0, box.h - outlineWidth);
    // Fill the box, widening or narrowing the letters at most by maxStretch; a word too long
    // for its box gets lower instead of spilling out.
    double sy = innerH / (y1 - y0);
    double sx = std::min(innerW / (x1 - x0), sy * maxStretch);
    sy = std::min(sy, sx * maxStretch);
    if (fixedSize > 0) sx = sy = fixedSize / kSize;
    const double cx = box.x + box.w / 2, cy = box.y + box.h / 2;
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, sx, sy);
    cairo_translate(cr, -(x0 + x1) / 2, -(y0 + y1) / 2);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
    cairo_restore(cr); // the path stays in device space
}

void DrawWord(cairo_t* cr, cairo_font_face_t* face, const std::string& text, Box box,
              const WordStyle& style) {
    cairo_surface_t* target = cairo_get_target(cr);
    const int w = cairo_image_surface_get_width(target);
    const int h = cairo_image_surface_get_height(target);

    WordPath(cr, face, text, box, style.outlineWidth, style.maxStretch, style.fixedSize);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);

    // Glow and shadow are the word's silhouette, blurred and painted through as a mask.
    const auto silhouette = [&](double grow, int blur) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* c = cairo_create(s);
        cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
        cairo_append_path(c, path);
        cairo_set_source_rgb(c, 0, 0, 0);
        cairo_fill_preserve(c);
        cairo_set_line_width(c, style.outlineWidth + grow);
        cairo_stroke(c);
        cairo_destroy(c);
        Blur(s, blur);
        return s;
    };
    if (style.glowAlpha > 0) {
        cairo_surface_t* g = silhouette(style.glowRadius * 1.6, style.glowRadius);
        SetColour(cr, style.glow, style.glowAlpha);
        cairo_mask_surface(cr, g, 0, 0);
        cairo_surface_destroy(g);
    }
    if (style.shadowAlpha > 0) {
        cairo_surface_t* s = silhouette(2, style.shadowBlur);
        SetColour(cr, style.shadow, style.shadowAlpha);
        cairo_mask_surface(cr, s, style.shadowOffset * 0.6, style.shadowOffset);
        cairo_surface_destroy(s);
    }
    cairo_append_path(cr, path);
    SetColour(cr, style.outline);
    cairo_set_line_width(cr, style.outlineWidth);
    cairo_stroke_preserve(cr);
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_pattern_t* fill = VerticalGradient(y0, y1, style.top, style.bottom);
    cairo_set_source(cr, fill);
    cairo_pattern_destroy(fill);
    cairo_fill_preserve(cr);
    // A thin light rim on the upper half gives the letters a glossy, painted look.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, x0 - 10, y0 - 10, x1 - x0 + 20, (y1 - y0) * 0.42 + 10);
    cairo_set_source_rgba(cr, 1, 1, 0.92, 0.28);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_path_destroy(path);
}

void Label(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double x, double y,
           double size, Rgb colour) {
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    SetColour(cr, colour);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

} // namespace pondlark::assetgen
