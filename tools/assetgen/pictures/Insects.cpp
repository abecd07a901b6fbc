// The food of the eating stage. Each insect is drawn facing left (the plain name, flying left)
// and mirrored for the name with "_" (flying right).
#include "tools/assetgen/pictures/Families.h"

#include <cmath>

namespace pondlark::assetgen {

namespace {

// Insects fly over sky and water; their soft edges melt into the dark outline.
constexpr EdgeStyle kEdge{Hex(0x1a1a22), 0.5};
constexpr Rgb kWing = Hex(0xe4f4ff), kWingInk = Hex(0x4a6a80);

// A wing fixed at (x, y), swept by `beat` (−1 down … 1 up).
void Wing(cairo_t* cr, double x, double y, double len, double width, double beat, double lean) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, lean - beat * 0.5);
    cairo_scale(cr, 1, 0.55 + 0.45 * std::abs(beat));
    Ellipse(cr, 0, -len / 2, width / 2, len / 2);
    cairo_restore(cr);
    SetColour(cr, kWing, 1);
    cairo_fill_preserve(cr);
    SetColour(cr, kWingInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_move_to(cr, x, y);
}

// Thin legs hanging below the body.
void Legs(cairo_t* cr, double x0, double x1, double y, double len, int count, Rgb ink) {
    for (int i = 0; i < count; ++i) {
        const double x = x0 + (x1 - x0) * i / std::max(1, count - 1);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 3 - i * 2, y + len * 0.6);
        cairo_line_to(cr, x + 1 - i * 3, y + len);
        SetColour(cr, ink);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
}

void Eye(cairo_t* cr, double x, double y, double r, Rgb iris) {
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    FillOutline(cr, iris, 1.5, Hex(0x1a1a22));
    cairo_arc(cr, x - r * 0.3, y - r * 0.35, r * 0.35, 0, 2 * M_PI);
    SetColour(cr, pal::white);
    cairo_fill(cr);
}

constexpr double kBeat[3] = {1, 0, -1};

Sheet Midge() {
    return DrawSheet("mushka", 22, 18, 3, kEdge, [](cairo_t* cr, int f) {
        Legs(cr, 8, 13, 11, 5, 3, Hex(0x303038));
        Wing(cr, 12, 8, 9, 5, kBeat[f], 0.5);
        Ellipse(cr, 12, 10, 6, 3.2);
        FillOutline(cr, Hex(0x6a6a7a), 1.5, Hex(0x1a1a22));
        cairo_arc(cr, 5, 9, 3, 0, 2 * M_PI);
        FillOutline(cr, Hex(0x50505e), 1.5, Hex(0x1a1a22));
        Eye(cr, 4, 8.5, 1.5, Hex(0xff6040));
    });
}

Sheet Fly() {
    return DrawSheet("muha", 36, 28, 3, kEdge, [](cairo_t* cr, int f) {
        Legs(cr, 12, 22, 18, 8, 3, Hex(0x202028));
        Wing(cr, 19, 12, 16, 9, kBeat[f], 0.6);
        Ellipse(cr, 21, 16, 10, 6.5);
        FillPatternOutline(cr, BallGradient(21, 16, 10, Hex(0x6a8aa8), Hex(0x203048)), 2,
                           Hex(0x1a1a22));
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, 17 + i * 5, 10.5);
            cairo_line_to(cr, 17 + i * 5, 21.5);
        }
        SetColour(cr, Hex(0x1a1a22), 0.6);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        cairo_arc(cr, 9, 15, 6, 0, 2 * M_PI);
        FillOutline(cr, Hex(0x384058), 2, Hex(0x1a1a22));
        Eye(cr, 7, 13, 3.6, Hex(0xe8302c));
        Wing(cr, 22, 12, 13, 7, kBeat[f] * 0.8, 1.0);
    });
}

Sheet Mosquito() {
    return DrawSheet("komar", 44, 30, 3, kEdge, [](cairo_t* cr, int f) {
        // Long thin legs.
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, 18 + i * 4, 17);
            cairo_line_to(cr, 12 + i * 9, 23);
            cairo_line_to(cr, 8 + i * 12, 29);
            SetColour(cr, Hex(0x4a3420));
            cairo_set_line_width(cr, 1.3);
            cairo_stroke(cr);
        }
        Wing(cr, 22, 13, 14, 6, kBeat[f], 0.9);
        // Slim striped abdomen pointing back.
        Ellipse(cr, 31, 16, 10, 3.6);
        FillOutline(cr, Hex(0xb08050), 1.5, Hex(0x2a1a10));
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, 26 + i * 4, 13);
            cairo_line_to(cr, 26 + i * 4, 19);
        }
        SetColour(cr, Hex(0x5a3a20));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        Ellipse(cr, 18, 15, 5, 4);
        FillOutline(cr, Hex(0x8a6040), 1.5, Hex(0x2a1a10));
        cairo_arc(cr, 11, 14, 3.6, 0, 2 * M_PI);
        FillOutline(cr, Hex(0x7a5030), 1.5, Hex(0x2a1a10));
        Eye(cr, 10, 13, 2, Hex(0x40c060));
        // The proboscis.
        cairo_move_to(cr, 8, 15);
        cairo_line_to(cr, 1, 19);
        SetColour(cr, Hex(0x2a1a10));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
}

