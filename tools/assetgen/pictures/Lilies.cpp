// The lily pads of the pond: three plain ones that sink and surface, the hunter that snaps shut,
// the springy one, the sticky one and its strands.
#include "tools/assetgen/pictures/Families.h"

#include <algorithm>
#include <cmath>

namespace pondlark::assetgen {

namespace {

struct Pt2 {
    double x, y;
};

constexpr int kW = 130, kH = 100;
constexpr double kCx = 65, kCy = 62, kRx = 58, kRy = 33;
// Soft edges of pads blend into the dark water they float on.
constexpr Rgb kSunkWater = Hex(0x2a6e6e);

// A pad seen from above at a slant, with its notch and veins. `sink` 0 afloat … 1 gone under.
void Pad(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb base, double sink) {
    const Rgb light = Mix(Mix(base, pal::leafLight, 0.55), kSunkWater, sink);
    const Rgb dark = Mix(Mix(base, pal::leafDark, 0.5), kSunkWater, sink);
    const Rgb ink = Mix(pal::ink, kSunkWater, sink * sink);
    // The pad with a wedge cut towards the front right.
    const double notch = 0.42, open = 0.2;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_move_to(cr, 0.05, 0.02);
    cairo_arc(cr, 0, 0, 1, notch + open, notch - open + 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_pattern_t* g = BallGradient(cx, cy, rx, light, dark);
    FillPatternOutline(cr, g, sink < 0.9 ? 3 : 0, ink);
    if (sink > 0.9) return;
    // Veins.
    for (int k = 0; k < 9; ++k) {
        const double a = notch + open + 0.15 + k * (2 * M_PI - 2 * open - 0.3) / 8;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(a) * rx * 0.82, cy + std::sin(a) * ry * 0.82);
    }
    SetColour(cr, Mix(dark, ink, 0.3), 0.55);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // Sunlit rim at the back.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx * 0.9, ry * 0.82);
    cairo_arc(cr, 0, 0, 1, M_PI * 1.1, M_PI * 1.75);
    cairo_restore(cr);
    SetColour(cr, Mix(pal::sunGlint, kSunkWater, sink), 0.7);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

// Rings spreading on the water around a spot.
void Rings(cairo_t* cr, double cx, double cy, double rx, double ry, int count, double alpha) {
    for (int i = 0; i < count; ++i) {
        const double k = 1 + i * 0.14;
        Ellipse(cr, cx, cy, rx * k, ry * k);
        SetColour(cr, Hex(0xd8f4ee), alpha * (1 - i * 0.3));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

// A water lily flower in three-quarter view; `open` 1 in full bloom … 0 a closed bud.
void Flower(cairo_t* cr, double cx, double cy, double size, Rgb petal, Rgb ink, double sink,
            double open = 1) {
    const Rgb p = Mix(petal, kSunkWater, sink), pi = Mix(ink, kSunkWater, sink);
    const Rgb inner = Mix(Mix(petal, pal::white, 0.5), kSunkWater, sink);
    for (int layer = 0; layer < 2; ++layer)
        for (int k = 0; k < 6; ++k) {
            const double a = -M_PI / 2 + (k - 2.5) * (layer ? 0.42 : 0.55) * (0.25 + 0.75 * open);
            const double width = size * 0.26 * (0.65 + 0.35 * open);
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_scale(cr, 1, 0.75);
            cairo_rotate(cr, a + M_PI / 2);
            Ellipse(cr, 0, -size * (layer ? 0.55 : 0.7), width, size * (layer ? 0.5 : 0.62));
            cairo_restore(cr);
            FillOutline(cr, layer ? inner : p, 1.8, pi);
        }
    if (open < 0.5) return; // the heart is hidden in the closing petals
    Ellipse(cr, cx, cy - size * 0.05, size * 0.26, size * 0.16);
    FillOutline(cr, Mix(pal::gold, kSunkWater, sink), 1.5, Mix(pal::goldDark, kSunkWater, sink));
}

// The sinking cycle of a plain lily, frame by frame: how far under it is, how much it tips,
// how open its flower still is and how many bubbles rise around it. The first wobble (frame 1)
// is still safe, but already shows every sign of what comes: the tip, the wet dark front, the
// bubbles and the flower closing.
constexpr double kSink[8] = {0, 0.1, 0.3, 0.48, 0.64, 0.8, 0.93, 0.4};
constexpr double kTip[8] = {0, -0.09, -0.14, -0.11, -0.08, -0.05, 0, 0};
constexpr double kOpen[8] = {1, 0.6, 0.35, 0.2, 0.1, 0.05, 0.05, 0.5};
constexpr int kBubbles[8] = {0, 4, 6, 7, 7, 5, 3, 0};
constexpr Rgb kWetLeaf = Hex(0x2c5e34);

void Bubbles(cairo_t* cr, uint64_t seed, int count, double cx, double cy, double rx, double ry) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const double a = rng.Range(0.1, M_PI - 0.1); // along the front rim
        const double r = rng.Range(2.2, 4.2);
        const double x = cx + std::cos(a) * rx * rng.Range(0.85, 1.1);
        const double y = cy + std::sin(a) * ry * rng.Range(0.9, 1.2) + rng.Range(-3, 3);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        FillOutline(cr, Hex(0xc8eee6), 1.3, Hex(0x1d4f4c));
        cairo_arc(cr, x - r * 0.35, y - r * 0.35, r * 0.3, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    }
}

Sheet PlainLily(const std::string& name, int flower) {
    return DrawSheet(name, kW, kH, 8, kOnWater, [flower](cairo_t* cr, int f) {
        const double s = kSink[f];
        const double shrink = 1 - 0.12 * s;
        const double cy = kCy;
        cairo_save(cr);
        // The pad tips: its front dips under while the back rises.
        cairo_translate(cr, kCx, kCy);
        cairo_rotate(cr, kTip[f]);
        cairo_scale(cr, 1, 1 - 2.2 * std::abs(kTip[f]));
        cairo_translate(cr, -kCx, -kCy);
        if (f >= 1) Rings(cr, kCx, cy + 2, kRx * shrink + 2, kRy * shrink + 2, f == 6 ? 3 : 2, 0.7);
        const double wet = f >= 1 && f <= 6 ? std::min(1.0, 0.45 + 1.5 * s) : 0;
        Pad(cr, kCx, cy, kRx * shrink, kRy * shrink, Mix(pal::leaf, kWetLeaf, wet), s);
        if (f >= 1 && s < 0.9) {
            // Water washing over the dipping front of the pad, darker as it goes under.
            cairo_save(cr);
            Ellipse(cr, kCx, cy, kRx * shrink, kRy * shrink);
            cairo_clip(cr);
            Ellipse(cr, kCx + 8, cy + kRy * (0.75 - 0.5 * s), kRx * shrink * 1.1,
                    kRy * (0.35 + 0.9 * s));
            SetColour(cr, kSunkWater, 0.5 + 0.35 * s);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        if (flower == 1) Flower(cr, 36, 50, 24, pal::white, Hex(0x6a7a6a), s, kOpen[f]);
        if (flower == 2) Flower(cr, 36, 50, 24, pal::pink, pal::pinkDark, s, kOpen[f]);
        cairo_restore(cr);
        Bubbles(cr, static_cast<uint64_t>(f * 7 + flower), kBubbles[f], kCx, cy, kRx * shrink,
                kRy * shrink);
        if (f == 7)
            for (const auto& [x, y] : {std::pair{20.0, 20.0},
                                       {105.0, 16.0},
                                       {62.0, 12.0},
                                       {118.0, 40.0},
                                       {10.0, 44.0}}) {
                Ellipse(cr, x, y, 3, 4);
                FillOutline(cr, Hex(0xd8f4ee), 1.5, Hex(0x1d4f4c));
            }
    });
}

// The hunter, modelled as two half-pads hinged along the pad's middle and projected the way every
// pad is seen (from above at a slant). Lobe coordinates: u along the hinge, v away from it.
struct V3 {
    double x, y, z;
};
constexpr double kTilt = 0.57, kLift = 0.82; // screen y per unit of depth and of height

Pt2 Project(V3 p, double cy) {
    return {kCx + p.x, cy + p.y * kTilt - p.z * kLift};
}

struct Lobe {
    double angle;  // 0 flat on the water … π/2 upright
    double dir;    // -1 the back half, +1 the front half
    double rx, rv; // half width along the hinge, reach away from it
    double cy;
    V3 At(double u, double v) const { return {u, dir * v * std::cos(angle), v * std::sin(angle)}; }
    // The normal of the inner (upper at rest) face.
    V3 Inner() const { return {0, -dir * std::sin(angle), std::cos(angle)}; }
    Pt2 P(double u, double v) const { return Project(At(u, v), cy); }
    // Rim point at θ (0 … π) scaled by k towards the hinge middle.
    Pt2 Rim(double th, double k = 1) const {
        return P(rx * k * std::cos(th), rv * k * std::sin(th));
    }
    // Whether the viewer (towards +y, +z) sees the inner face.
    bool InnerShows() const { return Inner().y * kLift + Inner().z * kTilt > 0; }
};

void LobePath(cairo_t* cr, const Lobe& l, double k) {
    for (int i = 0; i <= 48; ++i) {
        const Pt2 p = l.Rim(M_PI * i / 48, k);
        if (i == 0)
            cairo_move_to(cr, p.x, p.y);
        else
            cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
}

// Cream fangs along the rim; they lie flat at rest and curl inwards as the lobe rises.
void LobeTeeth(cairo_t* cr, const Lobe& l, int count, double length, double phase) {
    const V3 n = l.Inner();
    const double bend = std::sin(l.angle) * 0.9;
    for (int i = 0; i < count; ++i) {
        const double th = M_PI * (i + phase) / count;
        const double half = 0.085;
        const Pt2 a = l.Rim(th - half), b = l.Rim(th + half);
        const double c = std::cos(th), sn = std::sin(th);
        const V3 base = l.At(l.rx * c, l.rv * sn);
        const V3 out = l.At(c, sn); // outward direction in the lobe's plane
        const double len = length * (0.8 + 0.2 * sn);
        const V3 tip{base.x + len * (out.x * (1 - bend * 0.5) + n.x * bend),
                     base.y + len * (out.y * (1 - bend * 0.5) + n.y * bend),
                     base.z + len * (out.z * (1 - bend * 0.5) + n.z * bend)};
        const Pt2 t = Project(tip, l.cy);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, t.x, t.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_close_path(cr);
        FillOutline(cr, pal::cream, 1.6);
    }
}

constexpr Rgb kMaw = Hex(0xe0506a), kMawDeep = Hex(0x8a1f3a);

void DrawLobe(cairo_t* cr, const Lobe& l, double t) {
    const Pt2 mid = l.P(0, 0);
    if (l.InnerShows()) {
        // Green rim band around a glossy red maw, deepest at the hinge.
        LobePath(cr, l, 1);
        cairo_pattern_t* g = BallGradient(mid.x, mid.y, l.rx, pal::leafLight, pal::leaf);
        FillPatternOutline(cr, g, 3);
        LobePath(cr, l, 0.74);
        cairo_pattern_t* m =
            cairo_pattern_create_radial(mid.x, mid.y, 2, mid.x, mid.y, l.rx * 0.74);
        cairo_pattern_add_color_stop_rgb(m, 0, kMawDeep.r, kMawDeep.g, kMawDeep.b);
        cairo_pattern_add_color_stop_rgb(m, 1, kMaw.r, kMaw.g, kMaw.b);
        FillPatternOutline(cr, m, 1.5, kMawDeep);
        // Trigger hairs: little glossy beads.
        for (const auto& [u, v] : {std::pair{-0.35, 0.35}, {0.3, 0.45}, {-0.05, 0.62}}) {
            const Pt2 p = l.P(u * l.rx, v * l.rv);
            cairo_arc(cr, p.x, p.y, 2.6, 0, 2 * M_PI);
            FillOutline(cr, Hex(0xffb0c0), 1.2, kMawDeep);
        }
        // A wet glint.
        const Pt2 g0 = l.P(-0.5 * l.rx, 0.55 * l.rv), g1 = l.P(-0.2 * l.rx, 0.68 * l.rv);
        cairo_move_to(cr, g0.x, g0.y);
        cairo_line_to(cr, g1.x, g1.y);
        SetColour(cr, pal::white, 0.85);
        cairo_set_line_width(cr, 2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    } else {
        // The leafy outside, veined, lit from the top.
        LobePath(cr, l, 1);
        const Pt2 top = l.Rim(M_PI / 2);
        cairo_pattern_t* g = VerticalGradient(top.y, mid.y + 6, Mix(pal::leaf, pal::leafLight, 0.6),
                                              Mix(pal::leafDark, pal::ink, 0.15 * t));
        FillPatternOutline(cr, g, 3);
        for (int k = 0; k < 7; ++k) {
            const double th = 0.35 + k * (M_PI - 0.7) / 6;
            const Pt2 p = l.Rim(th, 0.85);
            cairo_move_to(cr, mid.x, mid.y);
            cairo_line_to(cr, p.x, p.y);
        }
        SetColour(cr, pal::leafDark, 0.8);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
        // Sunlit rim.
        for (int i = 0; i <= 20; ++i) {
            const Pt2 p = l.Rim(M_PI * (0.2 + 0.45 * i / 20), 0.9);
            if (i == 0)
                cairo_move_to(cr, p.x, p.y);
            else
                cairo_line_to(cr, p.x, p.y);
        }
        SetColour(cr, pal::sunGlint, 0.75);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
}

Sheet HunterLily() {
    // Angles of the back and the front half in each frame: open, rising, biting, shut.
    static constexpr double kBack[6] = {0, 24, 50, 70, 84, 90};
    static constexpr double kFront[6] = {0, 16, 40, 63, 81, 90};
    return DrawSheet("kuvshinka_hunter", kW, kH, 6, kOnWater, [](cairo_t* cr, int f) {
        const double t = f / 5.0;
        const double cy = kCy + 7 * t;
        const double rx = 55 * (1 - 0.2 * t), rv = 55 * (1 - 0.08 * t);
        const Lobe back{kBack[f] * M_PI / 180, -1, rx, rv, cy};
        const Lobe front{kFront[f] * M_PI / 180, 1, rx, rv, cy};
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        if (f > 0) {
            // Rings run out as it moves, and the stalk's swollen base shows at the hinge.
            Rings(cr, kCx, cy + 3, rx + 6, 9 + 3 * t, f >= 4 ? 2 : 1, 0.75);
            Ellipse(cr, kCx, cy + 1, rx * 0.96, 4 + 7 * t);
            FillOutline(cr, pal::leafDark, 3);
        }
        if (f < 5) {
            DrawLobe(cr, back, t);
            LobeTeeth(cr, back, 13, 8, 0.5);
            if (!front.InnerShows()) {
                // The throat between the rising halves.
                const Pt2 l = back.P(-rx * 0.9, 0), r = back.P(rx * 0.9, 0);
                cairo_move_to(cr, l.x, l.y);
                cairo_line_to(cr, r.x, r.y);
                SetColour(cr, kMawDeep);
                cairo_set_line_width(cr, 3);
                cairo_stroke(cr);
            }
            DrawLobe(cr, front, t);
            LobeTeeth(cr, front, 12, 8, 0);
            if (f == 0) {
                // The midrib across the open pad.
                const Pt2 l = back.P(-rx * 0.8, 0), r = back.P(rx * 0.8, 0);
                cairo_move_to(cr, l.x, l.y);
                cairo_line_to(cr, r.x, r.y);
                SetColour(cr, kMawDeep, 0.9);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
            }
            return;
        }
        // Shut: a plump bulb with the fangs locked along its seam and a sly, satisfied look.
        LobeTeeth(cr, back, 13, 7, 0.5);
        DrawLobe(cr, front, t);
        LobeTeeth(cr, front, 12, 7, 0);
        const double ey = cy - 0.42 * rv * kLift;
        for (int side = -1; side <= 1; side += 2) {
            const double ex = kCx + side * 11;
            Ellipse(cr, ex, ey, 5.5, 5);
            FillOutline(cr, pal::white, 1.8);
            Ellipse(cr, ex + side * 1.2, ey + 1.2, 2.4, 2.6);
            SetColour(cr, pal::ink);
            cairo_fill(cr);
            // Heavy lids, slanted towards the middle.
            cairo_move_to(cr, ex - 6.5, ey - 1 + side * 1.8);
            cairo_line_to(cr, ex + 6.5, ey - 1 - side * 1.8);
            cairo_line_to(cr, ex + 6, ey - 7);
            cairo_line_to(cr, ex - 6, ey - 7);
            cairo_close_path(cr);
            FillOutline(cr, pal::leaf, 1.8);
        }
        // A satisfied grin under the eyes.
        cairo_move_to(cr, kCx - 9, ey + 9);
        cairo_curve_to(cr, kCx - 3, ey + 13, kCx + 3, ey + 13, kCx + 9, ey + 9);
        SetColour(cr, pal::ink);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    });
}

// The springy lily: a pad on a coiled spring.
Sheet SpringLily() {
    // Pad height above its rest place in each frame: rest, squashed, flung up, settling, rest.
    static constexpr double kRise[5] = {0, -12, 18, 5, 0};
    return DrawSheet("kuvshinka_pruginka", kW, kH, 5, kOnWater, [](cairo_t* cr, int f) {
        const double padY = 50 - kRise[f];
        const double base = 92;
        Rings(cr, kCx, base, 30, 7, f == 1 || f == 2 ? 2 : 1, 0.6);
        // The coil, back strokes first.
        const int turns = 4;
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < turns; ++i) {
                const double y0 = base - (base - padY) * i / turns;
                const double y1 = base - (base - padY) * (i + 1) / turns;
                cairo_move_to(cr, kCx - 16, y0);
                if (pass == 0)
                    cairo_curve_to(cr, kCx - 16, y0 - 6, kCx + 16, y1 - 6, kCx + 16, y1 + 2);
                else
                    cairo_curve_to(cr, kCx - 16, y0 + 6, kCx + 16, y1 + 6, kCx + 16, y1 + 2);
                SetColour(cr, pal::ink);
                cairo_set_line_width(cr, 7);
                cairo_stroke_preserve(cr);
                SetColour(cr, pass == 0 ? Hex(0x8a9ab0) : Hex(0xd6e0ea));
                cairo_set_line_width(cr, 3.5);
                cairo_stroke(cr);
            }
        Pad(cr, kCx, padY, kRx * 0.95, kRy * 0.9, Hex(0x8cc43a), 0);
        for (const auto& [x, y] : {std::pair{-20.0, -6.0}, {18.0, 4.0}, {-4.0, 10.0}}) {
            cairo_arc(cr, kCx + x, padY + y, 4, 0, 2 * M_PI);
            FillOutline(cr, pal::orange, 1.5);
        }
    });
}

// The sticky lily: a glossy pad with a goo blob that rises and pulls the strand.
Sheet StickyLily() {
    static constexpr double kBlob[6] = {0.2, 1, 0.8, 0.6, 0.4, 0.25};
    return DrawSheet("kuvshinka_liapuchka", kW, kH, 6, kOnWater, [](cairo_t* cr, int f) {
        Pad(cr, kCx, kCy, kRx, kRy, Hex(0x3fa08a), 0);
        // Gloss streaks.
        for (int k = 0; k < 2; ++k) {
            Ellipse(cr, kCx - 22 + k * 10, kCy - 14 + k * 6, 12 - k * 4, 3);
            SetColour(cr, pal::white, 0.6);
            cairo_fill(cr);
        }
        const double b = kBlob[f];
        // Honey goo drops around the middle, one lifting as the strand shoots.
        for (const auto& [x, y, r] :
             {std::tuple{-26.0, 8.0, 6.0}, {24.0, -6.0, 5.0}, {10.0, 16.0, 4.0}}) {
            Ellipse(cr, kCx + x, kCy + y, r, r * 0.7);
            FillOutline(cr, Hex(0xf2b640), 2, pal::inkBrown);
        }
        const double h = 8 + 26 * b;
        cairo_move_to(cr, kCx - 12, kCy + 2);
        cairo_curve_to(cr, kCx - 10, kCy - h * 0.5, kCx - 8, kCy - h, kCx, kCy - h);
        cairo_curve_to(cr, kCx + 8, kCy - h, kCx + 10, kCy - h * 0.5, kCx + 12, kCy + 2);
        cairo_close_path(cr);
        FillPatternOutline(cr, BallGradient(kCx, kCy - h * 0.6, 14, Hex(0xffe7a0), Hex(0xe89a2a)),
                           2.5, pal::inkBrown);
        Ellipse(cr, kCx - 4, kCy - h * 0.7, 2.5, 4);
        SetColour(cr, pal::white, 0.85);
        cairo_fill(cr);
    });
}

// A stretched honey strand from `a` to `b`, thick at the ends, thin in the middle.
void Strand(cairo_t* cr, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay, len = std::hypot(dx, dy);
    const double nx = -dy / len, ny = dx / len;
    const auto at = [&](double t, double w, double side) {
        return std::pair{ax + dx * t + nx * w * side, ay + dy * t + ny * w * side};
    };
    for (int pass = 0; pass < 2; ++pass) {
        const double grow = pass == 0 ? 2.5 : 0;
        auto [x0, y0] = at(0, 11 + grow, 1);
        cairo_move_to(cr, x0, y0);
        for (int side : {1, -1}) {
            for (int i = 0; i <= 20; ++i) {
                const double t = side > 0 ? i / 20.0 : 1 - i / 20.0;
                const double w = 4 + 9 * std::pow(std::abs(2 * t - 1), 2.2) + grow;
                auto [x, y] = at(t, w, side);
                cairo_line_to(cr, x, y);
            }
        }
        cairo_close_path(cr);
        if (pass == 0) {
            SetColour(cr, pal::inkBrown);
            cairo_fill(cr);
        } else {
            cairo_pattern_t* g =
                cairo_pattern_create_linear(ax + nx * 12, ay + ny * 12, ax - nx * 12, ay - ny * 12);
            cairo_pattern_add_color_stop_rgb(g, 0, 0.96, 0.68, 0.2);
            cairo_pattern_add_color_stop_rgb(g, 0.45, 0.78, 0.78,
                                             0.45); // the water showing through
            cairo_pattern_add_color_stop_rgb(g, 1, 0.93, 0.6, 0.16);
            cairo_set_source(cr, g);
            cairo_pattern_destroy(g);
            cairo_fill(cr);
        }
    }
    // A glossy streak and a blob at the far end.
    cairo_move_to(cr, ax + dx * 0.2 + nx * 4, ay + dy * 0.2 + ny * 4);
    cairo_line_to(cr, ax + dx * 0.75 + nx * 3, ay + dy * 0.75 + ny * 3);
    SetColour(cr, Hex(0xfff6d0), 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, bx - dx / len * 4, by - dy / len * 4, 11, 0, 2 * M_PI);
    FillPatternOutline(cr, BallGradient(bx, by, 11, Hex(0xffe7a0), Hex(0xe89a2a)), 2.5,
                       pal::inkBrown);
}

} // namespace

void AddLilyPictures(std::vector<Sheet>& out) {
    out.push_back(PlainLily("kuvshinka_simple_1", 0));
    out.push_back(PlainLily("kuvshinka_simple_2", 1));
    out.push_back(PlainLily("kuvshinka_simple_3", 2));
    out.push_back(HunterLily());
    out.push_back(SpringLily());
    out.push_back(StickyLily());
    // Strands start at the lily's middle and reach where the held frog is pulled.
    out.push_back(DrawSheet("liapuchka_l", 170, 100, 1, kInked,
                            [](cairo_t* cr, int) { Strand(cr, 152, 64, 14, 70); }));
    out.push_back(DrawSheet("liapuchka_p", 170, 100, 1, kInked,
                            [](cairo_t* cr, int) { Strand(cr, 68, 64, 156, 70); }));
    out.push_back(DrawSheet("liapuchka_c", 130, 160, 1, kInked,
                            [](cairo_t* cr, int) { Strand(cr, 65, 150, 65, 16); }));
}

} // namespace pondlark::assetgen
