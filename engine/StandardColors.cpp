#include "engine/StandardColors.h"

#include "engine/THashCollection.h"

#include <array>

namespace pondlark {

namespace {

struct NamedColor {
    std::string_view name;
    TColor value;
};

constexpr TColor Sys(uint32_t index) {
    return 0x80000000u | index;
}

constexpr std::array<NamedColor, 47> kColors{{
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},
    {"clGreen", 0x008000},        {"clOlive", 0x008080},
    {"clNavy", 0x800000},         {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},       {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},         {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},       {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},   {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},        {"clMedGray", 0xA4A0A0},
    {"clNone", clNone},           {"clDefault", clDefault},
    {"clScrollBar", Sys(0)},      {"clBackground", Sys(1)},
    {"clActiveCaption", Sys(2)},  {"clInactiveCaption", Sys(3)},
    {"clMenu", Sys(4)},           {"clWindow", Sys(5)},
    {"clWindowFrame", Sys(6)},    {"clMenuText", Sys(7)},
    {"clWindowText", Sys(8)},     {"clCaptionText", Sys(9)},
    {"clActiveBorder", Sys(10)},  {"clInactiveBorder", Sys(11)},
    {"clAppWorkSpace", Sys(12)},  {"clHighlight", Sys(13)},
    {"clHighlightText", Sys(14)}, {"clBtnFace", Sys(15)},
    {"clBtnShadow", Sys(16)},     {"clGrayText", Sys(17)},
    {"clBtnText", Sys(18)},       {"clInactiveCaptionText", Sys(19)},
    {"clBtnHighlight", Sys(20)},  {"cl3DDkShadow", Sys(21)},
    {"cl3DLight", Sys(22)},
}};

// Index 23 and 24 (clInfoText, clInfoBk) are looked up separately to keep the table above flat.
constexpr std::array<NamedColor, 2> kInfoColors{{{"clInfoText", Sys(23)}, {"clInfoBk", Sys(24)}}};

// A classic grey desktop scheme, one entry per system colour index 0..24.
constexpr std::array<TColor, 25> kSystemScheme{
    RGBColor(212, 208, 200), RGBColor(58, 110, 165),  RGBColor(10, 36, 106),
    RGBColor(128, 128, 128), RGBColor(212, 208, 200), RGBColor(255, 255, 255),
    RGBColor(0, 0, 0),       RGBColor(0, 0, 0),       RGBColor(0, 0, 0),
    RGBColor(255, 255, 255), RGBColor(212, 208, 200), RGBColor(212, 208, 200),
    RGBColor(128, 128, 128), RGBColor(10, 36, 106),   RGBColor(255, 255, 255),
    RGBColor(212, 208, 200), RGBColor(128, 128, 128), RGBColor(128, 128, 128),
    RGBColor(0, 0, 0),       RGBColor(212, 208, 200), RGBColor(255, 255, 255),
    RGBColor(64, 64, 64),    RGBColor(212, 208, 200), RGBColor(0, 0, 0),
    RGBColor(255, 255, 225),
};

} // namespace

std::optional<TColor> IdentToColor(std::string_view ident) {
    for (const auto& c : kColors)
        if (SameTextIgnoringCase(c.name, ident)) return c.value;
    for (const auto& c : kInfoColors)
        if (SameTextIgnoringCase(c.name, ident)) return c.value;
    return std::nullopt;
}

TColor ColorToRGB(TColor color) {
    if (color & 0x80000000u) {
        const uint32_t index = color & 0xFF;
        return index < kSystemScheme.size() ? kSystemScheme[index] : 0;
    }
    return color & 0xFFFFFF;
}

} // namespace pondlark
