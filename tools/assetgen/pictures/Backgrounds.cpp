// Backgrounds and the pond's fixed furniture: the endless pond water, the evening shore of the
// eating stage, the menu backdrop, the goal stone and the floating logs.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

// Draws `shape` at y, y − 600 and y + 600 so that a picture tiled downwards joins seamlessly.
void Wrapped(cairo_t* cr, const std::function<void(cairo_t*)>& shape) {
    for (int k = -1; k <= 1; ++k) {
        cairo_save(cr);
        cairo_translate(cr, 0, k * kScreenH);
        shape(cr);
        cairo_restore(cr);
    }
}

// A wavy underwater weed: a few strands swaying from a root, with small leaves.
void Weed(cairo_t* cr, Rng& rng, double x, double y, double len, double alpha) {
    const int strands = 3 + static_cast<int>(rng.Uniform() * 3);
    for (int s = 0; s < strands; ++s) {
        const double dir = rng.Range(-0.5, 0.5);
        const double l = len * rng.Range(0.6, 1.0);
        cairo_move_to(cr, x, y);
        const double ex = x + std::sin(dir) * l, ey = y - std::cos(dir) * l;
        cairo_curve_to(cr, x + rng.Range(-25, 25), y - l * 0.33, ex + rng.Range(-25, 25),
                       y - l * 0.66, ex, ey);
        SetColour(cr, Hex(0x17483c), alpha);
        cairo_set_line_width(cr, rng.Range(4, 7));
        cairo_stroke(cr);
        for (int k = 1; k < 4; ++k) {
            const double t = k / 4.0;
            const double lx = x + (ex - x) * t, ly = y + (ey - y) * t;
            Ellipse(cr, lx + (k % 2 ? 7 : -7), ly, 8, 3.5);
            cairo_fill(cr);
        }
    }
}

Sheet Bg1() {
    return DrawSheet("bg1", kScreenW, kScreenH, 1, {}, [](cairo_t* cr, int) {
        // Across the pond the water deepens towards the right; nothing varies with y except
        // what is drawn wrapped, so the picture tiles downwards.
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, kScreenW, 0);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.29, 0.58, 0.52);
        cairo_pattern_add_color_stop_rgb(g, 0.18, 0.2, 0.5, 0.5);
        cairo_pattern_add_color_stop_rgb(g, 0.7, 0.16, 0.44, 0.47);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.13, 0.38, 0.44);
        cairo_set_source(cr, g);
        cairo_pattern_destroy(g);
        cairo_paint(cr);
        Rng rng(11);
        // Dark weeds below the surface.
        for (int i = 0; i < 9; ++i) {
            const double x = rng.Range(20, 780), y = rng.Range(0, kScreenH);
            const double len = rng.Range(60, 120);
            const uint64_t seed = static_cast<uint64_t>(i) + 100;
            Wrapped(cr, [&](cairo_t* c) {
                Rng local(seed);
                Weed(c, local, x, y, len, 0.55);
            });
        }
        // Soft patches of afternoon light.
        for (int i = 0; i < 14; ++i) {
            const double x = rng.Range(0, kScreenW), y = rng.Range(0, kScreenH);
            const double rx = rng.Range(50, 130), ry = rx * rng.Range(0.25, 0.4);
            Wrapped(cr, [&](cairo_t* c) {
                cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, rx);
                cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.93, 0.66, 0.22);
                cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.93, 0.66, 0);
                cairo_save(c);
                cairo_translate(c, x, y);
                cairo_scale(c, 1, ry / rx);
                cairo_translate(c, -x, -y);
                cairo_set_source(c, p);
                cairo_arc(c, x, y, rx, 0, 2 * M_PI);
                cairo_fill(c);
                cairo_restore(c);
                cairo_pattern_destroy(p);
            });
        }
        // Little surface glints: short light arcs.
        for (int i = 0; i < 60; ++i) {
            const double x = rng.Range(0, kScreenW), y = rng.Range(0, kScreenH);
            const double w = rng.Range(8, 22);
            const double a = rng.Range(0.25, 0.55);
            Wrapped(cr, [&](cairo_t* c) {
                cairo_move_to(c, x - w, y);
                cairo_curve_to(c, x - w / 2, y - 3, x + w / 2, y - 3, x + w, y);
                SetColour(c, pal::sunGlint, a);
                cairo_set_line_width(c, 2);
                cairo_stroke(c);
            });
        }
        // Floating specks of pollen.
        for (int i = 0; i < 40; ++i) {
            const double x = rng.Range(0, kScreenW), y = rng.Range(0, kScreenH);
            const double r = rng.Range(1, 2.2);
            Wrapped(cr, [&](cairo_t* c) {
                cairo_arc(c, x, y, r, 0, 2 * M_PI);
                SetColour(c, pal::cream, 0.5);
                cairo_fill(c);
            });
        }
    });
}

