#include "tools/assetgen/pictures/Icon.h"

#include "tools/assetgen/pictures/Kit.h"

#include <cairo-svg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace pondlark::assetgen {

namespace {

// The face on a 128-unit canvas: a wide head, two eyes bulging over its top, a long smile and
// pink cheeks. Thick outlines keep it readable when a menu shrinks it to 32 pixels.
void DrawFace(cairo_t* cr) {
    const double cx = 64;
    const auto head = [&] {
        Ellipse(cr, cx, 78, 56, 40);
        for (int side = -1; side <= 1; side += 2)
            Ellipse(cr, cx + side * 30, 40, 22, 22);
    };
    head();
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, 9);
    cairo_stroke(cr);
    head();
    cairo_pattern_t* skin = BallGradient(cx, 58, 80, pal::frogLight, pal::frog);
    cairo_set_source(cr, skin);
    cairo_pattern_destroy(skin);
    cairo_fill(cr);
    // A pale chin under the smile.
    cairo_save(cr);
    Ellipse(cr, cx, 100, 36, 15);
    SetColour(cr, pal::frogBelly, 0.85);
    cairo_fill(cr);
    cairo_restore(cr);
    // Eyes: white balls, big dark pupils looking at the player, a glint each.
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * 30, ey = 40;
        cairo_arc(cr, ex, ey, 14, 0, 2 * M_PI);
        FillOutline(cr, pal::white, 3);
        cairo_new_path(cr);
        cairo_arc(cr, ex + side * 2, ey + 2, 8, 0, 2 * M_PI);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_arc(cr, ex + side * 2 - 3, ey - 2, 3, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    }
    // Cheeks.
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(cr, cx + side * 36, 82, 9, 6);
        SetColour(cr, pal::pink, 0.7);
        cairo_fill(cr);
    }
    // Nostrils.
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, cx + side * 7, 66, 2.5, 0, 2 * M_PI);
        SetColour(cr, pal::ink);
        cairo_fill(cr);
    }
    // The smile.
    cairo_move_to(cr, cx - 34, 80);
    cairo_curve_to(cr, cx - 18, 98, cx + 18, 98, cx + 34, 80);
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, 4.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// The face drawn at `size` × `size` pixels; the caller destroys the surface.
cairo_surface_t* DrawIcon(int size) {
    if (size <= 0) throw std::runtime_error("the icon needs a size above zero");
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size / 128.0, size / 128.0);
    DrawFace(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

} // namespace

void WriteIconSvg(const std::string& path) {
    // Pixels on the same 128-unit canvas, so a desktop scales it like the PNG sizes.
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), 128, 128);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    DrawFace(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write the icon " + path + ": " +
                                 cairo_status_to_string(status));
}

void WriteIcon(const std::string& path, int size) {
    cairo_surface_t* surface = DrawIcon(size);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write the icon " + path + ": " +
                                 cairo_status_to_string(status));
}

std::vector<uint32_t> IconPixels(int size) {
    cairo_surface_t* surface = DrawIcon(size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint32_t p;
            std::memcpy(&p, data + static_cast<size_t>(y) * stride + x * 4, 4);
            // Cairo keeps colours multiplied by their alpha; window icons want them straight.
            const uint32_t a = p >> 24;
            uint32_t out = a << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t c = (p >> shift) & 0xff;
                out |= (a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a)) << shift;
            }
            pixels[static_cast<size_t>(y) * size + x] = out;
        }
    }
    cairo_surface_destroy(surface);
    return pixels;
}

void WriteIconSource(const std::string& path, int size) {
    const std::vector<uint32_t> pixels = IconPixels(size);
    std::ofstream out(path);
    out << "// Drawn by pondlark-assetgen --icon-source; do not edit.\n"
           "#include \"app/WindowIcon.h\"\n\n"
           "namespace pondlark {\n\n"
           "const uint32_t kWindowIcon["
        << size << " * " << size << "] = {\n";
    char word[16];
    for (size_t i = 0; i < pixels.size(); ++i) {
        std::snprintf(word, sizeof word, "0x%08x,", pixels[i]);
        out << (i % 8 == 0 ? "    " : " ") << word << (i % 8 == 7 ? "\n" : "");
    }
    out << "};\n\n} // namespace pondlark\n";
    out.close();
    if (!out) throw std::runtime_error("cannot write the icon source " + path);
}

} // namespace pondlark::assetgen
