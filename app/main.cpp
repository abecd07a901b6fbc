// Pondlark: the game runs with its game folder as the working directory.
#include "app/TMainForm.h"
#include "persist/WebService.h"
#include "platform/SdlPlatform.h"

#include <cstdio>

int main() {
    using namespace pondlark;
    try {
        SdlPlatform platform;
        {
            TMainForm form(platform, ".");
            if (!form.Start()) return 1;
            form.Run();
        }
        // The main window is gone and its loop has ended: a link file beside the game opens now.
        OpenPlayLink(platform, ".");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark: %s\n", e.what());
        return 1;
    }
    return 0;
}
