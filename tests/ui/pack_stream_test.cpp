// The screens' streamed packs on files of the test's own: one open, then
// one 32768-byte read per step; the language's copy before the plain one;
// a missing file, a file that shrinks or grows while it is read and an
// empty one; the pack opened from the bytes once they are in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/file.h"
#include "app/language.h"
#include "app/pack.h"
#include "app/path.h"
#include "tests/app/app_test_support.h"
#include "tools/mkdata/pack_writer.h"
#include "ui/pack_stream.h"

namespace pack_stream_test {

namespace {

namespace fs = std::filesystem;

class PackStream : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        root = std::string(RW_TEST_BINARY_DIR) + "/tests/ui_stream/" + std::to_string(getpid());
        fs::remove_all(root);
        fs::create_directories(root + "/PACK/UI0");
        fs::create_directories(root + "/USAPACK/UI0");
        SetLanguageIndex(1);
        StartIn(root);
    }
    void TearDown() override
    {
        apptest::GameEngineTest::TearDown();
        if (!HasFailure()) {
            std::error_code error;
            fs::remove_all(root, error);
        }
    }
    void WriteFile(const std::string &relative, size_t size, char fill = 'p')
    {
        std::ofstream(root + "/" + relative, std::ios::binary) << std::string(size, fill);
    }
    std::string GamePath(const char *name) { return root + "\\PACK\\UI0\\" + name; }

    std::string root;
};

TEST_F(PackStream, OneOpenThenOneBlockPerStep)
{
    WriteFile("PACK/UI0/A.STR", 3 * 32768 + 100);
    UIPackStream stream;
    EXPECT_EQ(stream.GetState(), UIPackStream::kIdle);
    EXPECT_EQ(stream.Step(), UIPackStream::kIdle);
    stream.Request(GamePath("A.STR"));
    EXPECT_EQ(stream.Step(), UIPackStream::kReading);
    EXPECT_EQ(stream.BytesRead(), 0u);
    for (uint32_t block = 1; block <= 3; ++block) {
        EXPECT_EQ(stream.Step(), UIPackStream::kReading);
        EXPECT_EQ(stream.BytesRead(), 32768u * block);
        EXPECT_EQ(stream.Buffer(), nullptr);
    }
    EXPECT_EQ(stream.Step(), UIPackStream::kComplete);
    ASSERT_NE(stream.Buffer(), nullptr);
    EXPECT_EQ(stream.Buffer()->fileSize, 3u * 32768u + 100u);
    EXPECT_EQ(stream.Buffer()->buffer[3 * 32768 + 99], 'p');
    // Complete stays complete.
    EXPECT_EQ(stream.Step(), UIPackStream::kComplete);
    stream.Close();
    EXPECT_EQ(stream.GetState(), UIPackStream::kIdle);
    EXPECT_EQ(stream.Buffer(), nullptr);
}

TEST_F(PackStream, TheLanguagesCopyComesFirst)
{
    WriteFile("PACK/UI0/B.STR", 10, 'p');
    WriteFile("USAPACK/UI0/B.STR", 10, 'u');
    UIPackStream stream;
    stream.Request(GamePath("B.STR"));
    ASSERT_EQ(stream.Finish(), UIPackStream::kComplete);
    EXPECT_EQ(stream.Buffer()->buffer[0], 'u');
    fs::remove(root + "/USAPACK/UI0/B.STR");
    stream.Request(GamePath("B.STR"));
    ASSERT_EQ(stream.Finish(), UIPackStream::kComplete);
    EXPECT_EQ(stream.Buffer()->buffer[0], 'p');
}

TEST_F(PackStream, AMissingFileFailsAtOnceAndIsNotTriedAgain)
{
    UIPackStream stream;
    stream.Request(GamePath("NONE.STR"));
    EXPECT_EQ(stream.Step(), UIPackStream::kFailed);
    WriteFile("PACK/UI0/NONE.STR", 10);
    EXPECT_EQ(stream.Step(), UIPackStream::kFailed);
    EXPECT_EQ(stream.Finish(), UIPackStream::kFailed);
    EXPECT_EQ(stream.Buffer(), nullptr);
}

TEST_F(PackStream, AFileThatShrinksOrGrowsWhileItIsReadFails)
{
    WriteFile("PACK/UI0/C.STR", 2 * 32768 + 10);
    UIPackStream stream;
    stream.Request(GamePath("C.STR"));
    stream.Step();
    stream.Step();
    fs::resize_file(root + "/PACK/UI0/C.STR", 40000);
    // The next read brings 7232 bytes, the one after none: the end came early.
    EXPECT_EQ(stream.Step(), UIPackStream::kReading);
    EXPECT_EQ(stream.Step(), UIPackStream::kFailed);

    WriteFile("PACK/UI0/D.STR", 32768 + 10);
    stream.Request(GamePath("D.STR"));
    stream.Step();
    fs::resize_file(root + "/PACK/UI0/D.STR", 3 * 32768);
    EXPECT_EQ(stream.Step(), UIPackStream::kReading);
    EXPECT_EQ(stream.Step(), UIPackStream::kFailed);
}

TEST_F(PackStream, AnEmptyFileIsCompleteButNoPack)
{
    WriteFile("PACK/UI0/E.STR", 0);
    UIPackStream stream;
    stream.Request(GamePath("E.STR"));
    EXPECT_EQ(stream.Step(), UIPackStream::kComplete);
    EXPECT_EQ(stream.Buffer()->fileSize, 0u);
}

TEST_F(PackStream, TheCompletePackOpensFromMemory)
{
    const std::string scratch = root + "/files";
    fs::create_directories(scratch + "/RESOURCE/UITEXT");
    std::ofstream(scratch + "/RESOURCE/UITEXT/HELLO.TXT") << "hello";
    mkdata::PackWriter pack;
    ASSERT_TRUE(pack.AddFileFrom(scratch, "RESOURCE/UITEXT/HELLO.TXT"));
    ASSERT_TRUE(pack.Write(root + "/PACK/UI0/F.STR"));
    UIPackStream stream;
    EXPECT_FALSE(stream.OpenPack());
    stream.Request(GamePath("F.STR"));
    ASSERT_EQ(stream.Finish(), UIPackStream::kComplete);
    ASSERT_TRUE(stream.OpenPack());
    fs::remove_all(scratch);
    zuFile *file = zufopen((root + "\\RESOURCE\\UITEXT\\HELLO.TXT").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char text[8] = {};
    EXPECT_EQ(zufread(text, 1, 5, file), 5u);
    EXPECT_STREQ(text, "hello");
    zufclose(file);
    stream.CloseOpenedPack();
    EXPECT_FALSE(zuIsPackOpen());
}

}  // namespace

}  // namespace pack_stream_test
