// A system box's text in lines a screen holds: every line at most the width,
// the words and their order kept, a path broken after a separator, the
// message's own line breaks kept.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/box_text.h"
#include "app/message_box.h"

namespace box_text_test {

namespace {

std::vector<std::u16string> Lines(const std::u16string &text)
{
    std::vector<std::u16string> lines;
    size_t at = 0;
    while (true) {
        const size_t end = text.find(u'\n', at);
        lines.push_back(text.substr(at, end == std::u16string::npos ? std::u16string::npos : end - at));
        if (end == std::u16string::npos) {
            return lines;
        }
        at = end + 1;
    }
}

// The text with every line break and run of blanks as one blank.
std::u16string Words(const std::u16string &text)
{
    std::u16string words;
    for (char16_t c : text) {
        const char16_t as = c == u'\n' ? u' ' : c;
        if (as != u' ' || (!words.empty() && words.back() != u' ')) {
            words += as;
        }
    }
    while (!words.empty() && words.back() == u' ') {
        words.pop_back();
    }
    return words;
}

TEST(BoxText, TheNoDataTreeReportFitsInLinesOfTheWidthWithEveryWord)
{
    const std::u16string report = std::u16string(kBuiltInFatalText) + u"RESOURCE/FONT/ENGFONT.XBF\n" + kNoDataTreeText;
    const std::u16string wrapped = WrapBoxText(report);
    const std::vector<std::u16string> lines = Lines(wrapped);
    EXPECT_GE(lines.size(), 4u);
    for (const std::u16string &line : lines) {
        EXPECT_LE(line.size(), kBoxTextColumns);
        EXPECT_FALSE(line.empty());
    }
    EXPECT_EQ(lines[0], u"Cannot find the file: RESOURCE/FONT/ENGFONT.XBF");
    // The report's own break stays: the second sentence starts a line.
    EXPECT_EQ(lines[1].rfind(u"The folder the game started in", 0), 0u);
    // Only line breaks were added: the text reads the same.
    EXPECT_EQ(Words(wrapped), Words(report));
    // Text that fits is left as it is.
    EXPECT_EQ(WrapBoxText(u"Cannot find the file: A.BMP"), u"Cannot find the file: A.BMP");
}

TEST(BoxText, AWordLongerThanALineBreaksAfterASeparatorElseWhereTheLineIsFull)
{
    EXPECT_EQ(WrapBoxText(u"cannot read \\RESOURCE\\UITEXT\\LOADING\\ENG\\GFLOAD.BMP now", 20),
              u"cannot read\n\\RESOURCE\\UITEXT\\\nLOADING\\ENG\\\nGFLOAD.BMP now");
    EXPECT_EQ(WrapBoxText(u"abcdefghijklmnopqrstuvwxyz", 10), u"abcdefghij\nklmnopqrst\nuvwxyz");
    EXPECT_EQ(WrapBoxText(u"a /long/path/name", 6), u"a\n/long/\npath/\nname");
    // A separator that only starts the word is no place to break: no line
    // holds the separator alone.
    EXPECT_EQ(WrapBoxText(u"\\abcdefghij", 5), u"\\abcd\nefghi\nj");
    // Blank lines and a closing line break stay.
    EXPECT_EQ(WrapBoxText(u"one two\n\nthree\n", 5), u"one\ntwo\n\nthree\n");
    // A box without columns takes the text as it is.
    EXPECT_EQ(WrapBoxText(u"one two three", 0), u"one two three");
}

}  // namespace

}  // namespace box_text_test
