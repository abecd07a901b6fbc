// Feeds arbitrary bytes to the Config.cfg reader, as a file: it may only return values within
// the entries' limits and name damaged lines among the 25, never crash or read without bound.
#include "persist/Config.h"
#include "persist/EntryText.h"
#include "persist/HighScores.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An anonymous file in memory, read through its /proc name like any settings file.
    const int fd = ::memfd_create("Config.cfg", MFD_CLOEXEC);
    if (fd < 0) return 0;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const auto v = pondlark::ReadConfig(path, pondlark::DefaultHighScores());
    ::close(fd);
    if (!v) std::abort(); // the file is there
    if (v->Country.size() > pondlark::kEntryMaxLength) std::abort();
    if (v->PlayerName.size() > pondlark::kEntryMaxLength) std::abort();
    for (const auto& entry : v->HighScores)
        if (entry.Name.size() > pondlark::kEntryMaxLength) std::abort();
    for (const int line : v->DamagedLines)
        if (line < 1 || line > 25) std::abort();
    return 0;
}
