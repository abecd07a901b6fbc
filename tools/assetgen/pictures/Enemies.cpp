// The frog's enemies: the crocodile's eyes and jaws in the pond, the stork in the eating stage.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr Rgb kCroc = Hex(0x5f9a3a), kCrocLight = Hex(0xa9d060), kCrocDark = Hex(0x2f5e22);
constexpr EdgeStyle kOnWater{Hex(0x1d4f4c), 0.5};

void Foam(cairo_t* cr, double cx, double cy, double rx, double ry) {
    Ellipse(cr, cx, cy, rx, ry);
    FillOutline(cr, Hex(0xcdeee6), 2.5, Hex(0x1d4f4c));
    Ellipse(cr, cx, cy + ry * 0.1, rx * 0.75, ry * 0.5);
    SetColour(cr, pal::waterLight);
    cairo_fill(cr);
}

// The crocodile's eyes rising out of the water: bubbles, a bump, closed, half open, open, wide.
Sheet CrocEyes() {
    return DrawSheet("kroco_yes", 60, 30, 6, kOnWater, [](cairo_t* cr, int f) {
        if (f == 0) {
            for (const auto& [x, y, r] : {std::tuple{20.0, 20.0, 4.0},
                                          {32.0, 16.0, 3.0},
                                          {41.0, 22.0, 3.5},
                                          {27.0, 25.0, 2.0}}) {
                cairo_arc(cr, x, y, r, 0, 2 * M_PI);
                FillOutline(cr, Hex(0xd8f4ee), 1.5, Hex(0x1d4f4c));
            }
            return;
        }
        const double rise = f == 1 ? 0.45 : 1.0;
        const double open = f <= 2 ? 0 : (f == 3 ? 0.35 : (f == 4 ? 0.75 : 1.0));
        Foam(cr, 30, 24, 28, 5);
        for (int side = -1; side <= 1; side += 2) {
            const double ex = 30 + side * 12, ey = 24 - 8 * rise;
            cairo_arc(cr, ex, ey, 10, M_PI, 2 * M_PI);
            cairo_line_to(cr, ex + 10, 24);
            cairo_line_to(cr, ex - 10, 24);
            cairo_close_path(cr);
            FillPatternOutline(cr, BallGradient(ex, ey, 10, kCrocLight, kCroc), 2.5, pal::ink);
            if (f == 1) continue;
            const double r = 5 + 1.5 * (f == 5);
            if (open > 0) {
                Ellipse(cr, ex, ey - 1, r, r * open);
                FillOutline(cr, Hex(0xffe040), 1.5, pal::ink);
                Ellipse(cr, ex, ey - 1, 1.4, r * open * 0.9);
                SetColour(cr, Hex(0x101010));
                cairo_fill(cr);
            }
            // The lid: a curved line when shut, a heavy brow when open.
            cairo_move_to(cr, ex - r - 1, ey - 1 - r * open);
            cairo_curve_to(cr, ex - r / 2, ey - 3 - r * open - 1, ex + r / 2, ey - 3 - r * open - 1,
                           ex + r + 1, ey - 1 - r * open);
            SetColour(cr, pal::ink);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    });
}

// A jaw pointing up from the hinge, turned by `angle` (radians, positive to the right).
void Jaw(cairo_t* cr, double hx, double hy, double angle, double len, bool upper) {
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_rotate(cr, angle);
    const double w = upper ? 30 : 26;
    cairo_move_to(cr, -w, 10);
    cairo_curve_to(cr, -w, -len * 0.5, -w * 0.7, -len, 0, -len);
    cairo_curve_to(cr, w * 0.7, -len, w, -len * 0.5, w, 10);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(-w, 0, w, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, kCrocLight.r, kCrocLight.g, kCrocLight.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kCroc.r, kCroc.g, kCroc.b);
    FillPatternOutline(cr, g, 4);
    // Scales along the back, nostrils at the tip, eyes at the base of the upper jaw.
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, 0, -20 - i * len * 0.15, 5, 0, 2 * M_PI);
        SetColour(cr, kCrocDark, 0.7);
        cairo_fill(cr);
    }
    if (upper) {
        for (int side = -1; side <= 1; side += 2) {
            cairo_arc(cr, side * 7, -len + 12, 3, 0, 2 * M_PI);
            SetColour(cr, pal::ink);
            cairo_fill(cr);
        }
        for (int side = -1; side <= 1; side += 2) {
            cairo_arc(cr, side * 16, -18, 10, 0, 2 * M_PI);
            FillOutline(cr, Hex(0xffe040), 3);
            Ellipse(cr, side * 16, -18, 2.5, 7);
            SetColour(cr, Hex(0x101010));
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

// Teeth along one inner edge of a jaw.
void Teeth(cairo_t* cr, double hx, double hy, double angle, double len, double side) {
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_rotate(cr, angle);
    for (int i = 0; i < 6; ++i) {
        const double y = -24 - i * (len - 40) / 6;
        const double x = side * (i < 5 ? 24 : 18);
        cairo_move_to(cr, x, y - 6);
        cairo_line_to(cr, x + side * 10, y);
        cairo_line_to(cr, x, y + 6);
        cairo_close_path(cr);
        FillOutline(cr, pal::white, 2);
    }
    cairo_restore(cr);
}

Sheet Crocodile() {
    // Per frame: how far the head is out of the water and how wide the jaws are open.
    static constexpr double kRise[8] = {0.35, 0.7, 1, 1, 1, 1, 0.95, 0.8};
    static constexpr double kOpen[8] = {0, 0.15, 0.45, 0.8, 0.95, 0.4, 0, 0};
    return DrawSheet("kroko", 300, 180, 8, kOnWater, [](cairo_t* cr, int f) {
        const double hx = 150, hy = 162, len = 150 * kRise[f];
        const double open = kOpen[f];
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, 300, hy + 4);
        cairo_clip(cr);
        if (open > 0.05) {
            // The mouth between the jaws.
            cairo_move_to(cr, hx, hy);
            cairo_line_to(cr, hx + std::sin(-open) * len * 0.95, hy - std::cos(open) * len * 0.95);
            cairo_line_to(cr, hx + std::sin(open) * len * 0.95, hy - std::cos(open) * len * 0.95);
            cairo_close_path(cr);
            FillOutline(cr, Hex(0xc8343a), 3);
            Ellipse(cr, hx, hy - len * 0.35, len * 0.18 * open, len * 0.2);
            SetColour(cr, Hex(0xff8a8a));
            cairo_fill(cr);
            Teeth(cr, hx, hy, -open, len, 1);
            Teeth(cr, hx, hy, open, len, -1);
        }
        Jaw(cr, hx, hy, -open, len * 0.92, false);
        Jaw(cr, hx, hy, open, len, true);
        cairo_restore(cr);
        Foam(cr, hx, hy + 4, 80 + 30 * (f == 6), 12);
        if (f == 0 || f >= 5) {
            // Splash: drops thrown out as the jaws break the surface or snap.
            Rng rng(static_cast<uint64_t>(f) + 40);
            const int drops = f == 6 ? 16 : 9;
            for (int i = 0; i < drops; ++i) {
                const double a = rng.Range(-1.3, 1.3), d = rng.Range(40, f == 6 ? 130 : 90);
                const double x = hx + std::sin(a) * d * 1.2, y = hy - std::cos(a) * d * 0.9;
                Ellipse(cr, x, y, 5, 7);
                FillOutline(cr, Hex(0xd8f4ee), 2, Hex(0x1d4f4c));
            }
        }
    });
}

// One long stork leg coming down from the bird's body to a foot on the ground.
Sheet StorkLeg() {
    return DrawSheet("aist_leng", 60, 600, 1, {pal::inkBrown, 0.5}, [](cairo_t* cr, int) {
        const Rgb leg = Hex(0xe8602c);
        // Feathered thigh at the top.
        cairo_move_to(cr, 6, 0);
        cairo_curve_to(cr, 4, 40, 20, 70, 30, 80);
        cairo_curve_to(cr, 40, 70, 56, 40, 54, 0);
        cairo_close_path(cr);
        FillOutline(cr, pal::white, 3, pal::inkBrown);
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, 12 + i * 10, 40 + (i % 2) * 8);
            cairo_line_to(cr, 16 + i * 10, 62);
            SetColour(cr, Hex(0xb8c4c8));
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, 30, 76);
            cairo_line_to(cr, 28, 360);
            cairo_line_to(cr, 33, 376);
            cairo_line_to(cr, 30, 578);
            SetColour(cr, pass == 0 ? pal::inkBrown : leg);
            cairo_set_line_width(cr, pass == 0 ? 12 : 6.5);
            cairo_stroke(cr);
        }
        Ellipse(cr, 30.5, 368, 8, 10); // the knee
        FillOutline(cr, leg, 3, pal::inkBrown);
        // Toes spread on the ground.
        for (const auto& [tx, ty] : {std::pair{4.0, 597.0}, {56.0, 597.0}, {30.0, 598.0}}) {
            for (int pass = 0; pass < 2; ++pass) {
                cairo_move_to(cr, 30, 578);
                cairo_line_to(cr, tx, ty - 2);
                SetColour(cr, pass == 0 ? pal::inkBrown : leg);
                cairo_set_line_width(cr, pass == 0 ? 9 : 4);
                cairo_stroke(cr);
            }
        }
    });
}