// The colours of a sky and the water under it: late afternoon for the menus, sunset for the
// feast on the shore.
struct SkyLook {
    Rgb top, middle, horizon;
    Rgb sun, halo;
    double sunRadius, sunDrop; // the sun's centre sits sunDrop above the horizon
    Rgb cloud;
    double cloudAlpha;
    Rgb farTrees, nearTrees;
    Rgb waterTop, waterMiddle, waterBottom;
    Rgb glint;
};

constexpr SkyLook kAfternoon{.top = Hex(0x5c99d6),
                             .middle = Hex(0x9ec2db),
                             .horizon = Hex(0xffd999),
                             .sun = Hex(0xfff2c0),
                             .halo = Hex(0xfff2b3),
                             .sunRadius = 26,
                             .sunDrop = 28,
                             .cloud = Hex(0xfff0e0),
                             .cloudAlpha = 0.5,
                             .farTrees = Hex(0x5d8a7c),
                             .nearTrees = Hex(0x2f5e4a),
                             .waterTop = Hex(0x8cb3b8),
                             .waterMiddle = Hex(0x458c99),
                             .waterBottom = Hex(0x296b7a),
                             .glint = pal::sunGlint};
// Half of the sun has gone down behind the far trees.
constexpr SkyLook kSunset{.top = Hex(0x3c4f8e),
                          .middle = Hex(0xc67a8a),
                          .horizon = Hex(0xffb052),
                          .sun = Hex(0xffe08a),
                          .halo = Hex(0xff9a3c),
                          .sunRadius = 32,
                          .sunDrop = 36,
                          .cloud = Hex(0xffb08a),
                          .cloudAlpha = 0.55,
                          .farTrees = Hex(0x6a5a6e),
                          .nearTrees = Hex(0x34404a),
                          .waterTop = Hex(0xd49a78),
                          .waterMiddle = Hex(0x5a7088),
                          .waterBottom = Hex(0x2c4a62),
                          .glint = Hex(0xffc870)};

