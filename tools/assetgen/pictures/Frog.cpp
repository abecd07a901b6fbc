// The hero: the pond frog seen from above, the eating frog seen from behind, and its tongue.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr double kOutline = 3.5;

struct Pt {
    double x, y;
};

Pt Lerp(Pt a, Pt b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// A cartoon limb: a thick dark stroke under a slightly thinner coloured one.
void Limb(cairo_t* cr, std::initializer_list<Pt> joints, double width, Rgb colour) {
    for (int pass = 0; pass < 2; ++pass) {
        bool first = true;
        for (Pt p : joints) {
            if (first)
                cairo_move_to(cr, p.x, p.y);
            else
                cairo_line_to(cr, p.x, p.y);
            first = false;
        }
        SetColour(cr, pass == 0 ? pal::ink : colour);
        cairo_set_line_width(cr, pass == 0 ? width + 2 * kOutline - 1 : width);
        cairo_stroke(cr);
    }
}

// Three webbed toes fanning out from `at` in direction `angle` (radians, 0 = up).
void Toes(cairo_t* cr, Pt at, double angle, double len) {
    for (int k = -1; k <= 1; ++k) {
        const double a = angle + k * 0.45;
        const Pt tip{at.x + std::sin(a) * len, at.y - std::cos(a) * len};
        Limb(cr, {at, tip}, 3.2, pal::frog);
        cairo_arc(cr, tip.x, tip.y, 2.6, 0, 2 * M_PI);
        FillOutline(cr, pal::frogLight, 1.5);
    }
}

// A big webbed hind foot: four long toes fanning from the ankle with skin stretched between.
void HindFoot(cairo_t* cr, Pt at, double angle, double len) {
    Pt tips[4];
    for (int k = 0; k < 4; ++k) {
        const double a = angle + (k - 1.5) * 0.32;
        const double l = len * (k == 1 || k == 2 ? 1.0 : 0.82);
        tips[k] = {at.x + std::sin(a) * l, at.y - std::cos(a) * l};
    }
    // The web: a fan with a scalloped edge between the toe tips.
    cairo_move_to(cr, at.x, at.y);
    cairo_line_to(cr, tips[0].x, tips[0].y);
    for (int k = 1; k < 4; ++k) {
        const Pt mid = Lerp(Lerp(tips[k - 1], tips[k], 0.5), at, 0.28);
        cairo_curve_to(cr, mid.x, mid.y, mid.x, mid.y, tips[k].x, tips[k].y);
    }
    cairo_close_path(cr);
    FillOutline(cr, Mix(pal::frog, pal::leafDark, 0.25), 2.5);
    for (const Pt& tip : tips) {
        Limb(cr, {at, tip}, 2.6, pal::frog);
        cairo_arc(cr, tip.x, tip.y, 2.8, 0, 2 * M_PI);
        FillOutline(cr, pal::frogLight, 1.5);
    }
}

// A limb through `joints` that bends smoothly, thick at the first joint and thin at the last.
void CurvedLimb(cairo_t* cr, Pt hip, Pt knee, Pt ankle, double thigh, double shin) {
    for (int pass = 0; pass < 2; ++pass) {
        const Rgb c = pass == 0 ? pal::ink : pal::frog;
        const double grow = pass == 0 ? 2 * kOutline - 1 : 0;
        // The shin first, so the thigh's muscle overlaps it at the knee.
        cairo_move_to(cr, knee.x, knee.y);
        cairo_line_to(cr, ankle.x, ankle.y);
        SetColour(cr, c);
        cairo_set_line_width(cr, shin + grow);
        cairo_stroke(cr);
        // The thigh: a fat teardrop from the hip to the knee.
        const double dx = knee.x - hip.x, dy = knee.y - hip.y;
        const double l = std::hypot(dx, dy);
        cairo_save(cr);
        cairo_translate(cr, (hip.x + knee.x) / 2, (hip.y + knee.y) / 2);
        cairo_rotate(cr, std::atan2(dy, dx));
        Ellipse(cr, 0, 0, l / 2 + thigh * 0.35 + grow / 2, thigh / 2 + grow / 2);
        cairo_restore(cr);
        if (pass == 0) {
            SetColour(cr, c);
            cairo_fill(cr);
        } else {
            cairo_pattern_t* g = BallGradient(hip.x, hip.y, l, pal::frogLight, pal::frog);
            cairo_set_source(cr, g);
            cairo_pattern_destroy(g);
            cairo_fill(cr);
        }
    }
}

struct FrogPose {
    double bodyCy = 70, bodyRy = 27; // body centre and half length
    double armReach = 0;             // 0 arms at the sides … 1 stretched forward
    double legExtend = 0;            // 0 folded … 1 straight back
    bool croak = false;
};

// The pond frog from above, facing up, centred on x 39 of a 78 × 121 frame.
void TopFrog(cairo_t* cr, const FrogPose& p) {
    const double cx = 39;
    const double headCy = p.bodyCy - p.bodyRy * 0.78;
    // Hind legs: a fat thigh, a shin and a big webbed foot, folded beside the body or
    // stretched straight behind it.
    for (int side = -1; side <= 1; side += 2) {
        const Pt hip{cx + side * 12, p.bodyCy + p.bodyRy * 0.5};
        const Pt kneeF{cx + side * 31, p.bodyCy + p.bodyRy * 0.05};
        const Pt kneeE{cx + side * 16, hip.y + 18};
        const Pt ankleF{cx + side * 21, p.bodyCy + p.bodyRy + 4};
        const Pt ankleE{cx + side * 11, std::min(hip.y + 38, 102.0)};
        const Pt knee = Lerp(kneeF, kneeE, p.legExtend), ankle = Lerp(ankleF, ankleE, p.legExtend);
        HindFoot(cr, ankle, side * (2.2 + 0.65 * p.legExtend), 13 + 3 * p.legExtend);
        CurvedLimb(cr, hip, knee, ankle, 12, 6.5);
    }
    // Front legs.
    for (int side = -1; side <= 1; side += 2) {
        const Pt shoulder{cx + side * 14, headCy + 14};
        const Pt elbowRest{cx + side * 24, headCy + 20}, elbowReach{cx + side * 17, headCy + 2};
        const Pt handRest{cx + side * 23, headCy + 4}, handReach{cx + side * 15, headCy - 24};
        const Pt elbow = Lerp(elbowRest, elbowReach, p.armReach);
        const Pt hand = Lerp(handRest, handReach, p.armReach);
        Limb(cr, {shoulder, elbow, hand}, 6, pal::frog);
        Toes(cr, hand, side * (0.5 - 0.4 * p.armReach), 6);
    }
    if (p.croak) {
        // The throat puffed into a big shiny sac bulging out under the chin.
        Ellipse(cr, cx, headCy - 1, 35, 24);
        FillPatternOutline(cr, BallGradient(cx, headCy - 6, 34, pal::white, Hex(0xffc0b8)),
                           kOutline);
        Ellipse(cr, cx - 25, headCy - 10, 4, 6);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    }
    // Body and head: outlines first, then fills, so they read as one shape.
    const auto shapes = [&] {
        Ellipse(cr, cx, p.bodyCy, 21, p.bodyRy);
        Ellipse(cr, cx, headCy, 18, 15);
        for (int side = -1; side <= 1; side += 2)
            Ellipse(cr, cx + side * 11, headCy - 8, 8.5, 8.5);
    };
    shapes();
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, 2 * kOutline);
    cairo_stroke(cr);
    shapes();
    cairo_pattern_t* skin =
        BallGradient(cx, p.bodyCy - 8, p.bodyRy + 16, pal::frogLight, pal::frog);
    cairo_set_source(cr, skin);
    cairo_pattern_destroy(skin);
    cairo_fill(cr);
    // A pale stripe and dark spots on the back.
    Ellipse(cr, cx, p.bodyCy + 2, 4, p.bodyRy * 0.6);
    SetColour(cr, pal::frogBelly, 0.75);
    cairo_fill(cr);
    for (const auto& [dx, dy, r] :
         {std::tuple{-11.0, 0.1, 4.0}, {12.0, 0.35, 3.5}, {-8.0, 0.6, 3.0}, {9.0, -0.25, 2.6}}) {
        cairo_arc(cr, cx + dx, p.bodyCy + dy * p.bodyRy, r, 0, 2 * M_PI);
        SetColour(cr, pal::leafDark);
        cairo_fill(cr);
    }
    // Eyes looking ahead.
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * 11, ey = headCy - 9;
        cairo_arc(cr, ex, ey, 6, 0, 2 * M_PI);
        FillOutline(cr, pal::white, 2);
        cairo_arc(cr, ex + side * 0.5, ey - 1.5, 3.4, 0, 2 * M_PI);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_arc(cr, ex - 1, ey - 3, 1.3, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    }
    // Nostrils.
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, cx + side * 3.5, headCy - 10, 1.2, 0, 2 * M_PI);
        SetColour(cr, pal::ink);
        cairo_fill(cr);
    }
}

