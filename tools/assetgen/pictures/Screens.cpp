// Screens and panels: the status plaques and hunger bottle, the options rows and their marks,
// the high-score divider, the name panel, the question panel and the publisher's emblem.
#include "tools/assetgen/pictures/Families.h"

#include <algorithm>
#include <cmath>

namespace pondlark::assetgen {

namespace {

WordStyle Choice() {
    WordStyle s;
    s.top = Hex(0xfff6a0);
    s.bottom = Hex(0xf2b428);
    s.outlineWidth = 4;
    s.shadowOffset = 3;
    s.shadowBlur = 2;
    return s;
}

WordStyle LabelStyle() {
    WordStyle s = Choice();
    s.top = pal::white;
    s.bottom = Hex(0xbfe6d8);
    s.outline = pal::ink;
    return s;
}

// The labels of the options stand on one board at the left, split over the four row pictures
// (each row reaches down to the next one, so the board shows whole). Screen pixels.
constexpr double kLabelBoardX = 6, kLabelBoardY = 214, kLabelBoardW = 178, kLabelBoardH = 250;

void LabelBoardPart(cairo_t* cr, int rowY) {
    cairo_save(cr);
    cairo_translate(cr, 0, -rowY);
    CalmBoard(cr, kLabelBoardX, kLabelBoardY, kLabelBoardW, kLabelBoardH, 18);
    cairo_restore(cr);
}

// Every label at one size, centred on its row's middle; "Display", the first, keeps clear of
// the board's top edge.
constexpr double kLabelSize = 33;

void RowLabel(cairo_t* cr, const Fonts& fonts, const std::string& label, int rowY, int y1, int y2) {
    WordStyle l = LabelStyle();
    l.fixedSize = kLabelSize;
    const double h = 34;
    DrawWord(cr, fonts.Display(), label,
             {kLabelBoardX + 14, (y1 + y2 + 1) / 2.0 - h / 2 - rowY + 4, kLabelBoardW - 28, h}, l);
}

// The keys' row marker: a glowing golden leaf pointing at the row's choices, in the menus'
// highlight glow. The game draws it left of the row, 4 px above the row's top.
Sheet RowMarker() {
    constexpr int kW = 58, kH = 42;
    return DrawSheet("Options_marker", kW, kH, 1, kOnMenu, [](cairo_t* cr, int) {
        const auto leaf = [cr] {
            cairo_new_path(cr);
            cairo_move_to(cr, 12, 21);
            cairo_curve_to(cr, 20, 6, 36, 7, 48, 21);
            cairo_curve_to(cr, 36, 35, 20, 36, 12, 21);
            cairo_close_path(cr);
        };
        // The glow: the leaf's shape, wide and soft, as the highlights' words have.
        for (int ring = 4; ring >= 1; --ring) {
            leaf();
            SetColour(cr, Hex(0xffd040), 0.16);
            cairo_set_line_width(cr, ring * 4.0);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke(cr);
        }
        leaf();
        cairo_pattern_t* g = VerticalGradient(7, 36, pal::white, Hex(0xffe45a));
        FillPatternOutline(cr, g, 3, pal::inkBrown);
        // Its vein, and a stalk trailing behind.
        cairo_move_to(cr, 16, 21);
        cairo_line_to(cr, 44, 21);
        SetColour(cr, Hex(0xd9a030));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_move_to(cr, 4, 24);
        cairo_curve_to(cr, 8, 22, 10, 21, 13, 21);
        SetColour(cr, pal::inkBrown);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    });
}

// A soft golden band behind a row of the high-score table: the result just stored.
Sheet LitRow() {
    // From x 235 (clear of the publisher's board in the corner) to the dividers' end at 775.
    return DrawSheet("HighScore_Lit", 540, 33, 1, kOnMenu, [](cairo_t* cr, int) {
        RoundedRect(cr, 2, 2, 536, 29, 12);
        cairo_pattern_t* g = VerticalGradient(2, 31, Hex(0x7a6020), Hex(0x4a3a12));
        cairo_set_source(cr, g);
        cairo_pattern_destroy(g);
        cairo_fill_preserve(cr);
        SetColour(cr, Hex(0xffd040));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    });
}

// The keys' highlight of a row of the high-score table whose game can be watched: a glowing
// white rim just around the row's band (the game draws it 4 px left of and 3 px above the
// band), so the row's text and a lit band under it stay as they are.
Sheet PickedRow() {
    return DrawSheet("HighScore_Pick", 548, 39, 1, kOnMenu, [](cairo_t* cr, int) {
        for (int ring = 3; ring >= 1; --ring) {
            RoundedRect(cr, 3, 3, 542, 33, 14);
            SetColour(cr, Hex(0xffe070), 0.25);
            cairo_set_line_width(cr, ring * 2.0);
            cairo_stroke(cr);
        }
        RoundedRect(cr, 3, 3, 542, 33, 14);
        SetColour(cr, pal::white);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    });
}

// The mark of a table row whose game was kept: a small golden "play" triangle in a ring, at the
// row's right end.
Sheet ReplayMark() {
    constexpr int kSize = 22;
    return DrawSheet("HighScore_Replay", kSize, kSize, 1, kOnMenu, [](cairo_t* cr, int) {
        Ellipse(cr, 11, 11, 9.5, 9.5);
        SetColour(cr, Hex(0x0a2426));
        cairo_fill_preserve(cr);
        SetColour(cr, pal::gold);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
        cairo_move_to(cr, 8.5, 6);
        cairo_line_to(cr, 16, 11);
        cairo_line_to(cr, 8.5, 16);
        cairo_close_path(cr);
        SetColour(cr, pal::goldLight);
        cairo_fill(cr);
    });
}

// One options row at (0, y) reaching down to `next`: a label on the left board and its
// choices at their pointer ranges.
struct Choice_ {
    const char* text;
    int x1, x2; // screen pixels
};

Sheet OptionsRow(const Fonts& fonts, const std::string& name, const std::string& label, int y,
                 int next, int y1, int y2, std::initializer_list<Choice_> choices) {
    std::vector<Choice_> list(choices);
    return DrawSheet(name, 790, next - y, 1, kOnMenu, [&](cairo_t* cr, int) {
        LabelBoardPart(cr, y);
        RowLabel(cr, fonts, label, y, y1, y2);
        for (const Choice_& c : list) {
            WordStyle s = Choice();
            s.maxStretch = 1.5;
            DrawWord(cr, fonts.Text(), c.text,
                     {double(c.x1), double(y1 - y), double(c.x2 - c.x1 + 1), double(y2 - y1 + 1)},
                     s);
        }
    });
}

Sheet CountryRow(const Fonts& fonts) {
    constexpr int kY = 386;
    return DrawSheet("Options_Country", 790, 82, 1, kOnMenu, [&](cairo_t* cr, int) {
        LabelBoardPart(cr, kY);
        RowLabel(cr, fonts, "Country", kY, 404, 437);
        // The text field: the country is typed over x 400–775, y 400–445.
        RoundedRect(cr, 392, 398 - kY, 388, 50, 10);
        SetColour(cr, Hex(0x0a2426));
        cairo_fill_preserve(cr);
        GoldEdge(cr, 5);
    });
}

// A glowing leafy frame around a chosen option word; its middle stays clear.
Sheet Mark(const std::string& name, int x, int y, int x1, int y1, int x2, int y2) {
    const int w = static_cast<int>(std::lround(2 * ((x1 + x2 + 1) / 2.0 - x)));
    const int h = static_cast<int>(std::lround(2 * ((y1 + y2 + 1) / 2.0 - y)));
    return DrawSheet(name, w, h, 1, kOnMenu, [w, h](cairo_t* cr, int) {
        RoundedRect(cr, 4, 4, w - 8, h - 8, 12);
        SetColour(cr, pal::ink);
        cairo_set_line_width(cr, 7);
        cairo_stroke_preserve(cr);
        SetColour(cr, pal::leafLight);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
        // A small leaf in the top-left corner.
        cairo_save(cr);
        cairo_translate(cr, 10, 8);
        cairo_rotate(cr, -0.6);
        Ellipse(cr, 0, 0, 8, 4.5);
        cairo_restore(cr);
        FillOutline(cr, pal::leaf, 2);
    });
}

Sheet Bottle() {
    return DrawSheet("energi", 56, 150, 12, kInked, [](cairo_t* cr, int f) {
        const double level = f / 11.0;
        const auto body = [&] {
            cairo_new_path(cr);
            cairo_move_to(cr, 21, 14);
            cairo_line_to(cr, 21, 34);
            cairo_curve_to(cr, 6, 42, 5, 52, 5, 62);
            cairo_line_to(cr, 5, 136);
            cairo_curve_to(cr, 5, 144, 10, 146, 16, 146);
            cairo_line_to(cr, 40, 146);
            cairo_curve_to(cr, 46, 146, 51, 144, 51, 136);
            cairo_line_to(cr, 51, 62);
            cairo_curve_to(cr, 51, 52, 50, 42, 35, 34);
            cairo_line_to(cr, 35, 14);
            cairo_close_path(cr);
        };
        // Glass.
        body();
        SetColour(cr, Hex(0xcfe8ec));
        cairo_fill(cr);
        // Liquid up to its level.
        if (f > 0) {
            const double top = 142 - level * 116;
            cairo_save(cr);
            body();
            cairo_clip(cr);
            cairo_rectangle(cr, 0, top, 56, 150);
            cairo_pattern_t* g = cairo_pattern_create_linear(5, 0, 51, 0);
            cairo_pattern_add_color_stop_rgb(g, 0, 0.45, 0.85, 0.25);
            cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.55, 0.12);
            cairo_set_source(cr, g);
            cairo_pattern_destroy(g);
            cairo_fill(cr);
            Ellipse(cr, 28, top, 24, 3);
            SetColour(cr, Hex(0xb8f070));
            cairo_fill(cr);
            Rng rng(static_cast<uint64_t>(f));
            for (int i = 0; i < 2 + f / 2; ++i) {
                const double y = rng.Range(top + 6, 140);
                cairo_arc(cr, rng.Range(12, 44), y, rng.Range(1.5, 3), 0, 2 * M_PI);
                SetColour(cr, Hex(0xe0ffc0), 0.9);
                cairo_fill(cr);
            }
            cairo_restore(cr);
        }
        // Scale marks and the glass shine.
        for (int i = 1; i < 4; ++i) {
            cairo_move_to(cr, 40, 142 - i * 29.0);
            cairo_line_to(cr, 48, 142 - i * 29.0);
        }
        SetColour(cr, pal::inkBrown, 0.6);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_move_to(cr, 12, 60);
        cairo_line_to(cr, 12, 132);
        SetColour(cr, pal::white, 0.8);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        body();
        SetColour(cr, pal::inkBrown);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
        // Cork.
        RoundedRect(cr, 18, 3, 20, 16, 4);
        FillPatternOutline(cr, VerticalGradient(3, 19, pal::woodLight, pal::wood), 3,
                           pal::inkBrown);
        // The last frame warns: a red rim on the cork.
        if (f == 11) {
            RoundedRect(cr, 18, 3, 20, 16, 4);
            SetColour(cr, pal::red);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    });
}

// The status plaque hangs from the top edge: a dark wooden board whose body (y 0–25) holds
// the 14–15 point status text drawn from y −3 or 0, with two leaves hanging at its ends. Its
// dark wood keeps the yellow text readable; the text's own rim does the rest.
Sheet Plaque() {
    return DrawSheet("panel", 190, 36, 1, kInked, [](cairo_t* cr, int) {
        // Leaves first, so the board overlaps their stalks.
        for (const auto& [x, lean] : {std::pair{13.0, -0.35}, std::pair{177.0, 0.35}}) {
            cairo_save(cr);
            cairo_translate(cr, x, 22);
            cairo_rotate(cr, lean);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, 7, 4, 6, 10, 0, 13);
            cairo_curve_to(cr, -6, 10, -7, 4, 0, 0);
            cairo_restore(cr);
            FillOutline(cr, pal::leaf, 2);
        }
        RoundedRect(cr, 2, -14, 186, 41, 10);
        FillPatternOutline(cr, VerticalGradient(0, 27, Hex(0x6a3c1c), Hex(0x3e220e)), 3.5,
                           Hex(0x1c1008));
        Rng rng(9);
        for (int i = 0; i < 4; ++i) {
            const double y = 5 + i * 5 + rng.Range(-1, 1);
            cairo_move_to(cr, 10 + rng.Range(0, 30), y);
            cairo_curve_to(cr, 60, y + rng.Range(-2, 2), 120, y + rng.Range(-2, 2),
                           180 - rng.Range(0, 30), y);
        }
        SetColour(cr, Hex(0x7a4a26), 0.5);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        // A warm rim along the board's lower edge.
        cairo_move_to(cr, 12, 23.5);
        cairo_line_to(cr, 178, 23.5);
        SetColour(cr, Hex(0xa8703a), 0.8);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
}

void CalmPanel(cairo_t* cr, double x, double y, double w, double h) {
    CalmBoard(cr, x, y, w, h, 22);
}

Sheet QuestionPanel(const Fonts& fonts) {
    constexpr int kX = 220, kY = 205; // where the game centres it, 5 px above the middle
    return DrawSheet("Exit_Main", 360, 180, 1, kInked, [&](cairo_t* cr, int) {
        CalmPanel(cr, 3, 3, 354, 174);
        WordStyle s = Choice();
        s.maxStretch = 1.2;
        DrawWord(cr, fonts.Text(), "Yes", {305.0 - kX, 309.0 - kY, 73, 34}, s);
        DrawWord(cr, fonts.Text(), "No", {441.0 - kX, 311.0 - kY, 49, 32}, s);
    });
}

Sheet AnswerHighlight(const Fonts& fonts, const std::string& name, const std::string& text, int x,
                      int y, Box word) {
    const int w = static_cast<int>(std::lround(2 * (word.x + word.w / 2 - x)));
    const int h = static_cast<int>(std::lround(2 * (word.y + word.h / 2 - y)));
    return DrawSheet(name, w, h, 1, {Hex(0x1e5052), 0.3}, [&](cairo_t* cr, int) {
        WordStyle s = Choice();
        s.top = pal::white;
        s.bottom = Hex(0xffe45a);
        s.glow = Hex(0xffd040);
        s.glowAlpha = 0.85;
        s.glowRadius = 5;
        s.maxStretch = 1.2;
        const double k = 1.1;
        DrawWord(cr, fonts.Text(), text,
                 {w / 2.0 - word.w * k / 2, h / 2.0 - word.h * k / 2, word.w * k, word.h * k}, s);
    });
}

Sheet NamePanel(const Fonts& fonts) {
    constexpr int kX = 180, kY = 150; // centred on the screen
    return DrawSheet("Enter_Name", 440, 300, 1, kInked, [&](cairo_t* cr, int) {
        RoundedRect(cr, 3, 3, 434, 294, 24);
        FillPatternOutline(cr, VerticalGradient(3, 297, Hex(0xfffbe6), Hex(0xe9f4c8)), 6,
                           pal::inkBrown);
        RoundedRect(cr, 11, 11, 418, 278, 18);
        SetColour(cr, Hex(0x8fbf5a));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        WordStyle head;
        head.top = Hex(0x9ad94f);
        head.bottom = Hex(0x2e8a2a);
        head.outline = pal::ink;
        head.outlineWidth = 4;
        head.shadowAlpha = 0.35;
        head.shadowOffset = 3;
        head.shadowBlur = 2;
        DrawWord(cr, fonts.Display(), "New High Score!", {70, 16, 300, 48}, head);
        // A soft band behind the score (drawn by the game at y 225).
        RoundedRect(cr, 270.0 - kX, 222.0 - kY, 260, 36, 14);
        SetColour(cr, Hex(0xdcedb4));
        cairo_fill(cr);
        Label(cr, fonts.Text(), "Enter your name:", 400.0 - kX - 78, 303.0 - kY, 18, Hex(0x2e6a2a));
        // Name field, x 250–550, y 315–348.
        RoundedRect(cr, 246.0 - kX, 311.0 - kY, 308, 42, 9);
        FillOutline(cr, pal::white, 3, Hex(0x3a7a2a));
        // Send box, x 245–283, y 367–405, and its label.
        RoundedRect(cr, 245.0 - kX, 367.0 - kY, 38, 38, 7);
        FillOutline(cr, pal::white, 3, Hex(0x3a7a2a));
        Label(cr, fonts.Text(), "Send result", 296.0 - kX, 394.0 - kY, 22, Hex(0x2e6a2a));
    });
}

Sheet Tick() {
    return DrawSheet("Enter_Name_Send", 45, 45, 1, {pal::ink, 0.5}, [](cairo_t* cr, int) {
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, 9, 23);
            cairo_line_to(cr, 19, 35);
            cairo_line_to(cr, 38, 8);
            SetColour(cr, pass == 0 ? pal::ink : pal::leaf);
            cairo_set_line_width(cr, pass == 0 ? 10 : 5.5);
            cairo_stroke(cr);
        }
    });
}

Sheet Emblem(const Fonts& fonts) {
    return DrawSheet("logo", 90, 90, 1, kInked, [&](cairo_t* cr, int) {
        cairo_arc(cr, 45, 45, 42, 0, 2 * M_PI);
        FillPatternOutline(cr, BallGradient(45, 45, 42, pal::woodLight, pal::wood), 4,
                           pal::inkBrown);
        cairo_arc(cr, 45, 45, 35, 0, 2 * M_PI);
        SetColour(cr, pal::goldLight);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // An arched garden gate with a candle flame above it.
        cairo_move_to(cr, 26, 70);
        cairo_line_to(cr, 26, 44);
        cairo_arc(cr, 45, 44, 19, M_PI, 2 * M_PI);
        cairo_line_to(cr, 64, 70);
        cairo_close_path(cr);
        FillOutline(cr, Hex(0x3a2212), 3, pal::inkBrown);
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, 31 + i * 9.3, 70);
            cairo_line_to(cr, 31 + i * 9.3, 38 - (i == 1 || i == 2 ? 6 : 0));
        }
        SetColour(cr, pal::cream);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        cairo_move_to(cr, 45, 8);
        cairo_curve_to(cr, 52, 16, 50, 22, 45, 24);
        cairo_curve_to(cr, 40, 22, 38, 16, 45, 8);
        FillOutline(cr, pal::orange, 2, pal::inkBrown);
        (void)fonts;
    });
}

} // namespace

