#include "platform/ComposeCache.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

using namespace pondlark;
namespace fs = std::filesystem;

TEST(ComposeCacheFolder, ThePlayersCacheUnlessTheyChoseOneOrAreTheSuperuser) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        const char* what;
        Env env;
        unsigned uid;
        const char* folder; // nullptr: none
    };
    const Case cases[] = {
        {"the XDG cache", {{"XDG_CACHE_HOME", "/c"}, {"HOME", "/h"}}, 1000, "/c/pondlark/compose"},
        {"the home's cache", {{"HOME", "/h"}}, 1000, "/h/.cache/pondlark/compose"},
        {"a relative XDG cache counts as none",
         {{"XDG_CACHE_HOME", "c"}, {"HOME", "/h"}},
         1000,
         "/h/.cache/pondlark/compose"},
        {"a folder the player named stays",
         {{"XCOMPOSECACHE", "/mine"}, {"HOME", "/h"}},
         1000,
         nullptr},
        {"the superuser, whose copy X would not read", {{"HOME", "/root"}}, 0, nullptr},
        {"no home at all", {}, 1000, nullptr},
        {"a relative home", {{"HOME", "h"}}, 1000, nullptr},
    };
    for (const Case& c : cases) {
        const auto get = [&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        const std::optional<std::string> folder = ComposeCacheFolder(get, c.uid);
        EXPECT_EQ(folder.value_or("none"), c.folder ? c.folder : "none") << c.what;
    }
}

namespace {
// The process's own value of an environment variable, put back when the test ends.
class TKeptVariable {
public:
    explicit TKeptVariable(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) value_ = v;
    }
    ~TKeptVariable() {
        if (value_)
            ::setenv(name_, value_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    TKeptVariable(const TKeptVariable&) = delete;
    TKeptVariable& operator=(const TKeptVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};
} // namespace

// The folder is named only while SDL opens the window: a program the game starts later (the
// browser for the web page) is not told of it.
TEST(ComposeCacheScope, NamesAPrivateFolderForItsLifeOnly) {
    const TKeptVariable keepCache("XDG_CACHE_HOME"), keepCompose("XCOMPOSECACHE");
    const fs::path dir = FreshTestFolder();
    ::unsetenv("XCOMPOSECACHE");
    ::setenv("XDG_CACHE_HOME", dir.c_str(), 1);
    const fs::path folder = dir / "pondlark" / "compose";
    {
        const TComposeCacheScope scope(1000);
        const char* named = std::getenv("XCOMPOSECACHE");
        ASSERT_NE(named, nullptr);
        EXPECT_EQ(named, folder.string());
        EXPECT_TRUE(fs::is_directory(folder));
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all)
            << "X takes no folder others may write to";
    }
    EXPECT_EQ(std::getenv("XCOMPOSECACHE"), nullptr);
    // A name the player chose is theirs: left as it was, and still there afterwards.
    ::setenv("XCOMPOSECACHE", "/players/own", 1);
    { const TComposeCacheScope scope(1000); }
    EXPECT_STREQ(std::getenv("XCOMPOSECACHE"), "/players/own");
    ::unsetenv("XCOMPOSECACHE");
    // A cache that cannot be made (a file where the folder would go) names nothing.
    fs::remove_all(dir / "pondlark");
    std::ofstream(dir / "pondlark") << "x";
    {
        const TComposeCacheScope scope(1000);
        EXPECT_EQ(std::getenv("XCOMPOSECACHE"), nullptr);
    }
    fs::remove_all(dir);
}
