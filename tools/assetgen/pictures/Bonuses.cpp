// Bonuses that stand on lilies, and the two effects of the frog's moves: ripples and splash.
#include "tools/assetgen/pictures/Families.h"

#include <algorithm>
#include <cmath>

namespace pondlark::assetgen {

namespace {

constexpr Rgb kFoam = Hex(0xdaf6f0), kWaterInk = Hex(0x1d4f4c);

Sheet Coin() {
    return DrawSheet("dollar", 40, 40, 1, kInked, [](cairo_t* cr, int) {
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

// Ripples: the game puts the picture just below a lily's front edge, under the lily, so mostly
// its top rows show (the top 22, or 32 for variant 2, which sits 10 px higher). The rings are
// centred on the lily's middle, above the picture, and their front arcs run out from under the
// pad, widen and fade. `variant` changes the rings: smooth, with droplets, or wavy.
Sheet Ripple(int variant) {
    return DrawSheet(
        "razvod" + std::to_string(variant), 140, 60, 6, kOnWater, [variant](cairo_t* cr, int f) {
            const double cx = 72, cy = variant == 2 ? -31 : -41; // the lily's middle
            const double reach = variant == 2 ? 30 : 21;         // rows that show below the pad
            const double start = variant == 2 ? 4 : 1;
            const int rings = variant == 1 ? 2 : 3;
            const double t = (f + 0.6) / 6.0;
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            for (int i = 0; i < rings; ++i) {
                const double k = t * 1.25 - i * 0.3;
                if (k <= 0 || k > 1.15) continue;
                const double ry = -cy + start + reach * std::min(k, 1.0);
                const double rx = ry / 0.57;
                const double fade =
                    std::clamp(std::pow(k, 1.6) * 0.85 + (f == 5 ? 0.1 : 0), 0.0, 1.0);
                const double width = 3.6 - 1.8 * fade;
                const auto ring = [&](double dy) {
                    cairo_new_path(cr);
                    for (int j = 0; j <= 120; ++j) {
                        const double a = M_PI * j / 120;
                        const double wave =
                            variant == 3 ? 0.9 * std::sin(a * 10 + f * 0.9 + i * 2.1) : 0;
                        const double x = cx + std::cos(a) * (rx + wave * 1.5);
                        const double y = cy + dy + std::sin(a) * (ry + wave);
                        if (j == 0)
                            cairo_move_to(cr, x, y);
                        else
                            cairo_line_to(cr, x, y);
                    }
                };
                // A dark trough under each crest keeps it crisp on light water.
                ring(1.8);
                SetColour(cr, Mix(kWaterInk, Hex(0x2f8080), fade));
                cairo_set_line_width(cr, width);
                cairo_stroke(cr);
                ring(0);
                SetColour(cr, Mix(kFoam, Hex(0x4a9a96), fade));
                cairo_set_line_width(cr, width);
                cairo_stroke(cr);
                // Sun glints riding on the crest.
                if (fade < 0.6)
                    for (const double a : {M_PI * 0.3, M_PI * 0.56, M_PI * 0.78}) {
                        const double x = cx + std::cos(a) * rx, y = cy + std::sin(a) * ry;
                        Ellipse(cr, x, y - 0.5, 3.2 - 2 * fade, 1.6);
                        SetColour(cr, pal::white);
                        cairo_fill(cr);
                    }
            }
            if (variant == 2 && f < 5)
                for (int i = 0; i < 6; ++i) {
                    // Droplets thrown off the lily, landing ahead of the first ring.
                    const double a = M_PI * (0.2 + 0.6 * i / 5.0);
                    const double ry = -cy + start + reach * std::min(1.0, t * 1.25 + 0.12);
                    const double x = cx + std::cos(a) * ry / 0.57;
                    const double y =
                        cy + std::sin(a) * ry + 3 + 3 * (i % 2) - 6 * std::sin(M_PI * t);
                    Ellipse(cr, x, y, 2.4 - 0.3 * f, 2.8 - 0.3 * f);
                    FillOutline(cr, kFoam, 1, kWaterInk);
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