void Sky(cairo_t* cr, double horizon, const SkyLook& look) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    cairo_pattern_add_color_stop_rgb(sky, 0, look.top.r, look.top.g, look.top.b);
    cairo_pattern_add_color_stop_rgb(sky, 0.55, look.middle.r, look.middle.g, look.middle.b);
    cairo_pattern_add_color_stop_rgb(sky, 1, look.horizon.r, look.horizon.g, look.horizon.b);
    cairo_set_source(cr, sky);
    cairo_pattern_destroy(sky);
    cairo_rectangle(cr, 0, 0, kScreenW, horizon + 2);
    cairo_fill(cr);
    // Low sun with a halo.
    const double sx = 610, sy = horizon - look.sunDrop;
    cairo_pattern_t* halo = cairo_pattern_create_radial(sx, sy, 10, sx, sy, 170);
    cairo_pattern_add_color_stop_rgba(halo, 0, look.halo.r, look.halo.g, look.halo.b, 0.85);
    cairo_pattern_add_color_stop_rgba(halo, 1, look.halo.r, look.halo.g, look.halo.b, 0);
    cairo_set_source(cr, halo);
    cairo_pattern_destroy(halo);
    cairo_rectangle(cr, 0, 0, kScreenW, horizon);
    cairo_fill(cr);
    cairo_arc(cr, sx, sy, look.sunRadius, 0, 2 * M_PI);
    SetColour(cr, look.sun);
    cairo_fill(cr);
    // Soft clouds, kept below the status line.
    Rng rng(5);
    for (int i = 0; i < 5; ++i) {
        const double cx = 60 + i * 170 + rng.Range(-30, 30);
        const double cy = std::max(58.0, horizon * rng.Range(0.25, 0.55));
        for (int k = 0; k < 4; ++k) {
            Ellipse(cr, cx + k * 22 - 33, cy - (k % 2) * 8, 26, 12);
            SetColour(cr, look.cloud, look.cloudAlpha);
            cairo_fill(cr);
        }
    }
    // Far trees: two bands of rounded crowns.
    for (int band = 0; band < 2; ++band) {
        const Rgb c = band == 0 ? look.farTrees : look.nearTrees;
        const double base = horizon + 2, top = horizon - (band == 0 ? 42 : 26);
        Rng t(20 + static_cast<uint64_t>(band));
        cairo_move_to(cr, 0, base);
        for (double x = 0; x <= kScreenW + 30; x += t.Range(22, 40)) {
            const double h = top + t.Range(-12, 10);
            cairo_line_to(cr, x - 12, h + 8);
            cairo_curve_to(cr, x - 10, h - 10, x + 10, h - 10, x + 12, h + 8);
        }
        cairo_line_to(cr, kScreenW, base);
        cairo_close_path(cr);
        SetColour(cr, c);
        cairo_fill(cr);
    }
}

// Open water below the horizon, mirroring the sky, with the sun's glitter path.
void Water(cairo_t* cr, double top, double bottom, const SkyLook& look) {
    cairo_pattern_t* w = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(w, 0, look.waterTop.r, look.waterTop.g, look.waterTop.b);
    cairo_pattern_add_color_stop_rgb(w, 0.35, look.waterMiddle.r, look.waterMiddle.g,
                                     look.waterMiddle.b);
    cairo_pattern_add_color_stop_rgb(w, 1, look.waterBottom.r, look.waterBottom.g,
                                     look.waterBottom.b);
    cairo_set_source(cr, w);
    cairo_pattern_destroy(w);
    cairo_rectangle(cr, 0, top, kScreenW, bottom - top);
    cairo_fill(cr);
    Rng rng(31);
    for (int i = 0; i < 70; ++i) {
        const double y = rng.Range(top + 4, bottom);
        const double spread = 20 + (y - top) * 0.35;
        const double x = 610 + rng.Range(-spread, spread);
        const double len = rng.Range(6, 22) * (0.6 + (y - top) / (bottom - top));
        cairo_move_to(cr, x - len, y);
        cairo_line_to(cr, x + len, y);
        SetColour(cr, look.glint, rng.Range(0.35, 0.8));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 40; ++i) {
        const double y = rng.Range(top + 6, bottom), x = rng.Range(0, kScreenW);
        const double len = rng.Range(10, 40);
        cairo_move_to(cr, x - len, y);
        cairo_line_to(cr, x + len, y);
        SetColour(cr, Mix(look.glint, Hex(0xd8f0e8), 0.6), 0.25);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
}

void EveningSky(cairo_t* cr, double horizon) {
    Sky(cr, horizon, kAfternoon);
}

void EveningWater(cairo_t* cr, double top, double bottom) {
    Water(cr, top, bottom, kAfternoon);
}

// A cattail clump: leaves and brown heads, outlined.
void Reeds(cairo_t* cr, Rng& rng, double x, double y, double height, int count) {
    for (int i = 0; i < count; ++i) {
        const double bx = x + rng.Range(-18, 18), lean = rng.Range(-25, 25);
        const double h = height * rng.Range(0.65, 1.0);
        cairo_move_to(cr, bx - 3, y);
        cairo_curve_to(cr, bx, y - h * 0.5, bx + lean * 0.5, y - h * 0.8, bx + lean, y - h);
        cairo_curve_to(cr, bx + lean * 0.5 + 3, y - h * 0.8, bx + 5, y - h * 0.5, bx + 4, y);
        cairo_close_path(cr);
        FillOutline(cr, i % 2 ? pal::leaf : pal::leafDark, 2);
        if (i % 2 == 0) {
            const double hx = bx + lean * 0.62, hy = y - h * 0.78;
            RoundedRect(cr, hx - 4.5, hy - 14, 9, 28, 4.5);
            FillOutline(cr, Hex(0x7a4522), 2, pal::inkBrown);
        }
    }
}

// Grass blades along a bank edge.
void GrassEdge(cairo_t* cr, Rng& rng, double y, double x0, double x1, Rgb colour) {
    for (double x = x0; x < x1; x += rng.Range(5, 9)) {
        const double h = rng.Range(8, 20), lean = rng.Range(-6, 6);
        cairo_move_to(cr, x - 3, y + 4);
        cairo_line_to(cr, x + lean, y - h);
        cairo_line_to(cr, x + 3, y + 4);
        cairo_close_path(cr);
        SetColour(cr, colour);
        cairo_fill(cr);
    }
}

// A long evening shadow on the bank, from a foot at (x, y) away from the low sun.
void LongShadow(cairo_t* cr, double x, double y, double halfWidth, double length, double lean) {
    cairo_move_to(cr, x - halfWidth, y);
    cairo_curve_to(cr, x - halfWidth + lean * 0.4, y + length * 0.4, x + lean - halfWidth * 1.8,
                   y + length, x + lean, y + length);
    cairo_curve_to(cr, x + lean + halfWidth * 1.2, y + length, x + halfWidth + lean * 0.4,
                   y + length * 0.4, x + halfWidth, y);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x1c3a22), 0.38);
    cairo_fill(cr);
}

