// The browser game's files as --site serves them: only regular files inside the folder, in the
// encoding the client takes best, with validators, caching rules and ranges.
#include "server/ServiceUnderTest.h"

#include "server/RawConnection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace pondlark;
using namespace pondlark::test_support;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Text that compresses well, as a page or script does.
std::string Compressible(size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i)
        text += "function frog" + std::to_string(i % 50) + "() { return lily; }\n";
    return text.substr(0, size);
}

class SiteFiles : public ::testing::Test {
protected:
    TServiceUnderTest service;
    fs::path site = service.folder / "site";
    std::string script = Compressible(200'000);

    void SetUp() override {
        Write(site / "index.html", "<!doctype html><title>Pondlark</title>");
        Write(site / "game.js", script);
        Write(site / "game.0123abcd.wasm", Compressible(50'000));
        Write(site / "sub" / "level.txt", "level one");
        Write(service.folder / "secret.txt", "not for the web");
        fs::create_symlink(service.folder / "secret.txt", site / "link.txt");
        fs::create_symlink(site / "index.html", site / "inner-link.html");
        fs::create_directory_symlink(service.folder, site / "up");
        ASSERT_EQ(::mkfifo((site / "pipe").c_str(), 0600), 0);
        scores::TServiceOptions options;
        options.Site = site.string();
        ASSERT_EQ(service.Start(TBackend::Sqlite, options), "");
    }

    // A GET with the given headers, the body decompressed by the client as a browser would.
    httplib::Result Get(const std::string& path, const httplib::Headers& headers = {}) {
        httplib::Client client("127.0.0.1", service.port);
        client.set_read_timeout(10, 0);
        return client.Get(path.c_str(), headers);
    }
};

} // namespace

TEST_F(SiteFiles, OnlyRegularFilesInsideTheFolderAreServed) {
    struct Case {
        const char* target;
        int status;
    } cases[] = {
        {"/play/", 200},
        {"/play/sub/level.txt", 200},
        {"/play/link.txt", 404},        // a link to a file outside
        {"/play/inner-link.html", 404}, // a link, even to a file inside
        {"/play/up/secret.txt", 404},   // a linked folder
        {"/play/sub", 404},             // a folder
        {"/play/pipe", 404},            // not a regular file (and reading it would wait)
        {"/play/../secret.txt", 404},
        {"/play/%2e%2e/secret.txt", 404},
        {"/play/..%2fsecret.txt", 404},
        {"/play/%2E%2E%2Fsecret.txt", 404},
        {"/play/sub/../../secret.txt", 404},
        {"/play/sub/%2e%2e/%2e%2e/secret.txt", 404},
        {"/play//etc/passwd", 404},
        {"/play/..\\secret.txt", 404},
        {"/play/%00index.html", 404},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        // Raw: a client library may tidy the path before sending it.
        TRawConnection connection(service.port);
        ASSERT_TRUE(connection.Send(std::string("GET ") + c.target +
                                    " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
        const std::string reply = connection.ReadAll();
        EXPECT_EQ(reply.substr(0, 12), "HTTP/1.1 " + std::to_string(c.status)) << reply;
        EXPECT_EQ(reply.find("not for the web"), std::string::npos);
    }
}

TEST_F(SiteFiles, EachClientGetsTheEncodingItTakesWithValidators) {
    struct Case {
        const char* file;
        const char* accept;
        const char* encoding;
        bool varies;
    } cases[] = {
        {"/play/game.js", "br, gzip", "br", true},
        {"/play/game.js", "gzip, deflate", "gzip", true},
        {"/play/game.js", "gzip;q=0, identity", "", true},
        {"/play/game.js", "identity", "", true},
        {"/play/game.0123abcd.wasm", "gzip, deflate, br", "br", true},
        {"/play/", "br", "", false}, // too small to be worth compressing
    };
    std::vector<std::string> tags;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " with " + c.accept);
        httplib::Headers headers;
        if (*c.accept) headers.emplace("Accept-Encoding", c.accept);
        const auto reply = Get(c.file, headers);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 200);
        EXPECT_EQ(reply->get_header_value("Content-Encoding"), c.encoding);
        EXPECT_EQ(reply->get_header_value("Vary") == "Accept-Encoding", c.varies);
        if (std::string(c.file) == "/play/game.js") {
            EXPECT_EQ(reply->body, script) << "decoded as sent";
            tags.push_back(reply->get_header_value("ETag"));
        }
        EXPECT_FALSE(reply->get_header_value("Last-Modified").empty());
        // Content-hashed names are kept for a year; others are checked on every use.
        EXPECT_EQ(reply->get_header_value("Cache-Control"),
                  std::string(c.file).find("0123abcd") != std::string::npos
                      ? "public, max-age=31536000, immutable"
                      : "no-cache");
        // Revalidation: the same tag or a date not before the file's gives 304, no body.
        const auto again = Get(c.file, {{"If-None-Match", reply->get_header_value("ETag")},
                                        {"Accept-Encoding", *c.accept ? c.accept : "identity"}});
        ASSERT_TRUE(again);
        EXPECT_EQ(again->status, 304);
        EXPECT_TRUE(again->body.empty());
        const auto since =
            Get(c.file, {{"If-Modified-Since", reply->get_header_value("Last-Modified")}});
        ASSERT_TRUE(since);
        EXPECT_EQ(since->status, 304);
    }
    // Each form has its own tag: a cache never gives one client another's encoding.
    ASSERT_EQ(tags.size(), 4u);
    EXPECT_NE(tags[0], tags[1]);
    EXPECT_NE(tags[1], tags[2]);
    EXPECT_EQ(tags[2], tags[3]);
    // A changed file has a new tag.
    Write(site / "game.js", script + "// more\n");
    const auto changed = Get("/play/game.js", {{"If-None-Match", tags[3]}});
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->status, 200);
    EXPECT_EQ(changed->body, script + "// more\n");
}

TEST_F(SiteFiles, ByteRangesOfTheFile) {
    struct Case {
        const char* range;
        int status;
        std::string body;
        const char* contentRange;
    } cases[] = {
        {"bytes=0-9", 206, script.substr(0, 10), "bytes 0-9/200000"},
        {"bytes=199990-", 206, script.substr(199'990), "bytes 199990-199999/200000"},
        {"bytes=-5", 206, script.substr(199'995), "bytes 199995-199999/200000"},
        {"bytes=100-999999", 206, script.substr(100), "bytes 100-199999/200000"},
        {"bytes=200000-", 416, "", "bytes */200000"},
        {"bytes=0-1,5-6", 200, script, ""}, // several ranges: the whole file instead
        {"lines=1-2", 200, script, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        const auto reply = Get("/play/game.js", {{"Range", c.range}, {"Accept-Encoding", "br"}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, c.status);
        EXPECT_EQ(reply->body, c.body);
        EXPECT_EQ(reply->get_header_value("Content-Range"), c.contentRange);
    }
    // If-Range with a stale tag: the whole current file.
    const auto stale = Get("/play/game.js", {{"Range", "bytes=0-9"}, {"If-Range", "\"old\""}});
    ASSERT_TRUE(stale);
    EXPECT_EQ(stale->status, 200);
    EXPECT_EQ(stale->body.size(), script.size());
}