Sheet PondFrog() {
    static constexpr FrogPose kPoses[6] = {
        {70, 27, 0, 0, false},                            // idle
        {70, 27, 0, 0, true},                             // croak
        {74, 23, 0, 0, false},                            // crouch
        {60, 33, 1, 0.2, false},                          // stretched forward, held
        {60, 31, 0.7, 0.7, false}, {54, 30, 1, 1, false}, // take-off, in the air
    };
    return DrawSheet("frog", 78, 121, 6, {pal::ink, 0.5},
                     [](cairo_t* cr, int f) { TopFrog(cr, kPoses[f]); });
}

// The eating frog from behind, looking up at the sky; `lift` raises everything but the feet.
void BackFrog(cairo_t* cr, double lift) {
    const double cx = 70;
    // Hind legs: feet planted at the bottom, shins stretching as the frog rises.
    for (int side = -1; side <= 1; side += 2) {
        const Pt hip{cx + side * 28, 148 - lift};
        const Pt knee{cx + side * (54 - lift * 0.1), 156 - lift * 0.5};
        const Pt ankle{cx + side * 34, 162};
        Limb(cr, {hip, knee, ankle}, 18, pal::frog);
        cairo_move_to(cr, ankle.x, ankle.y);
        Ellipse(cr, ankle.x + side * 12, 164, 16, 5);
        FillOutline(cr, pal::frogLight, 3);
    }
    const auto shapes = [&] {
        Ellipse(cr, cx, 134 - lift, 44, 32);
        Ellipse(cr, cx, 100 - lift, 36, 24);
        for (int side = -1; side <= 1; side += 2)
            Ellipse(cr, cx + side * 23, 82 - lift, 13, 13);
    };
    shapes();
    SetColour(cr, pal::ink);
    cairo_set_line_width(cr, 2 * kOutline + 1);
    cairo_stroke(cr);
    shapes();
    cairo_pattern_t* skin = BallGradient(cx, 100 - lift, 70, pal::frogLight, pal::frog);
    cairo_set_source(cr, skin);
    cairo_pattern_destroy(skin);
    cairo_fill(cr);
    // The back's pattern and the spine ridge.
    for (const auto& [dx, dy, r] : {std::tuple{-20.0, 128.0, 7.0},
                                    {22.0, 138.0, 6.0},
                                    {-6.0, 150.0, 5.0},
                                    {10.0, 116.0, 4.5},
                                    {-26.0, 106.0, 4.0}}) {
        cairo_arc(cr, cx + dx, dy - lift, r, 0, 2 * M_PI);
        SetColour(cr, pal::leafDark);
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx - 30, 112 - lift);
    cairo_curve_to(cr, cx - 10, 106 - lift, cx + 10, 106 - lift, cx + 30, 112 - lift);
    SetColour(cr, pal::leafDark, 0.6);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    // Eyes seen from behind: golden eyeballs peeking over the head.
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * 23, ey = 77 - lift;
        cairo_save(cr);
        cairo_arc(cr, ex, ey, 9, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        FillOutline(cr, Hex(0xffe27a), 2.5);
        cairo_arc(cr, ex, ey - 2, 4, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // Little hands held against the belly.
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(cr, cx + side * 20, 162 - lift, 9, 6);
        FillOutline(cr, pal::frogLight, 3);
    }
}

Sheet EatingFrog() {
    static constexpr double kLift[3] = {0, 25, 65};
    // Keyed pixels cannot be soft: a dark cartoon rim round the whole frog hides the steps of
    // its edge against the grass.
    return DrawSheet("frogeat", 140, 170, 3, {pal::ink, 0.5}, [](cairo_t* cr, int f) {
        WithInkRim(cr, 140, 170, 2.5, pal::ink, [f](cairo_t* c) { BackFrog(c, kLift[f]); });
    });
}

} // namespace

void AddFrogPictures(std::vector<Sheet>& out) {
    out.push_back(PondFrog());
    out.push_back(EatingFrog());
    // The tongue strip: stretched lengthwise, so only its cross-section matters.
    out.push_back(DrawSheet("iazik", 4, 10, 1, {pal::pinkDark, 0.5}, [](cairo_t* cr, int) {
        const Rgb columns[4] = {pal::pinkDark, pal::pink, Hex(0xffb0c8), pal::pinkDark};
        for (int x = 0; x < 4; ++x) {
            cairo_rectangle(cr, x, 0, 1, 10);
            SetColour(cr, columns[x]);
            cairo_fill(cr);
        }
    }));
    out.push_back(DrawSheet("konec_iazika", 20, 20, 1, {pal::pinkDark, 0.5}, [](cairo_t* cr, int) {
        cairo_arc(cr, 10, 10, 8.5, 0, 2 * M_PI);
        FillPatternOutline(cr, BallGradient(10, 10, 8.5, Hex(0xffd0de), pal::pink), 2.5,
                           pal::pinkDark);
        cairo_arc(cr, 7.5, 7, 2, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    }));
}

} // namespace pondlark::assetgen
