// The frog's enemies: the crocodile's eyes and jaws in the pond, the stork in the eating stage.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr Rgb kCroc = Hex(0x5f9a3a), kCrocLight = Hex(0xa9d060), kCrocDark = Hex(0x2f5e22);
constexpr Rgb kBelly = Hex(0xf4e6a8), kRingInk = Hex(0x1d4f4c);

// Ripple rings on the water around (cx, cy): thin light lines, the outer one broken.
void Ripples(cairo_t* cr, double cx, double cy, double rx, double ry) {
    for (int k = 0; k < 2; ++k) {
        const double grow = 1 + 0.35 * k;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx * grow, ry * grow);
        cairo_new_sub_path(cr);
        if (k == 0)
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        else
            cairo_arc(cr, 0, 0, 1, 0.25, M_PI - 0.25);
        cairo_restore(cr);
        SetColour(cr, kRingInk);
        cairo_set_line_width(cr, 4);
        cairo_stroke_preserve(cr);
        SetColour(cr, Hex(0xbfeee2));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

// The crocodile's eyes rising out of the water: bubbles, a bump, closed, half open, open, wide.
Sheet CrocEyes() {
    return DrawSheet("kroco_yes", 60, 30, 6, kOnWater, [](cairo_t* cr, int f) {
        if (f == 0) {
            Ripples(cr, 30, 23, 16, 3.5);
            for (const auto& [x, y, r] : {std::tuple{22.0, 19.0, 4.0},
                                          {33.0, 15.0, 3.0},
                                          {40.0, 21.0, 3.5},
                                          {28.0, 23.0, 2.0}}) {
                cairo_arc(cr, x, y, r, 0, 2 * M_PI);
                FillOutline(cr, Hex(0xd8f4ee), 1.5, kRingInk);
                cairo_arc(cr, x - r * 0.35, y - r * 0.35, r * 0.3, 0, 2 * M_PI);
                SetColour(cr, pal::white);
                cairo_fill(cr);
            }
            return;
        }
        constexpr double kWater = 24;
        const bool wide = f == 5;
        const double open = f <= 2 ? 0 : (f == 3 ? 0.45 : 1.0);
        Ripples(cr, 30, kWater, 25, 4);
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, 60, kWater);
        cairo_clip(cr);
        // The head's ridge between the eyes.
        Ellipse(cr, 30, kWater + 1, f == 1 ? 18 : 22, f == 1 ? 11 : 8);
        FillPatternOutline(cr, BallGradient(30, kWater - 4, 22, kCrocLight, kCroc), 2.5);
        if (f > 1)
            for (int side = -1; side <= 1; side += 2) {
                const double r = wide ? 10 : 9;
                const double ex = 30 + side * 11, ey = kWater - 8 - (wide ? 1.5 : 0);
                cairo_arc(cr, ex, ey, r, 0, 2 * M_PI);
                FillPatternOutline(cr, BallGradient(ex, ey, r, kCrocLight, kCroc), 2.5);
                // The eyeball: white, golden iris, slit pupil looking down at the frog.
                const double er = r - 3;
                cairo_arc(cr, ex, ey + 1, er, 0, 2 * M_PI);
                FillOutline(cr, pal::white, 1.5);
                cairo_save(cr);
                cairo_arc(cr, ex, ey + 1, er - 0.8, 0, 2 * M_PI);
                cairo_clip(cr);
                cairo_arc(cr, ex - side * 0.5, ey + 2, er * (wide ? 0.8 : 0.7), 0, 2 * M_PI);
                SetColour(cr, Hex(0xffc61a));
                cairo_fill(cr);
                Ellipse(cr, ex - side * 0.5, ey + 2, wide ? 1.2 : 1.5, er * 0.65);
                SetColour(cr, Hex(0x101010));
                cairo_fill(cr);
                cairo_arc(cr, ex - 2, ey - 1, 1.3, 0, 2 * M_PI);
                SetColour(cr, pal::white);
                cairo_fill(cr);
                cairo_restore(cr);
                // The lid comes down from the top; shut, it hides the whole eyeball.
                const double lid = ey + 1 - er + (1 - open) * 2 * er;
                cairo_save(cr);
                cairo_arc(cr, ex, ey + 1, er + 1.2, 0, 2 * M_PI);
                cairo_clip(cr);
                cairo_rectangle(cr, ex - er - 2, ey - er - 2, 2 * er + 4, lid - (ey - er - 2));
                SetColour(cr, Mix(kCroc, kCrocLight, 0.3));
                cairo_fill(cr);
                cairo_restore(cr);
                if (open > 0) {
                    cairo_move_to(cr, ex - er - 1, lid);
                    cairo_line_to(cr, ex + er + 1, lid);
                } else {
                    // A shut eye: a sleepy curve.
                    cairo_move_to(cr, ex - er + 0.5, ey);
                    cairo_curve_to(cr, ex - 2, ey + 4, ex + 2, ey + 4, ex + er - 0.5, ey);
                }
                SetColour(cr, pal::ink);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
        cairo_restore(cr);
        // The waterline across the head.
        cairo_move_to(cr, 6, kWater);
        cairo_line_to(cr, 54, kWater);
        SetColour(cr, kRingInk);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        cairo_move_to(cr, 10, kWater - 0.5);
        cairo_line_to(cr, 50, kWater - 0.5);
        SetColour(cr, Hex(0xbfeee2));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
}

// Teeth along the inner edge of a jaw drawn in its own frame (hinge at 0, pointing up -y); the
// inner edge runs along x = edge, teeth point toward x = edge + side * size.
void JawTeeth(cairo_t* cr, double edge, double side, double from, double to, int count,
              double size) {
    for (int i = 0; i < count; ++i) {
        const double y = from + (to - from) * (i + 0.5) / count;
        const double s = size * (i == count - 2 ? 1.35 : 1.0); // one longer fang near the tip
        cairo_move_to(cr, edge - side * 2, y - s * 0.55);
        cairo_line_to(cr, edge + side * s, y + s * 0.1);
        cairo_line_to(cr, edge - side * 2, y + s * 0.55);
        cairo_close_path(cr);
        FillOutline(cr, pal::white, 2);
    }
}

// Bumpy armour plates along the back of a jaw: small dark-rimmed domes on its outer edge.
void Scutes(cairo_t* cr, double x, double from, double to, int count, double r) {
    for (int i = 0; i < count; ++i) {
        const double y = from + (to - from) * i / (count - 1);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        FillOutline(cr, kCroc, 2.5);
    }
}

// An eye on its turret: white ball, golden iris (shifted by `look` towards the mouth), slit
// pupil and a heavy lid that comes lower as the eye narrows.
void CrocEye(cairo_t* cr, double ex, double ey, double r, double eyeOpen, double look) {
    cairo_arc(cr, ex, ey, r, 0, 2 * M_PI);
    FillOutline(cr, pal::white, 3);
    if (eyeOpen > 0) {
        cairo_save(cr);
        cairo_arc(cr, ex, ey, r - 1.5, 0, 2 * M_PI);
        cairo_clip(cr);
        const double ir = r * 0.64;
        cairo_arc(cr, ex + look, ey, ir, 0, 2 * M_PI);
        FillOutline(cr, Hex(0xffd21f), 1.5);
        Ellipse(cr, ex + look + 0.5, ey, ir * 0.31, ir * 0.86);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_arc(cr, ex + look - 3, ey - ir * 0.57, ir * 0.31, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    const double lid = ey - r + (1 - eyeOpen) * r * 1.1;
    cairo_save(cr);
    cairo_arc(cr, ex, ey, r, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_rectangle(cr, ex - r - 2, ey - r - 2, 2 * r + 4, lid - (ey - r) + 2);
    SetColour(cr, kCrocDark);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_move_to(cr, ex - r - 2, lid - 3);
    cairo_line_to(cr, ex + r + 2, lid + 2);
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, r * 0.36);
    cairo_stroke(cr);
}

// The upper jaw and head, drawn pointing up from the hinge at the origin: the eye ridges on its
// back (left), the nostrils on the bulbous tip, the mouth edge on the right at x 4.
void UpperJaw(cairo_t* cr, double len, double eyeOpen) {
    // Back plates first: the head's outline covers their inner half.
    Scutes(cr, -24, -58, -len + 26, 4, 6);
    // The far eye on its turret, peeking over the back of the head.
    cairo_arc(cr, -47, -45, 11.5, 0, 2 * M_PI);
    FillPatternOutline(cr, BallGradient(-47, -45, 11.5, kCrocLight, kCroc), 4);
    CrocEye(cr, -50, -46, 8.5, eyeOpen, -1.5);
    cairo_move_to(cr, 4, 14);
    cairo_line_to(cr, 4, -len + 16);
    cairo_curve_to(cr, 4, -len + 2, -4, -len - 6, -14, -len - 4); // nostril bulb
    cairo_curve_to(cr, -26, -len - 2, -30, -len + 8, -25, -len + 20);
    cairo_curve_to(cr, -22, -len * 0.6, -26, -70, -32, -56); // the snout's back
    cairo_curve_to(cr, -46, -50, -50, -22, -40, -6);         // the eye ridge
    cairo_curve_to(cr, -40, 6, -30, 14, -20, 16);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(-44, 0, 6, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, kCrocLight.r, kCrocLight.g, kCrocLight.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kCroc.r, kCroc.g, kCroc.b);
    FillPatternOutline(cr, g, 4.5);
    // Speckles and a nostril.
    for (const auto& [x, y, r] : {std::tuple{-10.0, -0.45, 3.5},
                                  {-6.0, -0.62, 2.5},
                                  {-12.0, -0.32, 2.5},
                                  {-4.0, -0.5, 2.0}}) {
        cairo_arc(cr, x, y * len, r, 0, 2 * M_PI);
        SetColour(cr, kCrocDark, 0.55);
        cairo_fill(cr);
    }
    Ellipse(cr, -12, -len + 2, 5, 3.5);
    FillOutline(cr, kCrocLight, 2);
    Ellipse(cr, -12, -len + 2.5, 2.2, 1.6);
    SetColour(cr, pal::ink);
    cairo_fill(cr);
    CrocEye(cr, -31, -30, 11, eyeOpen, 2);
}

// The lower jaw pointing up from the hinge: the mouth edge on the left at x −4, a knobbly chin at
// the tip, a narrow middle and a full, pale throat swelling out on the right near the hinge.
void LowerJaw(cairo_t* cr, double len) {
    const auto outline = [&] {
        cairo_move_to(cr, -4, 14);
        cairo_line_to(cr, -4, -len + 16);
        cairo_curve_to(cr, -4, -len + 4, 4, -len - 3, 12, -len + 1);    // the rounded tip
        cairo_curve_to(cr, 19, -len + 5, 19, -len + 16, 14, -len + 24); // the chin knob
        cairo_curve_to(cr, 11, -len * 0.5, 24, -36, 31, -16);           // narrow, then the jowl
        cairo_curve_to(cr, 35, -6, 34, 8, 30, 14);                      // the round throat
        cairo_close_path(cr);
    };
    outline();
    cairo_pattern_t* g = cairo_pattern_create_linear(-4, 0, 30, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, kCroc.r, kCroc.g, kCroc.b);
    cairo_pattern_add_color_stop_rgb(g, 0.36, kCroc.r, kCroc.g, kCroc.b);
    cairo_pattern_add_color_stop_rgb(g, 0.42, kBelly.r, kBelly.g, kBelly.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kBelly.r, kBelly.g, kBelly.b);
    cairo_set_source(cr, g);
    cairo_pattern_destroy(g);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // The belly's soft plates: curved bands across the pale side.
    for (int i = 0; i < 8; ++i) {
        const double y = 6 - (len + 4) * i / 8.5;
        cairo_move_to(cr, 10, y - 2);
        cairo_curve_to(cr, 18, y + 2, 26, y + 2, 40, y - 3);
        SetColour(cr, Hex(0xc9b777));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    // A shadow under the gum line and speckles on the green side.
    cairo_move_to(cr, 0.5, 10);
    cairo_line_to(cr, 0.5, -len + 14);
    SetColour(cr, kCrocDark);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    for (const auto& [x, y, r] :
         {std::tuple{5.0, -0.3, 2.2}, {6.5, -0.55, 1.8}, {4.5, -0.75, 1.6}, {7.0, -0.1, 2.0}}) {
        cairo_arc(cr, x, y * len, r, 0, 2 * M_PI);
        SetColour(cr, kCrocDark, 0.6);
        cairo_fill(cr);
    }
    // Light on the swelling throat.
    Ellipse(cr, 24, -14, 4, 9);
    SetColour(cr, Hex(0xfffbe0), 0.8);
    cairo_fill(cr);
    cairo_restore(cr);
    outline();
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, 4.5);
    cairo_stroke(cr);
}

// A ring of churned water: the back half before the head, the front half after it.
void SplashRing(cairo_t* cr, double cx, double cy, double rx, double ry, bool front) {
    if (!front) {
        Ellipse(cr, cx, cy, rx, ry);
        FillOutline(cr, pal::waterLight, 3, kRingInk);
        Ellipse(cr, cx, cy - 2, rx * 0.8, ry * 0.6);
        SetColour(cr, Hex(0x8fd2c4));
        cairo_fill(cr);
        return;
    }
    // Foam lapping in front: a scalloped white crescent along the ring's front edge.
    constexpr int kSteps = 64;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = M_PI * i / kSteps;
        const double wave = 1 + 0.22 * std::fabs(std::sin(t * 8));
        const double x = cx + std::cos(t) * rx * 0.97, y = cy + std::sin(t) * ry * wave + 2;
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    for (int i = kSteps; i >= 0; --i) {
        const double t = M_PI * i / kSteps;
        cairo_line_to(cr, cx + std::cos(t) * rx * 0.78, cy - std::sin(t) * ry * 0.2 - 3);
    }
    cairo_close_path(cr);
    FillOutline(cr, Hex(0xeafaf5), 3, kRingInk);
    Rng rng(static_cast<uint64_t>(rx));
    for (int i = 0; i < 7; ++i) {
        const double t = rng.Range(0.2, 2.9);
        cairo_arc(cr, cx + std::cos(t) * rx * 0.9, cy + std::sin(t) * ry * 0.6, rng.Range(2, 4), 0,
                  2 * M_PI);
        FillOutline(cr, pal::white, 1.5, kRingInk);
    }
}

// Drops thrown up around the head: teardrops pointing away from (cx, cy).
void Drops(cairo_t* cr, uint64_t seed, int count, double cx, double cy, double spread,
           double height) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const double a = rng.Range(-1.35, 1.35), d = rng.Range(0.45, 1.0);
        const double x = cx + std::sin(a) * spread * d, y = cy - std::cos(a) * height * d;
        const double s = rng.Range(3.5, 6.5);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, a);
        cairo_move_to(cr, 0, -s * 1.5);
        cairo_curve_to(cr, s * 0.9, -s * 0.5, s * 1.1, s, 0, s);
        cairo_curve_to(cr, -s * 1.1, s, -s * 0.9, -s * 0.5, 0, -s * 1.5);
        cairo_close_path(cr);
        cairo_restore(cr);
        FillOutline(cr, Hex(0xdff6f0), 2, kRingInk);
    }
}

Sheet Crocodile() {
    // Per frame: how far the head is out of the water and how wide the jaws are open.
    static constexpr double kRise[8] = {0.25, 0.78, 1, 1, 1, 1, 0.95, 0.8};
    static constexpr double kOpen[8] = {0, 0.25, 0.55, 0.85, 0.95, 0.35, 0, 0};
    return DrawSheet("kroko", 300, 180, 8, kOnWater, [](cairo_t* cr, int f) {
        // The head is drawn in its own units around the hinge, then scaled up.
        constexpr double kWater = 160, kLen = 110, kScale = 1.25;
        const double hx = 150, hy = 146 + (1 - kRise[f]) * 140;
        const double open = kOpen[f];
        const double ring = f == 6 ? 125 : (f == 0 ? 62 : 108);
        SplashRing(cr, hx, kWater, ring, 16, false);
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, 300, kWater + 2);
        cairo_clip(cr);
        cairo_translate(cr, hx, hy);
        cairo_scale(cr, kScale, kScale);
        const double up = -open * 0.6, down = open * 0.8; // the jaws' turns
        const double lowLen = kLen * 0.85;
        if (open > 0.05) {
            // The pink mouth between the jaws, darker down the throat, with a tongue.
            const auto at = [](double angle, double x, double y) {
                return std::pair{x * std::cos(angle) - y * std::sin(angle),
                                 x * std::sin(angle) + y * std::cos(angle)};
            };
            const auto [ux, uy] = at(up, 4, -kLen + 12);
            const auto [lx, ly] = at(down, -4, -lowLen + 10);
            cairo_move_to(cr, 0, 12);
            cairo_line_to(cr, ux, uy);
            cairo_curve_to(cr, (ux + lx) / 2 - 10, (uy + ly) / 2 + 16, (ux + lx) / 2 + 10,
                           (uy + ly) / 2 + 16, lx, ly);
            cairo_close_path(cr);
            cairo_pattern_t* m = cairo_pattern_create_radial(0, 0, 6, 0, 0, kLen * 0.9);
            cairo_pattern_add_color_stop_rgb(m, 0, 0.42, 0.06, 0.14);
            cairo_pattern_add_color_stop_rgb(m, 0.4, 0.82, 0.22, 0.34);
            cairo_pattern_add_color_stop_rgb(m, 1, 1.0, 0.58, 0.64);
            FillPatternOutline(cr, m, 4);
            Ellipse(cr, 4, -14 - 8 * open, 10 * open + 5, 18 * open + 5);
            FillPatternOutline(cr, BallGradient(4, -18, 22, pal::pink, pal::pinkDark), 3,
                               Hex(0x7a1c38));
        }
        // The lower jaw and then the head; each carries its own teeth.
        cairo_save(cr);
        cairo_rotate(cr, down);
        JawTeeth(cr, -4, -1, -18, -lowLen + 10, 6, 8);
        LowerJaw(cr, lowLen);
        cairo_restore(cr);
        cairo_save(cr);
        cairo_rotate(cr, up);
        JawTeeth(cr, 4, 1, -20, -kLen + 14, 7, 9);
        UpperJaw(cr, kLen, f == 0 ? 0.8 : 1.0);
        cairo_restore(cr);
        cairo_restore(cr);
        SplashRing(cr, hx, kWater, ring, 16, true);
        if (f == 0) Drops(cr, 40, 8, hx, kWater - 8, 70, 45);
        if (f == 6) Drops(cr, 46, 16, hx, kWater - 10, 140, 150);
        if (f == 7) Drops(cr, 47, 8, hx, kWater - 10, 120, 90);
    });
}

// One long stork leg coming down from the bird's body to a foot on the ground: a white feathered
// thigh, a long orange-red shank with a knobbly joint, and toes spread along the bottom edge. Its
// colours are the stork's own (white and grey plumage, the beak's orange).
Sheet StorkLeg() {
    return DrawSheet("aist_leng", 60, 600, 1, kInked, [](cairo_t* cr, int) {
        const Rgb legLight = Hex(0xff9a40), legDark = Hex(0xd8401e), scale = Hex(0xa8321a);
        const Rgb feather = Hex(0xd6dee2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        const auto legFill = [&](double x0, double x1) {
            cairo_pattern_t* g = cairo_pattern_create_linear(x0, 0, x1, 0);
            cairo_pattern_add_color_stop_rgb(g, 0, legLight.r, legLight.g, legLight.b);
            cairo_pattern_add_color_stop_rgb(g, 0.45, legLight.r, legLight.g, legLight.b);
            cairo_pattern_add_color_stop_rgb(g, 1, legDark.r, legDark.g, legDark.b);
            return g;
        };
        // A tapering piece of shank along a gentle curve, from (x0, y0) w0 wide to (x1, y1) w1.
        const auto shank = [&](double x0, double y0, double w0, double x1, double y1, double w1) {
            const double mx = (x0 + x1) / 2 + 1.5, my = (y0 + y1) / 2;
            cairo_move_to(cr, x0 - w0 / 2, y0);
            cairo_curve_to(cr, mx - (w0 + w1) / 4, my, mx - (w0 + w1) / 4, my, x1 - w1 / 2, y1);
            cairo_line_to(cr, x1 + w1 / 2, y1);
            cairo_curve_to(cr, mx + (w0 + w1) / 4, my, mx + (w0 + w1) / 4, my, x0 + w0 / 2, y0);
            cairo_close_path(cr);
            FillPatternOutline(cr, legFill(std::min(x0, x1) - 6, std::max(x0, x1) + 6), 3,
                               pal::inkBrown);
            // Scales: little arcs across the shank.
            for (double y = y0 + 10; y < y1 - 6; y += 13) {
                const double k = (y - y0) / (y1 - y0);
                const double x = x0 + (x1 - x0) * k + 1.5 * std::sin(k * M_PI);
                const double w = w0 + (w1 - w0) * k;
                cairo_move_to(cr, x - w * 0.3, y);
                cairo_curve_to(cr, x - w * 0.1, y + 2.5, x + w * 0.1, y + 2.5, x + w * 0.3, y);
                SetColour(cr, scale);
                cairo_set_line_width(cr, 1.2);
                cairo_stroke(cr);
            }
            // A glossy streak down the lit side.
            cairo_move_to(cr, x0 - w0 * 0.22, y0 + 8);
            cairo_curve_to(cr, mx - (w0 + w1) * 0.11, my, mx - (w0 + w1) * 0.11, my, x1 - w1 * 0.22,
                           y1 - 8);
            SetColour(cr, Hex(0xffc488));
            cairo_set_line_width(cr, 1.8);
            cairo_stroke(cr);
        };

        // Toes first, so the ankle covers their roots. Front view: outer toes splayed along the
        // ground, the middle toe pointing at the viewer, a short hind toe behind.
        const double ax = 31, ay = 566;
        struct Toe {
            double x1, y1, cx, cy, w;
        };
        static constexpr Toe kToes[] = {{40, 580, 37, 574, 4.5}, // hind toe
                                        {3, 596, 14, 578, 7},
                                        {58, 596, 48, 578, 7},
                                        {31, 598, 30, 585, 8}};
        // Webs between the toes.
        cairo_move_to(cr, ax, ay + 4);
        cairo_curve_to(cr, 18, 584, 12, 590, 9, 594);
        cairo_curve_to(cr, 18, 590, 24, 592, 29, 596);
        cairo_curve_to(cr, 34, 592, 42, 590, 51, 594);
        cairo_curve_to(cr, 48, 590, 42, 584, ax, ay + 4);
        cairo_close_path(cr);
        FillOutline(cr, Mix(legLight, legDark, 0.35), 2, pal::inkBrown);
        for (const Toe& t : kToes)
            for (int pass = 0; pass < 3; ++pass) {
                cairo_move_to(cr, ax, ay + 6);
                cairo_curve_to(cr, t.cx, t.cy, t.cx, t.cy, t.x1, t.y1);
                SetColour(cr, pass == 0 ? pal::inkBrown : (pass == 1 ? legDark : legLight));
                cairo_set_line_width(cr, pass == 0 ? t.w + 5 : (pass == 1 ? t.w : t.w * 0.45));
                if (pass == 2) {
                    cairo_save(cr);
                    cairo_translate(cr, -0.8, -0.8);
                    cairo_stroke(cr);
                    cairo_restore(cr);
                } else {
                    cairo_stroke(cr);
                }
            }
        // Dark claws at the toe tips.
        for (const Toe& t : kToes) {
            if (t.w < 5) continue;
            cairo_arc(cr, t.x1, t.y1 - 0.5, 2.2, 0, 2 * M_PI);
            SetColour(cr, Hex(0x2a1a10));
            cairo_fill(cr);
        }

        // The shank: upper part from the thigh to the joint, lower part to the ankle.
        shank(29, 84, 12, 27, 330, 10);
        shank(30, 344, 10, 31, ay + 4, 11);
        // The joint: a knobbly bulge with a light dome.
        Ellipse(cr, 28.5, 337, 9, 12.5);
        cairo_pattern_t* knee = BallGradient(28.5, 337, 12, legLight, legDark);
        FillPatternOutline(cr, knee, 3, pal::inkBrown);
        Ellipse(cr, 25.5, 332, 2.6, 4);
        SetColour(cr, Hex(0xffd2a0));
        cairo_fill(cr);
        // The ankle pad above the toes.
        Ellipse(cr, ax, ay + 3, 8.5, 7);
        FillPatternOutline(cr, BallGradient(ax, ay + 3, 9, legLight, legDark), 3, pal::inkBrown);

        // The feathered thigh at the top, hanging over the shank in a fringe of scallops.
        constexpr double kFringe = 92;
        cairo_move_to(cr, 5, -6);
        cairo_curve_to(cr, -1, 30, 4, 62, 13, 78);
        const int scallops = 5;
        for (int i = 0; i < scallops; ++i) {
            const double xa = 13 + 34.0 * i / scallops, xb = 13 + 34.0 * (i + 1) / scallops;
            const double drop = kFringe - 9 + 9 * std::sin(M_PI * (i + 0.5) / scallops);
            cairo_curve_to(cr, xa, drop + 2, xb, drop + 2, xb, 78 + (i == scallops - 1 ? 0 : 2));
        }
        cairo_curve_to(cr, 56, 62, 61, 30, 55, -6);
        cairo_close_path(cr);
        cairo_pattern_t* thigh = cairo_pattern_create_linear(0, 0, 60, 0);
        cairo_pattern_add_color_stop_rgb(thigh, 0, 1, 1, 1);
        cairo_pattern_add_color_stop_rgb(thigh, 0.45, pal::white.r, pal::white.g, pal::white.b);
        cairo_pattern_add_color_stop_rgb(thigh, 1, feather.r, feather.g, feather.b);
        FillPatternOutline(cr, thigh, 3, pal::inkBrown);
        // Feather marks: rows of soft chevrons, and a shadow where the body overhangs.
        for (int row = 0; row < 4; ++row)
            for (int i = 0; i < 3; ++i) {
                const double x = 16 + i * 13 + (row % 2) * 6 + row, y = 16 + row * 16;
                if (x > 50 - row * 3) continue;
                cairo_move_to(cr, x - 5, y);
                cairo_curve_to(cr, x - 2, y + 5, x + 2, y + 5, x + 5, y);
                SetColour(cr, feather);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
        cairo_rectangle(cr, 0, 0, 60, 16);
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, 16);
        cairo_pattern_add_color_stop_rgba(shade, 0, 0.45, 0.5, 0.55, 0.55);
        cairo_pattern_add_color_stop_rgba(shade, 1, 0.45, 0.5, 0.55, 0);
        cairo_set_source(cr, shade);
        cairo_pattern_destroy(shade);
        cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    });
}

// The stork's neck and head striking down; the beak tip touches the bottom of the frame. Only
// the slender neck reaches the top, so most of the frame is clear.
constexpr int kStorkW = 150, kStorkH = 540;

// Frame `f` of the striking stork, in a 150 x 540 frame.
void DrawStork(cairo_t* cr, int f) {
    constexpr int kH = kStorkH;
    static constexpr double kSway[4] = {-4, 0, 4, 0};
    static constexpr double kGape[4] = {0, 0.07, 0.14, 0.04};
    const double sway = kSway[f], gape = kGape[f];
    // The head sits low in the frame, so that however far the stork has come down, its
    // neck runs up out of the picture's top and off the screen.
    const double headX = 58 + sway, headY = 392;
    const Rgb feather = Hex(0xd6dee2), beakLight = Hex(0xff9a40), beakDark = Hex(0xd8401e);
    // The neck: a slender S from the top of the frame down to the head.
    const auto neck = [&] {
        cairo_move_to(cr, 30, -4);
        cairo_curve_to(cr, 14 - sway, 120, 44 + sway, 220, 34 + sway * 0.5, 290);
        cairo_curve_to(cr, 26 + sway * 0.7, 345, headX - 14, 364, headX - 2, headY);
    };
    for (int pass = 0; pass < 3; ++pass) {
        neck();
        SetColour(cr, pass == 0 ? pal::inkBrown : (pass == 1 ? pal::white : feather));
        cairo_set_line_width(cr, pass == 0 ? 30 : (pass == 1 ? 23 : 4));
        if (pass == 2) {
            // A soft shadow down the neck's right side.
            cairo_save(cr);
            cairo_translate(cr, 5, 0);
            cairo_stroke(cr);
            cairo_restore(cr);
        } else {
            cairo_stroke(cr);
        }
    }
    // Feather chevrons along the neck.
    for (int i = 0; i < 7; ++i) {
        const double y = 40 + i * 40;
        const double t = y / 290;
        const double x = 30 + (1 - t) * (1 - t) * t * 3 * (14 - sway - 30) +
                         (1 - t) * t * t * 3 * (44 + sway - 30) + t * t * t * (34 - 30);
        cairo_move_to(cr, x - 5, y);
        cairo_line_to(cr, x, y + 5);
        cairo_line_to(cr, x + 5, y);
        SetColour(cr, feather);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    // The beak: two long blades from the face to the bottom of the frame.
    const double bx = headX + 4, by = headY + 16, tipX = headX + 14, tip = kH + 2;
    const double base = std::atan2(tipX - bx, tip - by);
    for (int blade = 1; blade >= 0; --blade) {
        const double a = base + (blade == 0 ? gape : -gape);
        const double l = (tip - by) / std::cos(a);
        cairo_save(cr);
        cairo_translate(cr, bx, by);
        cairo_rotate(cr, -a);
        const double side = blade == 0 ? -1 : 1; // upper blade on the left
        cairo_move_to(cr, -12, -6);
        cairo_line_to(cr, 12, -6);
        cairo_curve_to(cr, 10, l * 0.4, side > 0 ? 3 : 2, l * 0.85, side * 0.5, l);
        cairo_curve_to(cr, side > 0 ? -3 : -2, l * 0.85, -10, l * 0.4, -12, -6);
        cairo_close_path(cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(-10, 0, 10, 0);
        cairo_pattern_add_color_stop_rgb(g, 0, beakLight.r, beakLight.g, beakLight.b);
        cairo_pattern_add_color_stop_rgb(g, 1, beakDark.r, beakDark.g, beakDark.b);
        FillPatternOutline(cr, g, 3, pal::inkBrown);
        // A glossy streak along the blade.
        cairo_move_to(cr, -5, 6);
        cairo_curve_to(cr, -4, l * 0.35, -2, l * 0.6, -1, l * 0.75);
        SetColour(cr, Hex(0xffd08a));
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // The head: an egg leaning into the strike, a tuft at the back of the crown.
    for (int k = 0; k < 3; ++k) {
        cairo_save(cr);
        cairo_translate(cr, headX - 12, headY - 20);
        cairo_rotate(cr, -0.7 - k * 0.4);
        Ellipse(cr, 0, -10, 5, 12);
        cairo_restore(cr);
        FillOutline(cr, pal::white, 3, pal::inkBrown);
    }
    cairo_save(cr);
    cairo_translate(cr, headX + 1, headY);
    cairo_rotate(cr, -0.12);
    cairo_move_to(cr, 0, -26);
    cairo_curve_to(cr, 16, -26, 22, -10, 19, 6);
    cairo_curve_to(cr, 16, 20, 8, 26, 0, 26);
    cairo_curve_to(cr, -8, 26, -16, 20, -19, 6);
    cairo_curve_to(cr, -22, -10, -16, -26, 0, -26);
    cairo_close_path(cr);
    cairo_restore(cr);
    FillPatternOutline(cr, BallGradient(headX, headY, 28, pal::white, feather), 3.5, pal::inkBrown);
    // A fierce eye looking down at the prey.
    const double ex = headX + 1, ey = headY - 3;
    cairo_arc(cr, ex, ey, 6.5, 0, 2 * M_PI);
    FillOutline(cr, Hex(0xfff4c0), 1.5, pal::inkBrown);
    cairo_arc(cr, ex + 1, ey + 1.5, 3.2, 0, 2 * M_PI);
    SetColour(cr, Hex(0x101010));
    cairo_fill(cr);
    cairo_arc(cr, ex - 1.5, ey - 1.5, 1.3, 0, 2 * M_PI);
    SetColour(cr, pal::white);
    cairo_fill(cr);
    cairo_move_to(cr, ex - 10, ey - 10);
    cairo_line_to(cr, ex + 8, ey - 5);
    SetColour(cr, pal::inkBrown);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
}

Sheet Stork() {
    return DrawSheet("aist", kStorkW, kStorkH, 4, kInked,
                     [](cairo_t* cr, int f) { DrawStork(cr, f); });
}

// The help page's stork: only its head and beak, small, so that it stands beside its words and
// leaves the page and the Back word clear (the whole picture is 540 px of neck).
Sheet HelpStork() {
    constexpr double kScale = 0.46, kLeft = 10, kTop = 335;
    return DrawSheet("Help_stork", 58, 99, 1, kInked, [](cairo_t* cr, int) {
        cairo_scale(cr, kScale, kScale);
        cairo_translate(cr, -kLeft, -kTop);
        DrawStork(cr, 0);
    });
}

} // namespace

void AddEnemyPictures(std::vector<Sheet>& out) {
    out.push_back(CrocEyes());
    out.push_back(Crocodile());
    out.push_back(StorkLeg());
    out.push_back(Stork());
    out.push_back(HelpStork());
}

} // namespace pondlark::assetgen
