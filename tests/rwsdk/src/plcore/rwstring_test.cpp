// The engine's own string helpers.
#include <gtest/gtest.h>

#include "rwcore.h"

namespace rwstring_test {

namespace {

TEST(String, CompareIgnoringCase)
{
    EXPECT_LT(RwStringCompareNoCase("ABC", "abd"), 0);
    EXPECT_EQ(RwStringCompareNoCase("Texture", "tEXTURE"), 0);
    EXPECT_GT(RwStringCompareNoCase("abcd", "ABC"), 0);
    EXPECT_EQ(RwStringCompareNoCase(nullptr, "a"), 0);
}

TEST(String, FoldInPlaceAndFind)
{
    char text[] = "Hello_World9";
    EXPECT_STREQ(RwStringToUpper(text), "HELLO_WORLD9");
    EXPECT_STREQ(RwStringToLower(text), "hello_world9");
    EXPECT_EQ(RwStringToUpper(nullptr), nullptr);
    EXPECT_EQ(RwStringFindChar(text, 'o'), text + 4);
    EXPECT_EQ(RwStringFindLastChar(text, 'o'), text + 7);
    EXPECT_EQ(RwStringFindChar(text, '\0'), text + 12);
    EXPECT_EQ(RwStringFindLastChar(text, 'z'), nullptr);
}

}  // namespace

}  // namespace rwstring_test
