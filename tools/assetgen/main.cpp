// pondlark-assetgen GAMEDIR [CONTACT_SHEET.png]: draws the game's content into GAMEDIR/Data.
// pondlark-assetgen --icon FILE.png [SIZE]: draws the program's icon (128 × 128 by default).
// pondlark-assetgen --icon-svg FILE.svg: the same icon, scalable.
// pondlark-assetgen --icon-source FILE.cpp SIZE: the icon as pixels in a C++ source for the
// window.
#include "tools/assetgen/pictures/Icon.h"
#include "tools/assetgen/pictures/Pictures.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    const auto usage = [&] {
        std::fprintf(stderr,
                     "usage: %s GAMEDIR [CONTACT_SHEET.png]\n       %s --icon FILE.png [SIZE]\n"
                     "       %s --icon-svg FILE.svg\n       %s --icon-source FILE.cpp SIZE\n",
                     argv[0], argv[0], argv[0], argv[0]);
        return 2;
    };
    if (argc < 2 || argc > 4) return usage();
    try {
        const std::string command = argv[1];
        if (command == "--icon-svg") {
            if (argc != 3) return usage();
            pondlark::assetgen::WriteIconSvg(argv[2]);
        } else if (command == "--icon" || command == "--icon-source") {
            const bool source = command == "--icon-source";
            if (argc < (source ? 4 : 3)) return usage();
            int size = 128;
            if (argc == 4 && (std::sscanf(argv[3], "%d", &size) != 1 || size < 16 || size > 1024))
                return usage();
            if (source)
                pondlark::assetgen::WriteIconSource(argv[2], size);
            else
                pondlark::assetgen::WriteIcon(argv[2], size);
        } else if (argc == 4) {
            return usage();
        } else {
            pondlark::assetgen::GeneratePictures(argv[1], argc == 3 ? argv[2] : "");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
