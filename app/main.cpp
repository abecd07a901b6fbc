// Pondlark: the game runs with its game folder as the working directory.
#include "app/TMainForm.h"
#include "platform/SdlPlatform.h"

#include <cstdio>

int main() {
    using namespace pondlark;
    try {
        SdlPlatform platform;
        TMainForm form(platform, ".");
        if (!form.Start()) return 1;
        form.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark: %s\n", e.what());
        return 1;
    }
    return 0;
}