Sheet PondSkater() {
    // Leg strokes: the long middle legs row the skater along.
    static constexpr double kStroke[4] = {-1, -0.3, 1, 0.3};
    return DrawSheet("vodomerka", 52, 28, 4, kEdge, [](cairo_t* cr, int f) {
        const double s = kStroke[f];
        const auto leg = [&](double x0, double y0, double x1, double y1, double x2, double y2) {
            cairo_move_to(cr, x0, y0);
            cairo_line_to(cr, x1, y1);
            cairo_line_to(cr, x2, y2);
            SetColour(cr, Hex(0x2a2018));
            cairo_set_line_width(cr, 1.8);
            cairo_stroke(cr);
            cairo_arc(cr, x2, y2, 1.8, 0, 2 * M_PI);
            SetColour(cr, Hex(0xd8f4ee));
            cairo_fill(cr);
        };
        for (int side = -1; side <= 1; side += 2) {
            leg(14, 14, 8, 14 + side * 7, 2, 14 + side * 9);                           // front
            leg(22, 14, 24 + s * 4, 14 + side * 9, 30 + s * 8, 14 + side * 12);        // rowing
            leg(26, 14, 36, 14 + side * 7, 50 - s * 2, 14 + side * (9 - std::abs(s))); // hind
        }
        Ellipse(cr, 26, 14, 14, 3.5);
        FillPatternOutline(cr, VerticalGradient(10, 18, Hex(0x9a7a50), Hex(0x4a3420)), 1.8,
                           Hex(0x2a1a10));
        cairo_arc(cr, 12, 14, 3.2, 0, 2 * M_PI);
        FillOutline(cr, Hex(0x6a5030), 1.5, Hex(0x2a1a10));
        Eye(cr, 11, 12.5, 1.6, Hex(0xffd040));
    });
}

Sheet Bee() {
    return DrawSheet("pchel", 40, 32, 3, kEdge, [](cairo_t* cr, int f) {
        Legs(cr, 15, 23, 22, 6, 3, Hex(0x2a1a10));
        Wing(cr, 21, 13, 15, 9, kBeat[f], 0.5);
        // Striped body.
        Ellipse(cr, 23, 19, 11, 8);
        cairo_save(cr);
        cairo_clip_preserve(cr);
        SetColour(cr, Hex(0xffc820));
        cairo_fill(cr);
        for (int i = 0; i < 3; ++i) {
            cairo_rectangle(cr, 19 + i * 6, 8, 3, 24);
            SetColour(cr, Hex(0x2a1a10));
            cairo_fill(cr);
        }
        cairo_restore(cr);
        Ellipse(cr, 23, 19, 11, 8);
        SetColour(cr, Hex(0x2a1a10));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // Stinger.
        cairo_move_to(cr, 33, 18);
        cairo_line_to(cr, 38, 20);
        cairo_line_to(cr, 33, 22);
        cairo_close_path(cr);
        FillOutline(cr, Hex(0x2a1a10), 1);
        cairo_arc(cr, 11, 18, 5.5, 0, 2 * M_PI);
        FillOutline(cr, Hex(0x3a2a18), 2, Hex(0x1a1a22));
        Eye(cr, 9, 17, 2.2, Hex(0xffffff));
        cairo_arc(cr, 8.6, 17.4, 1.1, 0, 2 * M_PI);
        SetColour(cr, Hex(0x101010));
        cairo_fill(cr);
        Wing(cr, 23, 13, 12, 7, kBeat[f] * 0.8, 0.95);
    });
}

void AddBoth(std::vector<Sheet>& out, Sheet left) {
    Sheet right = Mirrored(left, left.name + "_");
    out.push_back(std::move(left));
    out.push_back(std::move(right));
}

} // namespace

void AddInsectPictures(std::vector<Sheet>& out) {
    AddBoth(out, Midge());
    AddBoth(out, Fly());
    AddBoth(out, Mosquito());
    AddBoth(out, PondSkater());
    AddBoth(out, Bee());
}

} // namespace pondlark::assetgen
