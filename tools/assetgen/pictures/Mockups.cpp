// Mock-ups of a few screens, composed from the pictures at the game's own positions, to check
// that things fit together before the game can show them.
#include "tools/assetgen/pictures/Families.h"

#include <filesystem>

namespace pondlark::assetgen {

namespace {

class Screen {
public:
    Screen(const std::vector<Sheet>& sheets, const Fonts& fonts) : sheets_(sheets), fonts_(fonts) {
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 800, 600);
        cr_ = cairo_create(surface_);
    }
    ~Screen() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Draws frame `frame` of `name` with its top-left at (x, y); y < 0 means at the bottom.
    void Put(const std::string& name, double x, double y, int frame = 0) {
        const Sheet& s = FindSheet(sheets_, name);
        if (y < 0) y = 600 - s.frameHeight;
        cairo_surface_t* pic = SheetSurface(s);
        cairo_save(cr_);
        cairo_rectangle(cr_, x, y, s.frameWidth, s.frameHeight);
        cairo_clip(cr_);
        cairo_set_source_surface(cr_, pic, x - s.FrameX(frame), y - s.FrameY(frame));
        cairo_paint(cr_);
        cairo_restore(cr_);
        cairo_surface_destroy(pic);
    }
    // Draws a frame scaled to w × h and centred on (cx, cy), as the game draws the pond frog.
    void PutScaled(const std::string& name, double cx, double cy, double w, double h, int frame) {
        const Sheet& s = FindSheet(sheets_, name);
        cairo_surface_t* pic = SheetSurface(s);
        cairo_save(cr_);
        cairo_translate(cr_, cx - w / 2, cy - h / 2);
        cairo_scale(cr_, w / s.frameWidth, h / s.frameHeight);
        cairo_rectangle(cr_, 0, 0, s.frameWidth, s.frameHeight);
        cairo_clip(cr_);
        cairo_set_source_surface(cr_, pic, -s.FrameX(frame), -s.FrameY(frame));
        cairo_paint(cr_);
        cairo_restore(cr_);
        cairo_surface_destroy(pic);
    }
    void Text(const std::string& text, double x, double y, double points, Rgb colour) {
        const double px = points * 96 / 72;
        Label(cr_, fonts_.Text(), text, x, y + px * 0.9, px, colour);
    }
    void Save(const std::string& path) { cairo_surface_write_to_png(surface_, path.c_str()); }

private:
    const std::vector<Sheet>& sheets_;
    const Fonts& fonts_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

constexpr Rgb kYellow{1, 1, 0};

double SpotX(int c) {
    return 20 + 150 * c;
}
double SpotY(int r) {
    return 150 * r - 25;
}

} // namespace

void WriteMockups(const std::vector<Sheet>& sheets, const Fonts& fonts,
                  const std::string& directory) {
    const std::filesystem::path dir(directory);
    {
        Screen s(sheets, fonts);
        s.Put("menu", 0, 0);
        s.Put("Board_Main", 296, 122);
        s.Put("Pondlark_Word", 0, 0);
        s.Put("Tallowgate_Word", 0, -1);
        s.Put("Start Game_n", 355, 161);
        s.Put("Options_n", 423, 240);
        s.Put("High Score_n", 374, 312);
        s.Put("Help_n", 465, 388);
        s.Put("Visit Web Site_n", 326, 457);
        s.Put("Exit_n", 477, 529);
        s.Put("Options_d", 413, 213);
        s.Save((dir / "mock-main-menu.png").string());
    }
    {
        Screen s(sheets, fonts);
        s.Put("bg1", 0, 0);
        s.Put("brevno1", 420, 140);
        s.Put("stone", 0, 135);
        const char* lilies[] = {"kuvshinka_simple_1", "kuvshinka_simple_2", "kuvshinka_simple_3",
                                "kuvshinka_hunter",   "kuvshinka_pruginka", "kuvshinka_liapuchka"};
        int k = 0;
        for (int r = 0; r <= 4; ++r)
            for (int c = 1; c <= 4; ++c) {
                if (r == 2 && c == 1) continue; // the stone's spot
                const std::string name = lilies[(k++ * 7 + r) % 6];
                const Sheet& l = FindSheet(sheets, name);
                s.Put(name, SpotX(c) - l.frameWidth / 2.0, SpotY(r) - l.frameHeight,
                      name.find("simple") != std::string::npos && r == 1 && c == 3 ? 3 : 0);
            }
        s.Put("dollar", SpotX(4) - 20, SpotY(3) - 40);
        s.Put("kroco_yes", SpotX(3), SpotY(3) - 30 - 40, 4);
        s.Put("razvod1", SpotX(2) - 72, SpotY(4) + 3, 1);
        s.PutScaled("frog", SpotX(2), 545, 34, 53, 0);
        s.PutScaled("frog", SpotX(3), 525, 78, 121, 1);
        s.Put("energi", 800 - 56, 0, 5);
        for (double x : {108.0, 303.0, 523.0})
            s.Put("panel", x, 0);
        s.Text("Level: 1", 150, -3, 15, kYellow);
        s.Text("Lives: 3", 340, -3, 15, kYellow);
        s.Text("Score: 120", 530, -3, 15, kYellow);
        s.Save((dir / "mock-pond.png").string());
    }
    {
        Screen s(sheets, fonts);
        s.Put("bg2", 0, 0);
        s.Put("aist_leng", 0, 0);
        s.Put("aist_leng", 740, 0);
        s.Put("aist", 500, 0, 2);
        s.Put("muha", 200, 150, 0);
        s.Put("pchel_", 420, 90, 1);
        s.Put("vodomerka", 560, 300, 2);
        s.Put("komar_", 100, 260, 1);
        s.Put("mushka", 330, 220, 0);
        s.Put("frogeat", 330, 430, 0);
        s.Put("konec_iazika", 400 - 10, 470 - 10);
        s.Put("energi", 800 - 56, 0, 2);
        for (double x : {108.0, 303.0, 523.0})
            s.Put("panel", x, 0);
        s.Text("Time:", 143, 0, 14, kYellow);
        s.Text("27", 230, 0, 14, kYellow);
        s.Text("Lives:", 338, 0, 14, kYellow);
        s.Text("3", 450, 0, 14, kYellow);
        s.Text("Score:", 528, 0, 14, kYellow);
        s.Text("1250", 650, 0, 14, kYellow);
        s.Save((dir / "mock-eating.png").string());
    }
    {
        Screen s(sheets, fonts);
        s.Put("menu", 0, 0);
        s.Put("Board_Wide", 188, 114);
        s.Put("Pondlark_Word", 0, 0);
        s.Put("Tallowgate_Word", 0, -1);
        s.Put("Options_Word", 355, 0);
        s.Put("Options_Display", 0, 215);
        s.Put("Options_Music", 0, 276);
        s.Put("Options_Sound", 0, 333);
        s.Put("Options_Country", 0, 386);
        s.Put("Options_Back_n", 347, 521);
        s.Put("Options_window_mode", 253, 207);
        s.Put("Options_Music_On", 256, 271);
        s.Put("Options_sound_off", 341, 327);
        s.Text("Pondland", 400, 403, 20, kYellow);
        s.Put("Exit_Main", 220, 205);
        s.Put("Exit_Main_Word", 305, 248);
        s.Put("Exit_Main_Yes_d", 287, 297);
        s.Save((dir / "mock-options.png").string());
    }
    {
        Screen s(sheets, fonts);
        s.Put("menu", 0, 0);
        s.Put("Board_Table", 188, 162);
        s.Put("Pondlark_Word", 0, 0);
        s.Put("Tallowgate_Word", 0, -1);
        s.Put("HighScore_Word", 343, 26);
        s.Put("HighScore_Place", 215, 183);
        s.Put("HighScore_Name", 420, 184);
        s.Put("HighScore_Score", 630, 183);
        const int ys[] = {221, 257, 294, 331, 368, 405, 443, 478, 516, 553};
        for (int i = 0; i < 10; ++i) {
            s.Put("HighScore_Table_row", 205, 180 + 37 * i);
            const std::string n = "HighScore_" + std::to_string(i + 1);
            s.Put(n, 275 - FindSheet(sheets, n).frameWidth / 2.0, ys[i]);
            if (i < 9) {
                s.Text("Maxine", 370, 217 + 37 * i, 16, kYellow);
                s.Text(std::to_string(5000 - 450 * i), 620, 217 + 37 * i, 16, kYellow);
            }
        }
        s.Put("HighScore_Clear_n", 0, 197);
        s.Put("HighScore_View_n", 0, 304);
        s.Put("HighScore_Back_n", 0, 437);
        s.Put("HighScore_View_d", 0, 283);
        s.Save((dir / "mock-high-scores.png").string());
    }
    {
        Screen s(sheets, fonts);
        s.Put("menu", 0, 0);
        s.Put("Enter_Name", 180, 150);
        s.Put("Enter_Name_Send", 243, 362);
        s.Text("4250", 400 - 12 * 4, 225, 20, Rgb{0, 0.5, 0});
        s.Text("Maxine", 360, 310, 20, Rgb{0, 0.5, 0});
        s.Put("palka", 440, 343);
        s.Save((dir / "mock-name-entry.png").string());
    }
}

} // namespace pondlark::assetgen
