// Pondlark: the game runs with its game folder as the working directory, where Config.cfg is
// kept. `--data DIR` reads Data/ and Music/ from DIR instead, so an installed game can keep
// them in a read-only folder (the launcher in bin/ does this).
#include "app/TMainForm.h"
#include "app/WindowIcon.h"
#include "persist/WebService.h"
#include "platform/SdlPlatform.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    using namespace pondlark;
    std::string dataDir = ".";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            dataDir = argv[++i];
        } else {
            std::fprintf(stderr, "usage: pondlark [--data DIR]\n");
            return 2;
        }
    }
    try {
        SdlPlatform platform;
        platform.SetIcon(kWindowIcon, kWindowIconSize);
        {
            TMainForm form(platform, ".", dataDir);
            if (!form.Start()) return 1;
            form.Run();
        }
        // The main window is gone and its loop has ended: a link file beside the game opens now.
        OpenPlayLink(platform, dataDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pondlark: %s\n", e.what());
        return 1;
    }
    return 0;
}
