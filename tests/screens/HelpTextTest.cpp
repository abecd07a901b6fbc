// The help pages' words: spelt as words (an apostrophe, never a double quote inside a word), and
// the about page's version the build's own.
#include "screens/Screens.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using namespace pondlark;

namespace {
bool Letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
} // namespace

TEST(HelpText, NoDoubleQuoteStandsInsideAWord) {
    int lines = 0;
    for (int page = 1; page <= 5; ++page) {
        for (const THelpLine& line : HelpLines(page)) {
            ++lines;
            const std::string text = line.text;
            for (size_t i = 1; i + 1 < text.size(); ++i)
                EXPECT_FALSE(Letter(text[i - 1]) && text[i] == '"' && Letter(text[i + 1]))
                    << "page " << page << ": " << text;
        }
    }
    EXPECT_GT(lines, 30) << "the pages' lines are all looked at";
}

TEST(HelpText, TheAboutPageShowsTheVersionTheBuildAnswers) {
    const std::string version = PONDLARK_VERSION;
    EXPECT_EQ(version, "2.0.0") << "the version the about page has always named";
    EXPECT_EQ(AboutVersionLine(), "PONDLARK, v.2.0");
}