// The stork's neck and head striking down; the beak tip touches the bottom of the frame.
Sheet Stork() {
    constexpr int kW = 150, kH = 540;
    return DrawSheet("aist", kW, kH, 4, {pal::inkBrown, 0.5}, [](cairo_t* cr, int f) {
        const double sway = (f % 2 ? 6 : -6);
        const double gape = f == 1 ? 0.12 : (f == 2 ? 0.25 : 0.0);
        // Wing tips flapping at the top of the frame.
        for (int side = -1; side <= 1; side += 2) {
            const double lift = (f == 1 || f == 2) ? -14 : 8;
            for (int k = 0; k < 4; ++k) {
                cairo_save(cr);
                cairo_translate(cr, 75 + side * (28 + k * 10), 0);
                cairo_rotate(cr, side * (0.3 + k * 0.12) + lift * 0.01 * side);
                Ellipse(cr, 0, 30 + lift * 0.5, 9, 38);
                cairo_restore(cr);
                FillOutline(cr, k < 2 ? pal::white : Hex(0x202428), 3, pal::inkBrown);
            }
        }
        // The long neck: a thick white S-curve.
        const double headX = 75 + sway, headY = 410;
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, 75, 0);
            cairo_curve_to(cr, 75 - 45 - sway, 150, 75 + 50 + sway, 270, headX, headY);
            SetColour(cr, pass == 0 ? pal::inkBrown : pal::white);
            cairo_set_line_width(cr, pass == 0 ? 30 : 23);
            cairo_stroke(cr);
        }
        // Neck shading and a few feather lines.
        cairo_move_to(cr, 82, 20);
        cairo_curve_to(cr, 82 - 45 - sway, 160, 82 + 45 + sway, 270, headX + 6, headY - 10);
        SetColour(cr, Hex(0xc8d4d8));
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
        // Head.
        Ellipse(cr, headX, headY, 21, 27);
        FillPatternOutline(cr, BallGradient(headX, headY, 26, pal::white, Hex(0xc8d4d8)), 3.5,
                           pal::inkBrown);
        // Beak: two long blades from the face to the bottom of the frame.
        const double by = headY + 14, tip = kH - 1;
        for (int blade = 0; blade < 2; ++blade) {
            const double a = blade == 0 ? -gape : gape;
            cairo_save(cr);
            cairo_translate(cr, headX, by);
            cairo_rotate(cr, a);
            const double l = (tip - by) / std::cos(a) + 2;
            cairo_move_to(cr, -9, 0);
            cairo_line_to(cr, 9, 0);
            cairo_line_to(cr, blade == 0 ? 2 : 3, l);
            cairo_line_to(cr, blade == 0 ? -3 : -2, l);
            cairo_close_path(cr);
            cairo_restore(cr);
            FillPatternOutline(cr, VerticalGradient(by, tip, Hex(0xff8a3a), Hex(0xd8401e)), 3,
                               pal::inkBrown);
        }
        // Black eye patch and a stern eye.
        Ellipse(cr, headX - 2, headY - 4, 12, 8);
        SetColour(cr, Hex(0x202428));
        cairo_fill(cr);
        cairo_arc(cr, headX - 2, headY - 4, 4.5, 0, 2 * M_PI);
        FillOutline(cr, Hex(0xffe040), 1.5, pal::inkBrown);
        cairo_arc(cr, headX - 2, headY - 3, 2, 0, 2 * M_PI);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_move_to(cr, headX - 14, headY - 15);
        cairo_line_to(cr, headX + 8, headY - 9);
        SetColour(cr, pal::inkBrown);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    });
}

} // namespace

void AddEnemyPictures(std::vector<Sheet>& out) {
    out.push_back(CrocEyes());
    out.push_back(Crocodile());
    out.push_back(StorkLeg());
    out.push_back(Stork());
}

} // namespace pondlark::assetgen
