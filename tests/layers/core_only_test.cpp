// A program that includes only rwcore.h and links only the core library (the
// core with its driver): it compiles and links without the world library, and
// the core's headers offer none of the world's.
#include <gtest/gtest.h>

#include "rwcore.h"

#if __has_include("rpworld.h") || __has_include("rpcollis.h") || __has_include("rtintsec.h")
#error "the core's include path offers headers of the layers above it"
#endif

namespace core_only_test {

namespace {

TEST(CoreOnly, StampsAndErrorTextsWorkWithoutTheWorldLibrary)
{
    ASSERT_TRUE(RwEngineInit(nullptr, 0, 1 << 16));
    RwUInt32 version = 0;
    RwUInt32 build = 0;
    RwLibraryStampDecode(RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD), &version, &build);
    EXPECT_EQ(version, rwLIBRARYVERSION);
    EXPECT_EQ(build, rwLIBRARYBUILD);
    const RwError error{rwID_CORE, E_RW_ENDOFSTREAM};
    RwChar text[128];
    RwErrorFormat(&error, nullptr, text, sizeof(text));
    EXPECT_STREQ(text, "E_RW_ENDOFSTREAM (0x1:0x5): end of stream reached");
    RwEngineTerm();
}

}  // namespace

}  // namespace core_only_test
