// pondlark-assetgen GAMEDIR [CONTACT_SHEET.png]: draws the game's content into GAMEDIR/Data.
#include "tools/assetgen/pictures/Pictures.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s GAMEDIR [CONTACT_SHEET.png]\n", argv[0]);
        return 2;
    }
    try {
        pondlark::assetgen::GeneratePictures(argv[1], argc == 3 ? argv[2] : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