Sheet Bg2() {
    return DrawSheet("bg2", kScreenW, kScreenH, 1, {}, [](cairo_t* cr, int) {
        // The shore at sunset: the sun sits on the far trees, the water takes its colours.
        Sky(cr, 205, kSunset);
        Water(cr, 205, 440, kSunset);
        // Two distant lily pads on the water, each with a long warm reflection.
        for (const auto& [x, y, r] :
             {std::tuple{200.0, 300.0, 26.0}, {520.0, 360.0, 34.0}, {380.0, 250.0, 18.0}}) {
            Ellipse(cr, x, y + r * 0.5, r * 0.9, r * 0.25);
            SetColour(cr, Hex(0x1c3040), 0.35);
            cairo_fill(cr);
            Ellipse(cr, x, y, r, r * 0.32);
            FillOutline(cr, Hex(0x5a8a3a), 2);
            Ellipse(cr, x + r * 0.3, y - r * 0.1, r * 0.45, r * 0.1);
            SetColour(cr, Hex(0xffb868), 0.7);
            cairo_fill(cr);
        }
        // The grassy bank the frog sits on, rising a little towards the sides.
        const auto bankPath = [cr] {
            cairo_move_to(cr, 0, 410);
            cairo_curve_to(cr, 200, 440, 600, 440, 800, 405);
            cairo_line_to(cr, 800, 600);
            cairo_line_to(cr, 0, 600);
            cairo_close_path(cr);
        };
        bankPath();
        cairo_pattern_t* bank = VerticalGradient(410, 600, Hex(0x8aae3e), Hex(0x2f5e2a));
        FillPatternOutline(cr, bank, 3);
        // The low sun warms the bank's far edge and leaves its near part in dusk.
        cairo_save(cr);
        bankPath();
        cairo_clip(cr);
        cairo_pattern_t* warm = cairo_pattern_create_radial(610, 400, 20, 610, 400, 420);
        cairo_pattern_add_color_stop_rgba(warm, 0, 1, 0.7, 0.3, 0.45);
        cairo_pattern_add_color_stop_rgba(warm, 1, 1, 0.6, 0.3, 0);
        cairo_set_source(cr, warm);
        cairo_pattern_destroy(warm);
        cairo_paint(cr);
        // Long shadows of the reeds and of the tufts, stretching towards the viewer and left.
        LongShadow(cr, 700, 436, 26, 170, -190);
        LongShadow(cr, 110, 440, 24, 160, -170);
        Rng tufts(12);
        for (int i = 0; i < 9; ++i) {
            const double x = tufts.Range(20, 780), y = tufts.Range(455, 560);
            if (x > 300 && x < 500 && y > 500) continue;
            LongShadow(cr, x, y, 5, 40, -45);
        }
        cairo_restore(cr);
        Rng rng(3);
        for (int i = 0; i < 140; ++i) {
            const double x = rng.Range(0, 800), y = rng.Range(450, 600);
            const double h = rng.Range(6, 14);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + rng.Range(-4, 4), y - h);
            SetColour(cr, rng.Uniform() < 0.5 ? Hex(0x2a5a22) : Hex(0xc8d264), 0.8);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        GrassEdge(cr, rng, 428, 0, 800, Hex(0x7a9e34));
        // Sunlit tips along the bank's crest.
        for (double x = 4; x < 800; x += rng.Range(9, 16)) {
            const double y = 428 - 14 * std::sin(x / 800 * M_PI) + rng.Range(-2, 3);
            cairo_move_to(cr, x, y + 2);
            cairo_line_to(cr, x + rng.Range(-3, 3), y - rng.Range(6, 13));
            SetColour(cr, Hex(0xffc060), 0.75);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
        }
        // Little flowers on the bank, closing for the night.
        for (int i = 0; i < 22; ++i) {
            const double x = rng.Range(20, 780), y = rng.Range(470, 590);
            if (x > 300 && x < 500 && y > 500) continue; // leave the frog's seat clear
            const Rgb petal =
                i % 3 == 0 ? Hex(0xfff0dc) : (i % 3 == 1 ? Hex(0xffc23a) : Hex(0xff8eb0));
            for (int p = 0; p < 5; ++p) {
                const double a = p * 2 * M_PI / 5;
                Ellipse(cr, x + std::cos(a) * 3.5, y + std::sin(a) * 3.5, 3.2, 3.2);
                SetColour(cr, petal);
                cairo_fill(cr);
            }
            cairo_arc(cr, x, y, 2.2, 0, 2 * M_PI);
            SetColour(cr, pal::orange);
            cairo_fill(cr);
        }
        Reeds(cr, rng, 110, 440, 150, 7);
        Reeds(cr, rng, 700, 436, 170, 8);
    });
}

