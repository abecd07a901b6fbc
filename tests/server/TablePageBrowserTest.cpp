// The public table page in a real browser: headless Chromium loads it from the running service,
// its DOM holds every row with markup shown as text, and a phone-sized screenshot is written
// (to the build folder as scores-table.png, for a person to look at).
#include "server/ServiceUnderTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace pondlark;
using namespace pondlark::test_support;

namespace {

const char* const kChromium = "/usr/bin/chromium";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs headless Chromium with a fresh profile on `url` with `mode` (--dump-dom or
// --screenshot=...); its standard output goes to `out`. Returns the exit status.
int Chromium(const std::filesystem::path& folder, const std::string& mode, const std::string& url,
             const std::filesystem::path& out) {
    const std::string command =
        "timeout 120 " + std::string(kChromium) +
        " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
        " --disable-component-update --disable-sync --hide-scrollbars --window-size=412,915"
        " --user-data-dir='" +
        (folder / "profile").string() + "' " + mode + " '" + url + "' > '" + out.string() +
        "' 2> '" + (folder / "chromium.log").string() + "'";
    return std::system(command.c_str());
}

} // namespace

TEST(TablePageInBrowser, RowsAreInTheDomAndAScreenshotIsWritten) {
    if (!std::filesystem::exists(kChromium))
        GTEST_SKIP() << "Chromium is not installed (Debian: chromium), so the page is not opened "
                        "in a browser";
    TServiceUnderTest service;
    ASSERT_EQ(service.Start(TBackend::Sqlite), "");
    const char* names[] = {"Lily",   "Croaker", "Hopper",     "Midge", "Toad",
                           "Ribbit", "Puddle",  "<b>Big</b>", "Newt",  "Tadpole"};
    const char* countries[] = {"Wales", "Japan", "",         "Chile", "Norway",
                               "Peru",  "",      "<i>x</i>", "Ghana", "Canada"};
    for (int i = 0; i < 10; ++i) {
        const std::string token = "token" + std::to_string(i);
        service.store->AddToken(token, service.now);
        ASSERT_EQ(service.store->StoreResult(
                      {{names[i], countries[i], 5000 - 450 * i}, token, "192.0.2.7"}, service.now),
                  scores::TStoreOutcome::Stored);
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(service.port) +
                            "/cgi/version.pl?prg=Pondlark&type=0&show&all=1";

    const auto dom = service.folder / "dom.html";
    ASSERT_EQ(Chromium(service.folder, "--dump-dom", url, dom), 0)
        << ReadFile(service.folder / "chromium.log");
    const std::string html = ReadFile(dom);
    size_t rows = 0;
    for (size_t at = html.find("<td class=\"rank\">"); at != std::string::npos;
         at = html.find("<td class=\"rank\">", at + 1))
        ++rows;
    EXPECT_EQ(rows, 10u) << html;
    EXPECT_NE(html.find("<td class=\"name\">Lily</td><td class=\"country\">Wales</td>"
                        "<td class=\"score\">5000</td>"),
              std::string::npos)
        << html;
    // The browser built text nodes from the markup, not elements.
    EXPECT_NE(html.find("<td class=\"name\">&lt;b&gt;Big&lt;/b&gt;</td>"), std::string::npos)
        << html;
    EXPECT_EQ(html.find("<b>Big"), std::string::npos);
    EXPECT_EQ(html.find("<i>x"), std::string::npos);

    const auto shot = service.folder / "table.png";
    ASSERT_EQ(Chromium(service.folder, "--screenshot='" + shot.string() + "'", url,
                       service.folder / "screenshot.out"),
              0)
        << ReadFile(service.folder / "chromium.log");
    const std::string png = ReadFile(shot);
    ASSERT_GT(png.size(), 1000u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::filesystem::copy_file(shot, std::filesystem::path(PONDLARK_BUILD_DIR) / "scores-table.png",
                               std::filesystem::copy_options::overwrite_existing);
}
