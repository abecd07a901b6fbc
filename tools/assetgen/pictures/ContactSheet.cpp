// The contact sheet: every picture and frame on a checkerboard, labelled, so the art can be
// reviewed at a glance; plus one PNG per picture.
#include "tools/assetgen/pictures/Families.h"

#include <algorithm>
#include <filesystem>
#include <string>

namespace pondlark::assetgen {

cairo_surface_t* SheetSurface(const Sheet& sheet) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheet.width, sheet.height);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) {
            const uint32_t p = sheet.At(x, y);
            data[static_cast<size_t>(y) * stride + x] = p == kKeyColour ? 0 : (0xFF000000u | p);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

namespace {

constexpr int kSheetWidth = 2400, kGap = 10, kCaption = 16;

// Big pictures are shown at half size so the sheet stays browsable.
double ScaleFor(const Sheet& s) {
    return s.frameWidth >= 400 || s.frameHeight >= 400 ? 0.5 : 1.0;
}

struct Placement {
    const Sheet* sheet;
    int frame;
    double x, y, scale;
};

void Checker(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int j = 0; j * 8 < h; ++j)
        for (int i = 0; i * 8 < w; ++i) {
            const double v = (i + j) % 2 ? 0.78 : 0.92;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x + i * 8, y + j * 8, 8, 8);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

} // namespace

void WriteContactSheet(const std::vector<Sheet>& sheets, const Fonts& fonts,
                       const std::string& path) {
    std::vector<Placement> places;
    double x = kGap, y = kGap, rowH = 0;
    for (const Sheet& s : sheets)
        for (int f = 0; f < s.frameCount; ++f) {
            const double k = ScaleFor(s);
            const double w = s.frameWidth * k, h = s.frameHeight * k + kCaption;
            const double cellW = std::max(w, 90.0);
            if (x + cellW > kSheetWidth - kGap) {
                x = kGap;
                y += rowH + kGap;
                rowH = 0;
            }
            places.push_back({&s, f, x, y, k});
            x += cellW + kGap;
            rowH = std::max(rowH, h);
        }
    const int height = static_cast<int>(y + rowH + kGap);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
    cairo_paint(cr);
    const Sheet* cached = nullptr;
    cairo_surface_t* pic = nullptr;
    for (const Placement& p : places) {
        const Sheet& s = *p.sheet;
        if (cached != &s) {
            if (pic) cairo_surface_destroy(pic);
            pic = SheetSurface(s);
            cached = &s;
        }
        const double w = s.frameWidth * p.scale, h = s.frameHeight * p.scale;
        Checker(cr, p.x, p.y, w, h);
        cairo_save(cr);
        cairo_rectangle(cr, p.x, p.y, w, h);
        cairo_clip(cr);
        cairo_translate(cr, p.x, p.y);
        cairo_scale(cr, p.scale, p.scale);
        cairo_set_source_surface(cr, pic, -s.FrameX(p.frame), -s.FrameY(p.frame));
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        Label(cr, fonts.Text(), s.name + " " + std::to_string(p.frame), p.x, p.y + h + 12, 11,
              Rgb{1, 1, 0.7});
    }
    if (pic) cairo_surface_destroy(pic);
    cairo_destroy(cr);
    cairo_surface_write_to_png(out, path.c_str());
    cairo_surface_destroy(out);

    const std::filesystem::path dir = std::filesystem::path(path).parent_path() / "pictures";
    std::filesystem::create_directories(dir);
    for (const Sheet& s : sheets) {
        cairo_surface_t* one = SheetSurface(s);
        cairo_surface_write_to_png(one, (dir / (s.name + ".png")).c_str());
        cairo_surface_destroy(one);
    }
}

} // namespace pondlark::assetgen