// The pond at dusk behind every menu screen; each screen lays its own calm board over it.
void MenuBackdrop(cairo_t* cr) {
    {
        EveningSky(cr, 150);
        EveningWater(cr, 150, 600);
        Rng rng(8);
        // Foreground on the left: lily pads and reeds.
        for (const auto& [x, y, r] : {std::tuple{110.0, 470.0, 70.0},
                                      {40.0, 320.0, 45.0},
                                      {170.0, 250.0, 36.0},
                                      {210.0, 560.0, 50.0}}) {
            Ellipse(cr, x, y, r, r * 0.42);
            cairo_line_to(cr, x, y);
            cairo_pattern_t* p = BallGradient(x, y, r, pal::leafLight, pal::leafDark);
            FillPatternOutline(cr, p, 3);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + r * 0.9, y + r * 0.12);
            SetColour(cr, pal::ink);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
        }
        // A pink water lily flower on the big pad.
        for (int p = 0; p < 8; ++p) {
            const double a = p * 2 * M_PI / 8;
            cairo_save(cr);
            cairo_translate(cr, 95, 455);
            cairo_rotate(cr, a);
            Ellipse(cr, 0, -14, 7, 15);
            FillOutline(cr, p % 2 ? pal::pink : Hex(0xffc0d4), 2, pal::pinkDark);
            cairo_restore(cr);
        }
        cairo_arc(cr, 95, 455, 7, 0, 2 * M_PI);
        FillOutline(cr, pal::gold, 2, pal::goldDark);
        Reeds(cr, rng, 20, 600, 260, 8);
        Reeds(cr, rng, 760, 600, 130, 5);
    }
}

