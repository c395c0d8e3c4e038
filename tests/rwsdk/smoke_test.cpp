#include <gtest/gtest.h>
extern "C" const char *RwLibraryTag(void);
TEST(Smoke, LibraryLinks) { EXPECT_STREQ(RwLibraryTag(), "rwsdk"); }
