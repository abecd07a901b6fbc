// The generated graphic archive holds every picture the game asks for, with the frame layout and
// the sizes its placement rules depend on.
#include "engine/TDXImageList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pondlark {
namespace {

constexpr uint32_t kKey = 0xFF00FF;

class AssetArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pictures_ = new TPictureCollection();
        pictures_->LoadFromFile(PONDLARK_GAME_DIR "/Data/Graphic.dxg");
    }
    static void TearDownTestSuite() {
        delete pictures_;
        pictures_ = nullptr;
    }
    static const TPictureCollectionItem& Get(const std::string& name) {
        return pictures_->Find(name);
    }
    static int Frames(const TPictureCollectionItem& item) {
        return (item.Picture().Width / item.Width()) * (item.Picture().Height / item.Height());
    }
    static bool Opaque(const TPictureCollectionItem& item, int x, int y) {
        const TDibImage& p = item.Picture();
        return (p.Pixels[static_cast<size_t>(y) * p.Width + x] & 0xFFFFFF) != kKey;
    }
    static TPictureCollection* pictures_;
};

TPictureCollection* AssetArchive::pictures_ = nullptr;

struct Expect {
    const char* name;
    int frames, width, height;
    int slack; // 0: exact; otherwise the size may differ by this many pixels
};

// Every name the game uses, its frame count and frame size.
constexpr Expect kPictures[] = {
    {"bg1", 1, 800, 600, 0},
    {"sample", 1, 8, 8, 0},
    {"stone", 1, 230, 165, 10},
    {"brevno1", 1, 150, 40, 10},
    {"brevno2", 1, 120, 36, 10},
    {"kuvshinka_simple_1", 8, 130, 100, 0},
    {"kuvshinka_simple_2", 8, 130, 100, 0},
    {"kuvshinka_simple_3", 8, 130, 100, 0},
    {"kuvshinka_hunter", 6, 130, 100, 0},
    {"kuvshinka_pruginka", 5, 130, 100, 0},
    {"kuvshinka_liapuchka", 6, 130, 100, 0},
    {"liapuchka_l", 1, 170, 100, 10},
    {"liapuchka_p", 1, 170, 100, 10},
    {"liapuchka_c", 1, 130, 160, 10},
    {"kroco_yes", 6, 60, 30, 6},
    {"kroko", 8, 300, 180, 20},
    {"frog", 6, 78, 121, 0},
    {"frogeat", 3, 140, 170, 0},
    {"iazik", 1, 4, 10, 0},
    {"konec_iazika", 1, 20, 20, 4},
    {"energi", 12, 56, 150, 8},
    {"panel", 1, 190, 36, 6},
    {"palka", 1, 18, 4, 4},
    {"bg2", 1, 800, 600, 0},
    {"mushka", 3, 22, 18, 4},
    {"mushka_", 3, 22, 18, 4},
    {"muha", 3, 36, 28, 4},
    {"muha_", 3, 36, 28, 4},
    {"komar", 3, 44, 30, 4},
    {"komar_", 3, 44, 30, 4},
    {"vodomerka", 4, 52, 28, 4},
    {"vodomerka_", 4, 52, 28, 4},
    {"pchel", 3, 40, 32, 4},
    {"pchel_", 3, 40, 32, 4},
    {"aist_leng", 1, 60, 600, 0},
    {"dollar", 1, 40, 40, 4},
    {"life", 1, 40, 40, 4},
    {"razvod1", 6, 140, 60, 8},
    {"razvod2", 6, 140, 60, 8},
    {"razvod3", 6, 140, 60, 8},
    {"brizgi", 6, 120, 100, 10},
    {"menu", 1, 800, 600, 0},
    {"logo", 1, 90, 90, 10},
    {"Enter_Name", 1, 440, 300, 20},
    {"Enter_Name_Send", 1, 45, 45, 5},
    {"Exit_Main", 1, 360, 180, 20},
    {"HighScore_Table_row", 1, 570, 4, 10},
    {"Pondlark_Word", 1, 330, 110, 20},
    {"Tallowgate_Word", 1, 240, 50, 15},
};