Sheet Menu() {
    return DrawSheet("menu", kScreenW, kScreenH, 1, {}, [](cairo_t* cr, int) { MenuBackdrop(cr); });
}

// A calm panel over the backdrop, `board` in screen pixels, as its own picture: the backdrop
// under it is painted in (the panel lets a little of it through), and only the panel's
// rounded shape and gold edge are opaque.
Sheet MenuBoard(const std::string& name, Box board) {
    constexpr double kEdge = 4; // room for the gold edge outside the panel
    const int w = static_cast<int>(board.w + 2 * kEdge), h = static_cast<int>(board.h + 2 * kEdge);
    return DrawSheet(name, w, h, 1, kOnMenu, [board](cairo_t* cr, int) {
        cairo_translate(cr, kEdge - board.x, kEdge - board.y);
        cairo_save(cr);
        RoundedRect(cr, board.x - 3, board.y - 3, board.w + 6, board.h + 6, 31);
        cairo_clip(cr);
        MenuBackdrop(cr);
        cairo_restore(cr);
        RoundedRect(cr, board.x, board.y, board.w, board.h, 28);
        SetColour(cr, pal::menuCalm, 0.82);
        cairo_fill_preserve(cr);
        GoldEdge(cr, 6);
        RoundedRect(cr, board.x + 8, board.y + 8, board.w - 16, board.h - 16, 22);
        SetColour(cr, Hex(0xd9a84a), 0.35);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
}

Sheet Stone() {
    return DrawSheet("stone", 230, 165, 1, {pal::stoneDark, 0.5}, [](cairo_t* cr, int) {
        // Foam where the water laps at the stone's foot; it also carries the stone's solid
        // footing out to the right, where the frog of the first column lands.
        RoundedRect(cr, -12, 136, 240, 27.5, 13);
        FillOutline(cr, Hex(0xc8ece4), 3, pal::waterDeep);
        // Side face, then the flat top.
        cairo_move_to(cr, -10, 60);
        cairo_curve_to(cr, -10, 150, 60, 156, 120, 156);
        cairo_curve_to(cr, 190, 156, 226, 150, 226, 110);
        cairo_line_to(cr, 226, 80);
        cairo_line_to(cr, -10, 60);
        cairo_close_path(cr);
        FillPatternOutline(cr, VerticalGradient(70, 156, Hex(0x8a8678), Hex(0x55524a)), 4,
                           pal::inkBrown);
        cairo_move_to(cr, -10, 30);
        cairo_curve_to(cr, 60, 6, 200, 14, 224, 60);
        cairo_curve_to(cr, 234, 96, 200, 122, 120, 124);
        cairo_curve_to(cr, 50, 124, -10, 112, -10, 90);
        cairo_close_path(cr);
        FillPatternOutline(cr, BallGradient(100, 70, 130, Hex(0xe0dccb), Hex(0x9a9586)), 4,
                           pal::inkBrown);
        // Moss patches and speckles.
        Rng rng(4);
        for (const auto& [x, y, r] : {std::tuple{30.0, 50.0, 26.0},
                                      {80.0, 34.0, 18.0},
                                      {150.0, 100.0, 20.0},
                                      {10.0, 100.0, 22.0},
                                      {200.0, 70.0, 10.0}}) {
            cairo_new_path(cr);
            for (int k = 0; k < 7; ++k) {
                const double a = k * 2 * M_PI / 7;
                cairo_arc(cr, x + std::cos(a) * r * 0.55, y + std::sin(a) * r * 0.3, r * 0.42, 0,
                          2 * M_PI);
                cairo_close_path(cr);
            }
            SetColour(cr, Hex(0x6aa83a));
            cairo_fill(cr);
            Ellipse(cr, x - r * 0.2, y - r * 0.12, r * 0.4, r * 0.15);
            SetColour(cr, Hex(0xaedc62));
            cairo_fill(cr);
        }
        for (int i = 0; i < 30; ++i) {
            cairo_arc(cr, rng.Range(10, 210), rng.Range(30, 115), rng.Range(1, 2.5), 0, 2 * M_PI);
            SetColour(cr, Hex(0x6f6b60), 0.6);
            cairo_fill(cr);
        }
        // A sunny rim on the upper edge.
        cairo_move_to(cr, 10, 26);
        cairo_curve_to(cr, 70, 10, 180, 18, 214, 52);
        SetColour(cr, pal::white, 0.7);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        // Bank grass at the left edge.
        Reeds(cr, rng, 6, 150, 70, 4);
    });
}

Sheet Log(const std::string& name, int w, int h, uint64_t seed) {
    return DrawSheet(name, w, h, 1, kInked, [=](cairo_t* cr, int) {
        const double r = h * 0.36;
        // Water shadow under the log.
        Ellipse(cr, w / 2.0, h * 0.62, w * 0.47, h * 0.33);
        SetColour(cr, Hex(0x174a4a), 0.55);
        cairo_fill(cr);
        RoundedRect(cr, 4, h / 2.0 - r - 2, w - 14, 2 * r, r);
        FillPatternOutline(
            cr, VerticalGradient(h / 2.0 - r, h / 2.0 + r, pal::woodLight, pal::woodDark), 3,
            pal::inkBrown);
        Rng rng(seed);
        for (int i = 0; i < 6; ++i) {
            const double x = rng.Range(16, w - 36), y = h / 2.0 + rng.Range(-r * 0.5, r * 0.5);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + rng.Range(12, 24), y + rng.Range(-1.5, 1.5));
            SetColour(cr, pal::woodDark);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        // The cut end with its rings.
        Ellipse(cr, w - 12, h / 2.0 - 2, r * 0.55, r);
        FillOutline(cr, Hex(0xe8c28a), 3, pal::inkBrown);
        Ellipse(cr, w - 12, h / 2.0 - 2, r * 0.3, r * 0.55);
        SetColour(cr, Hex(0xb07a40));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        // A moss cap and a sprig.
        Ellipse(cr, w * 0.38, h / 2.0 - r + 2, w * 0.12, 4);
        FillOutline(cr, pal::leaf, 2);
        cairo_move_to(cr, w * 0.62, h / 2.0 - r);
        cairo_line_to(cr, w * 0.66, h / 2.0 - r - 6);
        SetColour(cr, pal::inkBrown);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        Ellipse(cr, w * 0.66 + 5, h / 2.0 - r - 7, 5, 3);
        FillOutline(cr, pal::leafLight, 1.5);
    });
}

} // namespace

void AddBackgroundPictures(std::vector<Sheet>& out) {
    out.push_back(Bg1());
    // Never seen: the scroll timer's own picture, drawn under the pond.
    out.push_back(DrawSheet("sample", 8, 8, 1, {}, [](cairo_t* cr, int) {
        SetColour(cr, pal::water);
        cairo_paint(cr);
    }));
    out.push_back(Stone());
    out.push_back(Log("brevno1", 150, 40, 1));
    out.push_back(Log("brevno2", 120, 36, 2));
    out.push_back(Bg2());
    out.push_back(Menu());
    // Centred on the main menu's items (x 330-765); wide for the help pages and the options;
    // from the high-score table's header (y 180) down. The game places each 4 px up and left.
    out.push_back(MenuBoard("Board_Main", {300, 126, 496, 470}));
    out.push_back(MenuBoard("Board_Wide", {192, 118, 602, 478}));
    out.push_back(MenuBoard("Board_Table", {192, 166, 602, 430}));
}

} // namespace pondlark::assetgen
