// The rectangles of the menu screens that answer the pointer, inclusive on every side as the
// screens have always tested them. The screens test against them and the soak player aims at
// their centres, so a moved button moves for both.
#pragma once

#include <utility>

namespace pondlark {

struct THotRect {
    int X1, X2, Y1, Y2;

    constexpr bool Contains(int x, int y) const { return x >= X1 && x <= X2 && y >= Y1 && y <= Y2; }
    // Within the rectangle's rows, whatever the column.
    constexpr bool HasRow(int y) const { return y >= Y1 && y <= Y2; }
    constexpr std::pair<int, int> Centre() const { return {(X1 + X2) / 2, (Y1 + Y2) / 2}; }
};

namespace hot {

// The main menu.
inline constexpr THotRect kStart{355, 735, 165, 205};
inline constexpr THotRect kOptions{425, 675, 240, 283};
inline constexpr THotRect kHighScores{380, 725, 315, 355};
inline constexpr THotRect kHelp{470, 623, 390, 430};
inline constexpr THotRect kVisit{330, 765, 460, 500};
inline constexpr THotRect kExit{480, 615, 530, 570};

// The Back word of the help and options screens.
inline constexpr THotRect kBack{375, 513, 525, 562};

// The help screen's page arrows.
inline constexpr THotRect kHelpNext{613, 709, 509, 535};
inline constexpr THotRect kHelpPrevious{578, 749, 552, 577};

// The options screen.
inline constexpr THotRect kWindowMode{260, 440, 218, 250};
inline constexpr THotRect kFullScreen{468, 765, 218, 250};
inline constexpr THotRect kMusicOn{260, 320, 280, 310};
inline constexpr THotRect kMusicOff{348, 435, 280, 310};
inline constexpr THotRect kSoundOn{260, 320, 338, 370};
inline constexpr THotRect kSoundOff{348, 435, 338, 370};
inline constexpr THotRect kCountry{400, 775, 400, 445};

// The high-score screen.
inline constexpr THotRect kClearTable{10, 185, 215, 260};
inline constexpr THotRect kViewOnline{15, 190, 314, 382};
inline constexpr THotRect kTableBack{42, 158, 446, 472};
// A row of the table (place 0-9), the band from the place number to the dividers' end.
constexpr THotRect TableRow(int place) {
    return {235, 774, 219 + 37 * place, 251 + 37 * place};
}

// The name entry.
inline constexpr THotRect kNameText{250, 550, 315, 348};
inline constexpr THotRect kSendBox{245, 283, 367, 405};

// The yes/no questions.
inline constexpr THotRect kExitYes{300, 370, 310, 335};
inline constexpr THotRect kExitNo{441, 490, 312, 338};
inline constexpr THotRect kClearYes{310, 385, 310, 350};
inline constexpr THotRect kClearNo{430, 490, 310, 350};

} // namespace hot

} // namespace pondlark