// Names whose sizes follow from their positions and pointer ranges (checked below) or are free.
constexpr const char* kOtherNames[] = {"Help_word",
                                       "Help_arrows",
                                       "Help_Down",
                                       "Help_Up",
                                       "Options_Word",
                                       "Options_Display",
                                       "Options_Music",
                                       "Options_Sound",
                                       "Options_Country",
                                       "Options_window_mode",
                                       "Options_full_screen",
                                       "Options_Music_On",
                                       "Options_Music_Of",
                                       "Options_sound_on",
                                       "Options_sound_off",
                                       "HighScore_Word",
                                       "HighScore_Place",
                                       "HighScore_Name",
                                       "HighScore_Score",
                                       "Exit_Main_Word",
                                       "HighScore_Clear_Word",
                                       "Exit_Main_Yes_d",
                                       "Exit_Main_No_d",
                                       "Game_Word",
                                       "Over_Word",
                                       "aist",
                                       "Board_Main",
                                       "Board_Wide",
                                       "Board_Table",
                                       "Options_marker",
                                       "HighScore_Lit",
                                       "HighScore_Pick",
                                       "HighScore_Replay",
                                       "Help_stork"};

TEST_F(AssetArchive, EveryPictureHasItsFramesAndSize) {
    for (const Expect& e : kPictures) {
        SCOPED_TRACE(e.name);
        const TPictureCollectionItem& item = Get(e.name);
        EXPECT_EQ(Frames(item), e.frames);
        EXPECT_NEAR(item.Width(), e.width, e.slack);
        EXPECT_NEAR(item.Height(), e.height, e.slack);
    }
    for (const char* name : kOtherNames)
        EXPECT_NO_THROW(Get(name)) << name;
    for (int i = 1; i <= 10; ++i) {
        const auto& place = Get("HighScore_" + std::to_string(i));
        EXPECT_NEAR(place.Height(), 30, 6) << i;
    }
}

TEST_F(AssetArchive, EveryPictureIsKeyedByMagentaWithoutFringes) {
    for (int i = 0; i < pictures_->Count(); ++i) {
        const TPictureCollectionItem& item = pictures_->Items(i);
        SCOPED_TRACE(item.Name());
        EXPECT_TRUE(item.Transparent);
        EXPECT_EQ(item.TransparentColor(), kKey);
        // A visible pixel next to a keyed one must not be a near-key pink.
        const TDibImage& p = item.Picture();
        int fringes = 0;
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x + 1 < p.Width; ++x) {
                const uint32_t a = p.Pixels[static_cast<size_t>(y) * p.Width + x] & 0xFFFFFF;
                const uint32_t b = p.Pixels[static_cast<size_t>(y) * p.Width + x + 1] & 0xFFFFFF;
                const uint32_t c = a == kKey ? b : a;
                if ((a == kKey) == (b == kKey)) continue;
                const int r = (c >> 16) & 255, g = (c >> 8) & 255, bl = c & 255;
                if (r > 180 && bl > 180 && g < 90) ++fringes;
            }
        EXPECT_EQ(fringes, 0);
    }
}

TEST_F(AssetArchive, StorkAndTongueFollowTheirMovementRules) {
    const auto& stork = Get("aist");
    EXPECT_EQ(Frames(stork), 4);
    EXPECT_EQ(stork.Height() % 30, 0);
    EXPECT_GT(stork.Height(), 470);
    EXPECT_NEAR(stork.Width(), 150, 30);
    // The beak tip reaches the bottom row of every frame.
    for (int f = 0; f < 4; ++f) {
        bool tip = false;
        for (int x = 0; x < stork.Width(); ++x)
            tip |= Opaque(stork, f * stork.Width() + x, stork.Height() - 1);
        EXPECT_TRUE(tip) << "frame " << f;
    }
    const auto& tongue = Get("iazik");
    for (int y = 0; y < tongue.Height(); ++y)
        for (int x = 0; x < tongue.Width(); ++x)
            EXPECT_TRUE(Opaque(tongue, x, y));
}

