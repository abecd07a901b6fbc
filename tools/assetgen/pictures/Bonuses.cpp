// Bonuses that stand on lilies, and the two effects of the frog's moves: ripples and splash.
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr EdgeStyle kOnWater{Hex(0x1d4f4c), 0.5};
constexpr Rgb kFoam = Hex(0xdaf6f0), kWaterInk = Hex(0x1d4f4c);

Sheet Coin() {
    return DrawSheet("dollar", 40, 40, 1, {pal::inkBrown, 0.5}, [](cairo_t* cr, int) {
        // Edge first, so the coin looks thick and stands up.
        Ellipse(cr, 21.5, 20.5, 16.5, 17.5);
        FillOutline(cr, pal::goldDark, 3, pal::inkBrown);
        Ellipse(cr, 19.5, 19.5, 16.5, 17.5);
        FillPatternOutline(cr, BallGradient(19.5, 19.5, 17, pal::goldLight, pal::gold), 3,
                           pal::inkBrown);
        Ellipse(cr, 19.5, 19.5, 11.5, 12.5);
        SetColour(cr, pal::goldDark);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
        // An embossed star.
        cairo_new_path(cr);
        for (int k = 0; k < 10; ++k) {
            const double a = -M_PI / 2 + k * M_PI / 5, r = k % 2 ? 4 : 9;
            cairo_line_to(cr, 19.5 + std::cos(a) * r, 20 + std::sin(a) * r);
        }
        cairo_close_path(cr);
        FillOutline(cr, pal::goldLight, 1.5, pal::goldDark);
        // Shine.
        cairo_arc(cr, 12, 11, 2.5, 0, 2 * M_PI);
        SetColour(cr, pal::white);
        cairo_fill(cr);
    });
}

Sheet Life() {
    return DrawSheet("life", 40, 40, 1, {Hex(0x6a1010), 0.5}, [](cairo_t* cr, int) {
        // A heart with two frog eyes on top and a smile.
        cairo_move_to(cr, 20, 37);
        cairo_curve_to(cr, 4, 26, 1, 16, 6, 11);
        cairo_curve_to(cr, 11, 6, 18, 8, 20, 14);
        cairo_curve_to(cr, 22, 8, 29, 6, 34, 11);
        cairo_curve_to(cr, 39, 16, 36, 26, 20, 37);
        cairo_close_path(cr);
        FillPatternOutline(cr, BallGradient(20, 20, 18, Hex(0xff8a80), pal::red), 3, Hex(0x6a1010));
        for (int side = -1; side <= 1; side += 2) {
            const double x = 20 + side * 8;
            cairo_arc(cr, x, 9, 5.5, 0, 2 * M_PI);
            FillOutline(cr, pal::frog, 2.2);
            cairo_arc(cr, x, 9, 3, 0, 2 * M_PI);
            SetColour(cr, pal::white);
            cairo_fill(cr);
            cairo_arc(cr, x + 0.5, 9.5, 1.6, 0, 2 * M_PI);
            SetColour(cr, Hex(0x101010));
            cairo_fill(cr);
        }
        cairo_arc(cr, 20, 19, 7, 0.3, M_PI - 0.3);
        SetColour(cr, Hex(0x6a1010));
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        cairo_arc(cr, 11, 21, 2.5, 0, 2 * M_PI);
        cairo_arc(cr, 29, 21, 2.5, 0, 2 * M_PI);
        SetColour(cr, Hex(0xffb8b0));
        cairo_fill(cr);
    });
}

// Ripples: rings centred near the top of the picture (it is placed just below the lily's spot)
// that widen and fade. `variant` changes the ring pattern.
Sheet Ripple(int variant) {
    return DrawSheet(
        "razvod" + std::to_string(variant), 140, 60, 6, kOnWater, [variant](cairo_t* cr, int f) {
            const double t = (f + 1) / 6.0;
            const int rings = variant == 3 ? 3 : 2;
            for (int i = 0; i < rings; ++i) {
                const double k = t - i * 0.22;
                if (k <= 0) continue;
                const double rx = 22 + 46 * k, ry = 7 + 15 * k;
                Ellipse(cr, 70, 22, rx, ry);
                const Rgb c = Mix(kFoam, Hex(0x3a8a8a), std::pow(t, 1.5) * 0.8);
                SetColour(cr, c);
                cairo_set_line_width(cr, variant == 2 ? 4 - 2 * t : 3 - 1.5 * t);
                cairo_stroke(cr);
            }
            if (variant == 2 && f < 4)
                for (int i = 0; i < 5; ++i) {
                    const double a = i * 2 * M_PI / 5 + f * 0.3;
                    cairo_arc(cr, 70 + std::cos(a) * (30 + 30 * t),
                              22 + std::sin(a) * (10 + 10 * t), 2.5 - 0.4 * f, 0, 2 * M_PI);
                    SetColour(cr, kFoam);
                    cairo_fill(cr);
                }
        });
}

// The splash where the frog drowns: a crown of water rising and falling back into rings.
Sheet Splash() {
    static constexpr double kHeight[6] = {22, 48, 60, 44, 20, 0};
    return DrawSheet("brizgi", 120, 100, 6, kOnWater, [](cairo_t* cr, int f) {
        const double base = 70, h = kHeight[f], spread = 18 + f * 6;
        Ellipse(cr, 60, base, spread + 14, 8 + f);
        SetColour(cr, kFoam);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        if (h > 0) {
            // The crown: spikes of water around the hole.
            cairo_move_to(cr, 60 - spread - 6, base);
            const int spikes = 7;
            for (int i = 0; i <= spikes; ++i) {
                const double x = 60 - spread + 2 * spread * i / spikes;
                const double top = base - h * (0.6 + 0.4 * std::sin(i * 1.7 + 0.5));
                cairo_line_to(cr, x - 4, base - h * 0.3);
                cairo_line_to(cr, x, top);
                cairo_line_to(cr, x + 4, base - h * 0.3);
            }
            cairo_line_to(cr, 60 + spread + 6, base);
            cairo_curve_to(cr, 60 + spread, base + 8, 60 - spread, base + 8, 60 - spread - 6, base);
            cairo_close_path(cr);
            FillPatternOutline(cr, VerticalGradient(base - h, base, pal::white, Hex(0x8fd0d0)), 2.5,
                               kWaterInk);
        }
        // Drops thrown up and falling.
        Rng rng(77);
        for (int i = 0; i < 10; ++i) {
            const double a = rng.Range(-1.2, 1.2), v = rng.Range(0.6, 1.0);
            const double t = f / 5.0;
            const double x = 60 + std::sin(a) * 70 * t * v;
            const double y = base - 10 - (120 * t - 130 * t * t) * v * std::cos(a);
            if (f == 0 || y > base + 10) continue;
            Ellipse(cr, x, y, 3.5, 4.5);
            FillOutline(cr, kFoam, 1.5, kWaterInk);
        }
        if (f >= 3) {
            Ellipse(cr, 60, base, spread + 30, 12 + f * 2);
            SetColour(cr, kFoam, 1);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    });
}

} // namespace

void AddBonusPictures(std::vector<Sheet>& out) {
    out.push_back(Coin());
    out.push_back(Life());
    for (int v = 1; v <= 3; ++v)
        out.push_back(Ripple(v));
    out.push_back(Splash());
}

} // namespace pondlark::assetgen
