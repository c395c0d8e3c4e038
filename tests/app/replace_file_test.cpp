// Writing through a temporary file and a rename: the old file survives every failure, and
// a success replaces the file rather than writing into it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/replace_file.h"
#include "support/engine/file_size_limit.h"
#include "support/engine/scratch_path.h"

namespace replace_file_test {

namespace {

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ReplaceFile, ReplacesTheFileWhole)
{
    const std::string path = rwtest::ScratchPath("replace_file_whole.txt");
    const std::string link = path + ".link";
    WriteText(path, "old contents\n");
    // A second name for the old file: writing in place would change it too.
    ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
    std::string error;
    const std::string text = "new\n";
    ASSERT_TRUE(game::WriteFileReplacing(path, text.data(), text.size(), &error)) << error;
    EXPECT_EQ(ReadText(path), "new\n");
    EXPECT_EQ(ReadText(link), "old contents\n");
    struct stat info;
    EXPECT_NE(::stat((path + ".tmp").c_str(), &info), 0);
    // Down to one byte, and to nothing.
    ASSERT_TRUE(game::WriteFileReplacing(path, "x", 1, &error)) << error;
    EXPECT_EQ(ReadText(path), "x");
    ASSERT_TRUE(game::WriteFileReplacing(path, nullptr, 0, &error)) << error;
    EXPECT_EQ(ReadText(path), "");
    std::remove(path.c_str());
    std::remove(link.c_str());
}

TEST(ReplaceFile, AFailedWriteKeepsTheOldFile)
{
    const std::string path = rwtest::ScratchPath("replace_file_fail.txt");
    WriteText(path, "keep me\n");
    // The temporary file cannot be made: a folder stands in its way.
    ASSERT_EQ(::mkdir((path + ".tmp").c_str(), 0700), 0);
    std::string error;
    const std::string text = "lost\n";
    EXPECT_FALSE(game::WriteFileReplacing(path, text.data(), text.size(), &error));
    EXPECT_NE(error.find(".tmp"), std::string::npos) << error;
    EXPECT_EQ(ReadText(path), "keep me\n");
    ::rmdir((path + ".tmp").c_str());

    // The rename cannot be made: the target is a folder that is not empty.
    const std::string folder = rwtest::ScratchPath("replace_file_folder");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    WriteText(folder + "/inside", "x");
    EXPECT_FALSE(game::WriteFileReplacing(folder, text.data(), text.size(), &error));
    struct stat info;
    EXPECT_NE(::stat((folder + ".tmp").c_str(), &info), 0);  // the temporary file is gone
    std::remove((folder + "/inside").c_str());
    ::rmdir(folder.c_str());
    std::remove(path.c_str());
}

// A write the disc refuses part way (here a file-size limit) is reported as
// that, with the system's reason, and the old file stays.
TEST(ReplaceFile, AWriteCutShortSaysWhy)
{
    const std::string path = rwtest::ScratchPath("replace_file_cut.txt");
    WriteText(path, "keep me\n");
    const std::string text(10000, 'x');
    std::string error;
    bool written = true;
    {
        const rwtest::FileSizeLimit limit(600);
        ASSERT_TRUE(limit.Set());
        written = game::WriteFileReplacing(path, text.data(), text.size(), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_NE(error.find(".tmp cannot be written: " + std::string(std::strerror(EFBIG))), std::string::npos) << error;
    EXPECT_EQ(ReadText(path), "keep me\n");
    struct stat info;
    EXPECT_NE(::stat((path + ".tmp").c_str(), &info), 0);
    std::remove(path.c_str());
}

}  // namespace

}  // namespace replace_file_test
