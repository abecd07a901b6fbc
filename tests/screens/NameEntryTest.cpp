// The controller's way to a name on the panel: stepping, adding and taking away letters within
// the limits the keyboard keeps.
#include "platform/VirtualKeys.h"
#include "screens/Screens.h"

#include <gtest/gtest.h>

using namespace pondlark;

namespace {

// A face whose letters are exactly as wide as the width table allows, so the 360-pixel field
// holds far fewer letters than the game's own face lets it.
int TableWidth(const std::string& text) {
    int width = 0;
    for (const char c : text)
        width += NameCharWidth(c);
    return width;
}

constexpr int kLeft = vk::GamepadDpadLeft, kRight = vk::GamepadDpadRight, kAdd = vk::GamepadY,
              kTakeAway = vk::GamepadX;

} // namespace

TEST(PadEditName, StepsAddsAndTakesAwayWithinTheKeyboardsLimits) {
    struct Case {
        const char* name;
        int key;
        const char* edited;
    } cases[] = {
        // An empty name gets its first letter from either end of the alphabet.
        {"", kRight, "A"},
        {"", kLeft, "0"},
        {"", kAdd, "A"},
        {"", kTakeAway, ""},
        // The last letter steps round the alphabet, capitals, small letters, digits, and back.
        {"BO", kRight, "BP"},
        {"BO", kLeft, "BN"},
        {"BZ", kRight, "Ba"},
        {"Bz", kRight, "B1"},
        {"B0", kRight, "BA"},
        {"BA", kLeft, "B0"},
        {"BO", kAdd, "BOA"},
        {"BO", kTakeAway, "B"},
        // A letter the alphabet lacks (a name kept from an older table) steps as an empty slot.
        {"Bo ", kRight, "BoA"},
        {"Bo ", kLeft, "Bo0"},
        // Ten characters at most; the tenth still steps.
        {"IIIIIIIIII", kAdd, "IIIIIIIIII"},
        {"IIIIIIIIII", kRight, "IIIIIIIIIJ"},
        // 318 pixels of Ws leave room for an A (39) but then for nothing (I, the narrowest, 17).
        {"WWWWWW", kAdd, "WWWWWWA"},
        {"WWWWWWA", kAdd, "WWWWWWA"},
        // Letters too wide for the room left are stepped over.
        {"WWWWWWV", kRight, "WWWWWWX"},
        {"WWWWWWN", kLeft, "WWWWWWL"},
        {"WWWWWWII", kRight, "WWWWWWIi"},
        {"WWWWWWIi", kRight, "WWWWWWI1"},
        {"WWWWWWI1", kRight, "WWWWWWII"},
        {"WWWWWWII", kLeft, "WWWWWWI1"},
        // No room at all: the name stays as it is.
        {"WWWWWWWA", kRight, "WWWWWWWA"},
        // Keys that are not the controller's change nothing.
        {"BO", vk::Right, "BO"},
        {"BO", 'C', "BO"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadEditName(c.name, c.key, TableWidth), c.edited)
            << '"' << c.name << "\" key " << c.key;
}
