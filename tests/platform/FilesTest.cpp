#include "platform/Files.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace pondlark;
namespace fs = std::filesystem;

TEST(ReadRegularFile, ReadsOnlyRegularFilesUpToTheCap) {
    const fs::path dir = FreshTestFolder();
    auto write = [&](const char* name, size_t size) {
        std::ofstream(dir / name, std::ios::binary) << std::string(size, 'x');
        return dir / name;
    };
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink(write("target", 10), dir / "link");
    struct Case {
        const char* what;
        fs::path path;
        uint64_t cap;
        bool ok;
        size_t size;        // when ok
        const char* reason; // when not
    } cases[] = {
        {"a file of the cap", write("exact", 1024), 1024, true, 1024, ""},
        {"one byte over the cap", write("over", 1025), 1024, false, 0, "File is larger than 1 KB"},
        {"an empty file", write("empty", 0), 1024, true, 0, ""},
        {"a symlink to a file", dir / "link", 1024, true, 10, ""},
        {"a kernel file without a size", "/proc/self/status", 1 << 20, true, 0, ""},
        {"a FIFO without a writer", fifo, 1024, false, 0, "Not a regular file"},
        {"a device of endless zeros", "/dev/zero", 1024, false, 0, "Not a regular file"},
        {"a folder", dir, 1024, false, 0, "Is a directory"},
        {"nothing", dir / "absent", 1024, false, 0, "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TFileBytes got = ReadRegularFile(c.path.string(), c.cap);
        EXPECT_EQ(got.ok, c.ok);
        EXPECT_EQ(got.reason, c.reason);
        EXPECT_EQ(got.missing, c.path == dir / "absent");
        if (c.ok && c.size > 0) {
            EXPECT_EQ(got.bytes.size(), c.size);
        }
        if (c.ok && c.path.string().rfind("/proc", 0) == 0) {
            EXPECT_FALSE(got.bytes.empty()) << "read although the size says 0";
        }
        if (!c.ok) {
            EXPECT_TRUE(got.bytes.empty());
        }
    }
    fs::remove_all(dir);
}

TEST(ReplaceFile, LeavesPlantsAtTheTemporaryNameAlone) {
    const fs::path dir = FreshTestFolder();
    const fs::path path = dir / "Config.cfg";
    const fs::path outside = dir / "outside";
    std::ofstream(outside) << "precious";
    const std::function<void()> plants[] = {
        [&] { fs::create_symlink(outside, dir / "Config.cfg.new"); },
        [&] { fs::create_symlink(dir / "nowhere", dir / "Config.cfg.new"); },
        [&] { fs::create_directory(dir / "Config.cfg.new"); },
        [&] {
            for (int i = 1; i < 5; ++i)
                fs::create_symlink(outside, dir / ("Config.cfg.new-" + std::to_string(::getpid()) +
                                                   "-" + std::to_string(i)));
        },
    };
    int round = 0;
    for (const auto& plant : plants) {
        plant();
        const auto planted = std::distance(fs::directory_iterator(dir), {});
        const std::string text = "saved " + std::to_string(++round);
        EXPECT_EQ(ReplaceFile(path.string(), text.data(), text.size()), "");
        std::ifstream in(path);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
        std::ifstream victim(outside);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "precious");
        EXPECT_FALSE(fs::is_symlink(path));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), planted + (round == 1 ? 1 : 0))
            << "the plants stay, Config.cfg is the only new name, no temporary is left";
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path() != path && entry.path() != outside) fs::remove_all(entry.path());
    }
    fs::remove_all(dir);
}