TEST_F(AssetArchive, StoneIsTouchedOnlyByTheFirstColumnFrog) {
    const auto& stone = Get("stone");
    const int h = stone.Height();
    for (int y = h - 55; y < h; ++y) {
        for (int x = 170; x <= 205; ++x)
            ASSERT_TRUE(Opaque(stone, x, y)) << x << "," << y;
        for (int x = 300; x < stone.Width(); ++x)
            ASSERT_FALSE(Opaque(stone, x, y)) << x;
    }
    EXPECT_LT(stone.Width(), 300);
}

struct Hot {
    const char* name;
    int x, y; // where the game draws it; y < 0: at the bottom edge
    int x1, y1, x2, y2;
};

// Pointer ranges the words must cover, where the game draws them.
constexpr Hot kHot[] = {
    {"Start Game_n", 355, 161, 355, 165, 735, 205},
    {"Start Game_d", 328, 136, 355, 165, 735, 205},
    {"Options_n", 423, 240, 425, 240, 675, 283},
    {"Options_d", 413, 213, 425, 240, 675, 283},
    {"High Score_n", 374, 312, 380, 315, 725, 355},
    {"High Score_d", 354, 288, 380, 315, 725, 355},
    {"Help_n", 465, 388, 470, 390, 623, 430},
    {"Help_d", 442, 364, 470, 390, 623, 430},
    {"Visit Web Site_n", 326, 457, 330, 460, 765, 500},
    {"Visit Web Site_d", 307, 435, 330, 460, 765, 500},
    {"Exit_n", 477, 529, 480, 530, 615, 570},
    {"Exit_d", 451, 503, 480, 530, 615, 570},
    {"HighScore_Clear_n", 0, 197, 10, 215, 185, 260},
    {"HighScore_View_n", 0, 304, 15, 314, 190, 382},
    {"HighScore_Back_n", 0, 437, 42, 446, 158, 472},
    {"Help_back_n", 347, 521, 375, 525, 513, 562},
    {"Help_Back_p", 341, -1, 375, 525, 513, 562},
    {"Options_Back_n", 347, 521, 375, 525, 513, 562},
    {"Help_Down", 594, 490, 613, 509, 709, 535},
    {"Help_Up", 558, -1, 578, 552, 749, 577},
    {"Options_Display", 0, 215, 260, 218, 440, 250},
    {"Options_Display", 0, 215, 468, 218, 765, 250},
    {"Options_Music", 0, 276, 260, 280, 320, 310},
    {"Options_Music", 0, 276, 348, 280, 435, 310},
    {"Options_Sound", 0, 333, 260, 338, 320, 370},
    {"Options_Sound", 0, 333, 348, 338, 435, 370},
};

TEST_F(AssetArchive, MenuWordsCoverTheirPointerRanges) {
    constexpr int kSlack = 6;
    for (const Hot& h : kHot) {
        SCOPED_TRACE(h.name + std::string(" at ") + std::to_string(h.x1));
        const auto& item = Get(h.name);
        const int top = h.y >= 0 ? h.y : 600 - item.Height();
        // Ink of the picture inside the pointer range (with a little slack around it).
        int x1 = 10000, y1 = 10000, x2 = -1, y2 = -1;
        for (int y = std::max(0, h.y1 - top - kSlack);
             y <= std::min(item.Height() - 1, h.y2 - top + kSlack); ++y)
            for (int x = std::max(0, h.x1 - h.x - kSlack);
                 x <= std::min(item.Width() - 1, h.x2 - h.x + kSlack); ++x)
                if (Opaque(item, x, y)) {
                    x1 = std::min(x1, x + h.x), x2 = std::max(x2, x + h.x);
                    y1 = std::min(y1, y + top), y2 = std::max(y2, y + top);
                }
        EXPECT_LE(x1, h.x1 + kSlack);
        EXPECT_GE(x2, h.x2 - kSlack);
        EXPECT_LE(y1, h.y1 + kSlack);
        EXPECT_GE(y2, h.y2 - kSlack);
    }
}

} // namespace
} // namespace pondlark
