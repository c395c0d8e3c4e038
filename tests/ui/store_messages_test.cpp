// The store's message files read from memory: the sample's files of all 15
// languages, a missing file, an empty line, a long line that stays one
// message, a short file, CR LF.
#include <gtest/gtest.h>

#include <string>

#include "app/file.h"
#include "tools/mkdata/lobby_data.h"
#include "tools/mkdata/ui_text.h"
#include "ui/store_messages.h"

namespace store_messages_test {

namespace {

StoreMessages Read(const std::u16string &text)
{
    const std::string bytes = mkdata::EncodeUtf16Le(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    StoreMessages messages = ReadStoreMessages(file);
    zufclose(file);
    return messages;
}

// The sample's files read as a player expects: every entry in its place,
// without the entry numbers the texts once carried ("6 Buy it?"), and the
// one question of buying, selling and upgrading worded for all three.
TEST(StoreMessages, EveryLanguagesSampleFileGivesItsFortyFiveMessagesWithoutNumbers)
{
    for (int language = 0; language < 15; ++language) {
        SCOPED_TRACE(language);
        ASSERT_NE(StoreMessageFileName(language), nullptr);
        const std::string bytes = mkdata::EncodeStoreFile(mkdata::SampleStoreMessages(language));
        zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
        const StoreMessages messages = ReadStoreMessages(file);
        zufclose(file);
        // Other languages than English carry their file's mark ("[FRE] ").
        const std::u16string mark = language == 1 ? u"" : u"[";
        for (int i = 0; i < kStoreMessages; ++i) {
            std::u16string text = messages.Get(i);
            EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
            ASSERT_EQ(text.compare(0, mark.size(), mark), 0) << i;
            if (language != 1) {
                text = text.substr(text.find(u"] ") + 2);
            }
            ASSERT_FALSE(text.empty()) << i;
            EXPECT_FALSE(text[0] >= u'0' && text[0] <= u'9') << i;
        }
    }
    const StoreMessages english = [] {
        const std::string bytes = mkdata::EncodeStoreFile(mkdata::SampleStoreMessages(1));
        zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
        StoreMessages messages = ReadStoreMessages(file);
        zufclose(file);
        return messages;
    }();
    EXPECT_EQ(std::u16string(english.Get(0)), u"Buy what helps in a fight.");
    EXPECT_EQ(std::u16string(english.Get(3)), u"Total:");
    EXPECT_EQ(std::u16string(english.Get(6)), u"Is it a deal?");
    EXPECT_EQ(std::u16string(english.Get(9)), u"Herb");
    EXPECT_EQ(std::u16string(english.Get(44)), u"A drop from the sky that shakes the ground.");
    EXPECT_STREQ(StoreMessageFileName(1), "ENGLISH.STO");
    EXPECT_STREQ(StoreMessageFileName(6), "JAPANESS.STO");
    EXPECT_EQ(StoreMessageFileName(15), nullptr);
    EXPECT_EQ(StoreMessageFileName(-1), nullptr);
}

TEST(StoreMessages, AMissingFileLeavesEveryMessageEmpty)
{
    const StoreMessages messages = ReadStoreMessages(nullptr);
    for (int i = 0; i < kStoreMessages; ++i) {
        EXPECT_EQ(std::u16string(messages.Get(i)), u"");
    }
    EXPECT_EQ(std::u16string(messages.Get(45)), u"");
}

TEST(StoreMessages, AnEmptyLineIsAnEmptyMessageInItsPlace)
{
    const StoreMessages messages = Read(u"header\r\nzero\r\n\r\ntwo\r\n");
    EXPECT_EQ(std::u16string(messages.Get(0)), u"zero");
    EXPECT_EQ(std::u16string(messages.Get(1)), u"");
    EXPECT_EQ(std::u16string(messages.Get(2)), u"two");
    EXPECT_EQ(std::u16string(messages.Get(3)), u"");
}

TEST(StoreMessages, ALongLineIsOneMessageAndTheNextStayInTheirPlaces)
{
    const std::u16string longLine(700, u'x');
    const StoreMessages messages = Read(u"header " + longLine + u"\n" + longLine + u"\nnext\nafter\n");
    EXPECT_EQ(std::u16string(messages.Get(0)), std::u16string(255, u'x'));
    EXPECT_EQ(std::u16string(messages.Get(1)), u"next");
    EXPECT_EQ(std::u16string(messages.Get(2)), u"after");
}

TEST(StoreMessages, MoreThanFortyFiveLinesStopAtFortyFive)
{
    std::u16string text = u"header\n";
    for (int i = 0; i < 60; ++i) {
        text += u"m" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\n";
    }
    const StoreMessages messages = Read(text);
    EXPECT_EQ(std::u16string(messages.Get(44)), u"mS");
}

}  // namespace

}  // namespace store_messages_test
