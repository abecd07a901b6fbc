// Pondlark: the game runs with its game folder as the working directory, where Config.cfg is
// kept. `--data DIR` reads Data/ and Music/ from DIR instead, so an installed game can keep
// them in a read-only folder (the launcher in bin/ does this). `--service HOST:PORT`, or the
// environment variable PONDLARK_SERVICE, sends results to another score service than the one
// the game was built for (the option wins over the variable).
#include "app/TMainForm.h"
#include "app/WindowIcon.h"
#include "persist/WebService.h"
#include "platform/SdlPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

int main(int argc, char** argv) {
    using namespace pondlark;
    std::string dataDir = ".";
    TServiceAddress service;
    const char* fromEnvironment = std::getenv("PONDLARK_SERVICE");
    if (fromEnvironment && fromEnvironment[0] != '\0') {
        const std::optional<TServiceAddress> address = ParseServiceAddress(fromEnvironment);
        if (!address) {
            std::fprintf(stderr, "pondlark: PONDLARK_SERVICE wants HOST:PORT, not %s\n",
                         fromEnvironment);
            return 2;
        }
        service = *address;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--service") == 0 && i + 1 < argc &&
                   ParseServiceAddress(argv[i + 1])) {
            service = *ParseServiceAddress(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: pondlark [--data DIR] [--service HOST:PORT]\n");
            return 2;
        }
    }
    try {
        SdlPlatform platform;
        platform.SetIcon(kWindowIcon, kWindowIconSize);
        {
            TMainForm form(platform, ".", dataDir);
            form.ServiceAddress = service;
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
