// Menu words: every item as it rests ("_n") and its highlight ("_d"), the titles and the
// publisher's name. Each item's word is fitted onto its pointer range, so what the player sees is
// what the pointer hits.
#include "tools/assetgen/pictures/Families.h"

#include <algorithm>
#include <cmath>

namespace pondlark::assetgen {

namespace {

// Words stand on the dark, calm parts of the menu backdrop; their soft shadow melts into it.
constexpr int kShadowRoom = 9;

struct Rect {
    int x1, y1, x2, y2; // inclusive screen pixels
    double Cx() const { return (x1 + x2 + 1) / 2.0; }
    double Cy() const { return (y1 + y2 + 1) / 2.0; }
    int W() const { return x2 - x1 + 1; }
    int H() const { return y2 - y1 + 1; }
};

struct Item {
    const char* normal;
    const char* highlight;
    const char* text;
    int nx, ny;    // where the resting word is drawn
    int dx, dy;    // where the highlight is drawn; dy < 0: at the bottom edge (600 − height)
    Rect hot;      // the pointer range the word must cover
    int reach = 0; // > 0: the resting picture reaches down to this screen y (a board behind)
};

// The high-score buttons' words, one size for all three (pixels at which the face is set).
constexpr double kButtonWordSize = 46;

// The items of the main menu, the high-score screen and the shared Back of help and options.
constexpr Item kItems[] = {
    {"Start Game_n", "Start Game_d", "Start Game", 355, 161, 328, 136, {355, 165, 735, 205}},
    {"Options_n", "Options_d", "Options", 423, 240, 413, 213, {425, 240, 675, 283}},
    {"High Score_n", "High Score_d", "High Score", 374, 312, 354, 288, {380, 315, 725, 355}},
    {"Help_n", "Help_d", "Help", 465, 388, 442, 364, {470, 390, 623, 430}},
    {"Visit Web Site_n",
     "Visit Web Site_d",
     "Visit Web Site",
     326,
     457,
     307,
     435,
     {330, 460, 765, 500}},
    {"Exit_n", "Exit_d", "Exit", 477, 529, 451, 503, {480, 530, 615, 570}},
    {"HighScore_Clear_n", "HighScore_Clear_d", "Clear", 0, 197, 0, 190, {10, 215, 185, 260}, 304},
    {"HighScore_View_n",
     "HighScore_View_d",
     "View\nOnline",
     0,
     304,
     0,
     283,
     {15, 314, 190, 382},
     437},
    {"HighScore_Back_n", "HighScore_Back_d", "Back", 0, 437, 0, 411, {42, 446, 158, 472}, 500},
    {"Help_back_n", "Help_Back_p", "Back", 347, 521, 341, -1, {375, 525, 513, 562}},
    {"Options_Back_n", nullptr, "Back", 347, 521, 0, 0, {375, 525, 513, 562}},
};

WordStyle Resting() {
    WordStyle s;
    s.top = Hex(0xfff6a0);
    s.bottom = Hex(0xf2b428);
    s.maxStretch = 2.0;
    return s;
}

WordStyle Glowing() {
    WordStyle s;
    s.top = pal::white;
    s.bottom = Hex(0xffe45a);
    s.glow = Hex(0xffd040);
    s.glowAlpha = 0.85;
    s.glowRadius = 6;
    s.maxStretch = 2.0;
    return s;
}

// The high-score buttons stand on one board at the left, below the table's header; each
// button picture, resting or lit, shows the part of the board it covers. Screen pixels.
constexpr Box kButtonBoard{4, 199, 188, 296};

void ButtonBoardPart(cairo_t* cr, const Item& it, double originX, double originY) {
    if (it.reach == 0) return;
    cairo_save(cr);
    cairo_translate(cr, -originX, -originY);
    CalmBoard(cr, kButtonBoard.x, kButtonBoard.y, kButtonBoard.w, kButtonBoard.h, 18);
    cairo_restore(cr);
}

// A button on the board needs no word as wide as its pointer range (the board covers it):
// the word keeps a margin inside the board's edge.
Rect WordRange(const Item& it) {
    if (it.reach == 0) return it.hot;
    const int x1 = std::max(it.hot.x1, static_cast<int>(kButtonBoard.x) + 14);
    const int x2 = std::min(it.hot.x2, static_cast<int>(kButtonBoard.x + kButtonBoard.w) - 16);
    return {x1, it.hot.y1, x2, it.hot.y2};
}

// Words on the high-score board are set at one size; the others fill their pointer range.
WordStyle ItemStyle(const Item& it, WordStyle s, double grow = 1) {
    if (it.reach > 0) s.fixedSize = kButtonWordSize * grow;
    return s;
}

Sheet ItemNormal(const Fonts& fonts, const Item& it) {
    const Rect word = WordRange(it);
    const int right = it.reach > 0 ? static_cast<int>(kButtonBoard.x + kButtonBoard.w) + 4
                                   : it.hot.x2 + kShadowRoom;
    const int w = std::max(it.hot.x2 + kShadowRoom, right) - it.nx;
    const int h = it.reach > 0 ? it.reach - it.ny : it.hot.y2 + kShadowRoom - it.ny;
    const Box box{double(word.x1 - it.nx), double(word.y1 - it.ny), double(word.W()),
                  double(word.H())};
    return DrawSheet(it.normal, w, h, 1, kOnMenu, [&](cairo_t* cr, int) {
        ButtonBoardPart(cr, it, it.nx, it.ny);
        DrawWord(cr, fonts.Text(), it.text, box, ItemStyle(it, Resting()));
    });
}

// The highlight is centred on the same word, a little larger, brighter and glowing.
Sheet ItemHighlight(const Fonts& fonts, const Item& it) {
    const int w = static_cast<int>(std::lround(2 * (it.hot.Cx() - it.dx)));
    const int h = it.dy >= 0 ? static_cast<int>(std::lround(2 * (it.hot.Cy() - it.dy)))
                             : static_cast<int>(std::lround(2 * (600 - it.hot.Cy())));
    const double top = it.dy >= 0 ? it.dy : 600 - h;
    const Rect word = WordRange(it);
    const double grow = 1.07;
    const Box box{word.Cx() - it.dx - word.W() * grow / 2, word.Cy() - top - word.H() * grow / 2,
                  word.W() * grow, word.H() * grow};
    return DrawSheet(it.highlight, w, h, 1, kOnMenu, [&](cairo_t* cr, int) {
        ButtonBoardPart(cr, it, it.dx, top);
        DrawWord(cr, fonts.Text(), it.text, box, ItemStyle(it, Glowing(), grow));
    });
}

// A word drawn onto its own picture of the given size.
Sheet Word(const Fonts& fonts, const std::string& name, const std::string& text, int w, int h,
           WordStyle style, double maxStretch = 1.15) {
    style.maxStretch = maxStretch;
    return DrawSheet(name, w, h, 1, kOnMenu, [&](cairo_t* cr, int) {
        DrawWord(cr, fonts.Display(), text,
                 {4, 4, w - 8.0 - style.shadowOffset, h - 8.0 - style.shadowOffset}, style);
    });
}

// "GAME" and "OVER" stand on one board centred on the screen's middle, where the words
// centre; each picture shows the part of the board it covers. Screen pixels.
constexpr Box kGameOverBoard{168, 118, 464, 338};

Sheet GameOverWord(const Fonts& fonts, const std::string& name, const std::string& text, int x,
                   int y, int w, int h, WordStyle style) {
    style.maxStretch = 1.35;
    return DrawSheet(name, w, h, 1, kOnMenu, [&](cairo_t* cr, int) {
        cairo_save(cr);
        cairo_translate(cr, -x, -y);
        const Box b = kGameOverBoard;
        CalmBoard(cr, b.x, b.y, b.w, b.h, 30);
        RoundedRect(cr, b.x + 11, b.y + 11, b.w - 22, b.h - 22, 22);
        SetColour(cr, Hex(0xd9a84a), 0.45);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_restore(cr);
        // The word's letters centre on x 400 (picture middle minus the shadow's room).
        const double room = 26 + style.shadowOffset * 0.6 + style.shadowBlur;
        DrawWord(cr, fonts.Display(), text, {room, 18, w - 2 * room, 132 - style.shadowOffset},
                 style);
    });
}

WordStyle Title() {
    WordStyle s;
    s.top = Hex(0xd8ff80);
    s.bottom = Hex(0x58b030);
    s.outline = pal::ink;
    s.outlineWidth = 7;
    s.shadowOffset = 6;
    s.shadowBlur = 4;
    return s;
}

WordStyle Small() {
    WordStyle s = Resting();
    s.outlineWidth = 3.5;
    s.shadowOffset = 3;
    s.shadowBlur = 2;
    return s;
}

// An arrow head pointing left or right, in the item style.
void Arrow(cairo_t* cr, Box b, bool right, const WordStyle& style) {
    const double x0 = right ? b.x : b.x + b.w, x1 = right ? b.x + b.w : b.x;
    cairo_move_to(cr, x0, b.y + b.h * 0.15);
    cairo_line_to(cr, x1, b.y + b.h / 2);
    cairo_line_to(cr, x0, b.y + b.h * 0.85);
    cairo_close_path(cr);
    if (style.glowAlpha > 0) {
        SetColour(cr, style.glow, 0.9);
        cairo_set_line_width(cr, style.outlineWidth + 8);
        cairo_stroke_preserve(cr);
    }
    SetColour(cr, style.outline);
    cairo_set_line_width(cr, style.outlineWidth);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* g = VerticalGradient(b.y, b.y + b.h, style.top, style.bottom);
    cairo_set_source(cr, g);
    cairo_pattern_destroy(g);
    cairo_fill(cr);
}

// "Next" with an arrow after it, or an arrow and "Previous", filling `hot` (picture pixels).
void ArrowWord(cairo_t* cr, const Fonts& fonts, Box hot, bool next, const WordStyle& style) {
    const double aw = hot.h * 0.9;
    const Box arrow{next ? hot.x + hot.w - aw : hot.x, hot.y, aw, hot.h};
    const Box word{next ? hot.x : hot.x + aw + 4, hot.y, hot.w - aw - 4, hot.h};
    DrawWord(cr, fonts.Text(), next ? "Next" : "Previous", word, style);
    Arrow(cr, arrow, next, style);
}

void AddHelpArrows(std::vector<Sheet>& out, const Fonts& fonts) {
    // Pointer ranges of the two arrows, in screen pixels.
    constexpr Rect kNext{613, 509, 709, 535}, kPrev{578, 552, 749, 577};
    constexpr int kX = 554, kY = 500;
    WordStyle s = Small();
    s.maxStretch = 2.0;
    out.push_back(
        DrawSheet("Help_arrows", 800 - kX - 30, 600 - kY, 1, kOnMenu, [&](cairo_t* cr, int) {
            ArrowWord(cr, fonts,
                      {double(kNext.x1 - kX), double(kNext.y1 - kY), double(kNext.W()),
                       double(kNext.H())},
                      true, s);
            ArrowWord(cr, fonts,
                      {double(kPrev.x1 - kX), double(kPrev.y1 - kY), double(kPrev.W()),
                       double(kPrev.H())},
                      false, s);
        }));
    WordStyle g = Glowing();
    g.outlineWidth = 3.5;
    g.maxStretch = 1.6;
    g.glowRadius = 4;
    const auto highlight = [&](const char* name, Rect hot, int x, int y, bool next) {
        const int w = static_cast<int>(std::lround(2 * (hot.Cx() - x)));
        const int h = y >= 0 ? static_cast<int>(std::lround(2 * (hot.Cy() - y)))
                             : static_cast<int>(std::lround(2 * (600 - hot.Cy())));
        const double top = y >= 0 ? y : 600 - h;
        const double k = 1.07;
        const Box b{hot.Cx() - x - hot.W() * k / 2, hot.Cy() - top - hot.H() * k / 2, hot.W() * k,
                    hot.H() * k};
        out.push_back(DrawSheet(name, w, h, 1, kOnMenu,
                                [&](cairo_t* cr, int) { ArrowWord(cr, fonts, b, next, g); }));
    };
    highlight("Help_Down", kNext, 594, 490, true);
    highlight("Help_Up", kPrev, 558, -1, false);
}

} // namespace

void AddMenuWordPictures(std::vector<Sheet>& out, const Fonts& fonts) {
    for (const Item& it : kItems) {
        out.push_back(ItemNormal(fonts, it));
        if (it.highlight) out.push_back(ItemHighlight(fonts, it));
    }
    AddHelpArrows(out, fonts);

    out.push_back(Word(fonts, "Pondlark_Word", "Pondlark", 330, 110, Title(), 1.2));
    WordStyle publisher = Resting();
    publisher.top = pal::cream;
    publisher.bottom = pal::woodLight;
    publisher.outlineWidth = 4;
    publisher.shadowOffset = 3;
    // The publisher's name on its own small board in the corner.
    out.push_back(DrawSheet("Tallowgate_Word", 240, 50, 1, kOnMenu, [&](cairo_t* cr, int) {
        CalmBoard(cr, 4, 4, 226, 44, 14);
        publisher.maxStretch = 1.15;
        DrawWord(cr, fonts.Display(), "Tallowgate", {18, 8, 196, 35}, publisher);
    }));

    WordStyle title = Title();
    title.outlineWidth = 6;
    out.push_back(Word(fonts, "Help_word", "Help", 190, 90, title));
    out.push_back(Word(fonts, "Options_Word", "Options", 260, 90, title));
    out.push_back(Word(fonts, "HighScore_Word", "High Scores", 390, 72, title));
    WordStyle big = Title();
    big.outlineWidth = 9;
    big.shadowOffset = 8;
    big.shadowBlur = 5;
    // Drawn at (149, 118) and (164, 284): 502 and 472 wide put their middles on x 400; the
    // first reaches down to the second.
    out.push_back(GameOverWord(fonts, "Game_Word", "GAME", 149, 118, 502, 166, big));
    out.push_back(GameOverWord(fonts, "Over_Word", "OVER", 164, 284, 472, 176, big));
    out.push_back(Word(fonts, "Exit_Main_Word", "Quit?", 190, 54, Resting()));
    out.push_back(Word(fonts, "HighScore_Clear_Word", "Clear the table?", 322, 54, Resting()));

    out.push_back(Word(fonts, "HighScore_Place", "Place", 110, 32, Small()));
    out.push_back(Word(fonts, "HighScore_Name", "Name", 110, 32, Small()));
    out.push_back(Word(fonts, "HighScore_Score", "Score", 110, 32, Small()));
    // The place numbers in the face the game writes the names and scores in, all at one size.
    WordStyle place = Small();
    place.fixedSize = 27;
    for (int i = 1; i <= 10; ++i) {
        const std::string digits = std::to_string(i);
        const int w = 14 + 20 * static_cast<int>(digits.size());
        out.push_back(DrawSheet("HighScore_" + digits, w, 34, 1, kOnMenu, [&](cairo_t* cr, int) {
            DrawWord(cr, fonts.Text(), digits, {2, 2, w - 4.0 - place.shadowOffset, 30}, place);
        }));
    }
}

} // namespace pondlark::assetgen