void AddScreenPictures(std::vector<Sheet>& out, const Fonts& fonts) {
    out.push_back(Bottle());
    out.push_back(Plaque());
    // The text caret: a bright yellow-orange core in a dark outline with clipped corners, so it
    // reads on the dark options field (yellow text) and on the light name panel (green text).
    out.push_back(DrawSheet("palka", 18, 4, 1, kInked, [](cairo_t* cr, int) {
        cairo_rectangle(cr, 1, 0, 16, 4);
        cairo_rectangle(cr, 0, 1, 18, 2);
        SetColour(cr, pal::inkBrown);
        cairo_fill(cr);
        cairo_rectangle(cr, 1, 1, 16, 1);
        SetColour(cr, Hex(0xffe640));
        cairo_fill(cr);
        cairo_rectangle(cr, 1, 2, 16, 1);
        SetColour(cr, Hex(0xff9a1c));
        cairo_fill(cr);
    }));
    out.push_back(OptionsRow(fonts, "Options_Display", "Display", 215, 276, 218, 250,
                             {{"Window", 260, 440}, {"Full Screen", 468, 765}}));
    out.push_back(OptionsRow(fonts, "Options_Music", "Music", 276, 333, 280, 310,
                             {{"On", 260, 320}, {"Off", 348, 435}}));
    out.push_back(OptionsRow(fonts, "Options_Sound", "Sound", 333, 386, 338, 370,
                             {{"On", 260, 320}, {"Off", 348, 435}}));
    out.push_back(CountryRow(fonts));
    out.push_back(RowMarker());
    out.push_back(LitRow());
    out.push_back(PickedRow());
    out.push_back(ReplayMark());
    out.push_back(Mark("Options_window_mode", 253, 207, 260, 218, 440, 250));
    out.push_back(Mark("Options_full_screen", 458, 207, 468, 218, 765, 250));
    out.push_back(Mark("Options_Music_On", 256, 271, 260, 280, 320, 310));
    out.push_back(Mark("Options_Music_Of", 338, 270, 348, 280, 435, 310));
    out.push_back(Mark("Options_sound_on", 254, 327, 260, 338, 320, 370));
    out.push_back(Mark("Options_sound_off", 341, 327, 348, 338, 435, 370));
    out.push_back(DrawSheet("HighScore_Table_row", 570, 4, 1, kInked, [](cairo_t* cr, int) {
        const Rgb rows[4] = {pal::inkBrown, Hex(0xf2c860), Hex(0xd9a84a), pal::inkBrown};
        for (int y = 0; y < 4; ++y) {
            cairo_rectangle(cr, 0, y, 570, 1);
            SetColour(cr, rows[y]);
            cairo_fill(cr);
        }
    }));
    out.push_back(NamePanel(fonts));
    out.push_back(Tick());
    out.push_back(QuestionPanel(fonts));
    out.push_back(AnswerHighlight(fonts, "Exit_Main_Yes_d", "Yes", 287, 297, {305, 309, 73, 34}));
    out.push_back(AnswerHighlight(fonts, "Exit_Main_No_d", "No", 427, 296, {441, 311, 49, 32}));
    out.push_back(Emblem(fonts));
}

} // namespace pondlark::assetgen
