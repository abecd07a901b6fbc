// The frog's enemies: the crocodile's eyes and jaws in the pond, the stork in the eating stage.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr Rgb kCroc = Hex(0x5f9a3a), kCrocLight = Hex(0xa9d060), kCrocDark = Hex(0x2f5e22);
constexpr Rgb kBelly = Hex(0xf4e6a8), kRingInk = Hex(0x1d4f4c);
constexpr EdgeStyle kOnWater{Hex(0x1d4f4c), 0.5};

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

// The upper jaw and head, drawn pointing up from the hinge at the origin: the eye ridges on its
// back (left), the nostrils on the bulbous tip, the mouth edge on the right at x 4.
void UpperJaw(cairo_t* cr, double len, double eyeOpen) {
    // Back plates first: the head's outline covers their inner half.
    Scutes(cr, -24, -58, -len + 26, 4, 6);
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
    // The eye on its ridge: white ball, golden iris, slit pupil, heavy lid.
    const double ex = -31, ey = -30, r = 11;
    cairo_arc(cr, ex, ey, r, 0, 2 * M_PI);
    FillOutline(cr, pal::white, 3);
    if (eyeOpen > 0) {
        cairo_save(cr);
        cairo_arc(cr, ex, ey, r - 1.5, 0, 2 * M_PI);
        cairo_clip(cr);
        cairo_arc(cr, ex + 2, ey, 7, 0, 2 * M_PI);
        FillOutline(cr, Hex(0xffd21f), 1.5);
        Ellipse(cr, ex + 2.5, ey, 2.2, 6);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_arc(cr, ex - 1, ey - 4, 2.2, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // The lid: a fierce brow, lower when the eye narrows.
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
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
}

// The lower jaw pointing up from the hinge: the mouth edge on the left at x −4, a pale throat
// on the right.
void LowerJaw(cairo_t* cr, double len) {
    cairo_move_to(cr, -4, 14);
    cairo_line_to(cr, -4, -len + 12);
    cairo_curve_to(cr, -4, -len - 2, 14, -len - 2, 16, -len + 14);
    cairo_curve_to(cr, 22, -len * 0.5, 28, -20, 32, 14);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(-4, 0, 30, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, kCroc.r, kCroc.g, kCroc.b);
    cairo_pattern_add_color_stop_rgb(g, 0.55, kCroc.r, kCroc.g, kCroc.b);
    cairo_pattern_add_color_stop_rgb(g, 0.6, kBelly.r, kBelly.g, kBelly.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kBelly.r, kBelly.g, kBelly.b);
    FillPatternOutline(cr, g, 4.5);
    for (int i = 1; i < 6; ++i) {
        const double y = -len * i / 6.5;
        cairo_move_to(cr, 13 + i * 0.2, y);
        cairo_line_to(cr, 22 - i * 1.2, y - 3);
        SetColour(cr, Hex(0xb9a86a));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
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

// The stork's neck and head striking down; the beak tip touches the bottom of the frame. Only
// the slender neck reaches the top, so most of the frame is clear.
Sheet Stork() {
    constexpr int kW = 150, kH = 540;
    return DrawSheet("aist", kW, kH, 4, {pal::inkBrown, 0.5}, [](cairo_t* cr, int f) {
        static constexpr double kSway[4] = {-4, 0, 4, 0};
        static constexpr double kGape[4] = {0, 0.07, 0.14, 0.04};
        const double sway = kSway[f], gape = kGape[f];
        const double headX = 58 + sway, headY = 362;
        const Rgb feather = Hex(0xd6dee2), beakLight = Hex(0xff9a40), beakDark = Hex(0xd8401e);
        // The neck: a slender S from the top of the frame down to the head.
        const auto neck = [&] {
            cairo_move_to(cr, 26, -4);
            cairo_curve_to(cr, 12 - sway, 110, 40 + sway, 200, 32 + sway * 0.5, 270);
            cairo_curve_to(cr, 26 + sway * 0.7, 320, headX - 14, 336, headX - 2, headY);
        };
        for (int pass = 0; pass < 3; ++pass) {
            neck();
            SetColour(cr, pass == 0 ? pal::inkBrown : (pass == 1 ? pal::white : feather));
            cairo_set_line_width(cr, pass == 0 ? 27 : (pass == 1 ? 20 : 4));
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
        for (int i = 0; i < 6; ++i) {
            const double y = 40 + i * 40;
            const double t = y / 270;
            const double x = 26 + (1 - t) * (1 - t) * t * 3 * (12 - sway - 26) +
                             (1 - t) * t * t * 3 * (40 + sway - 26) + t * t * t * (32 - 26);
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
        FillPatternOutline(cr, BallGradient(headX, headY, 28, pal::white, feather), 3.5,
                           pal::inkBrown);
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
