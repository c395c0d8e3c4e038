// The terminal's two kinds of lines: diagnostic lines only when switched
// on (the game's --debug), what a user must see always; and the fatal
// report's words for a file that is missing, one that cannot be read, and
// one missing where no data tree is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/debug.h"
#include "app/fatal.h"
#include "app/message_box.h"
#include "app/path.h"
#include "app/utf8.h"
#include "tests/app/app_test_support.h"

namespace debug_output_test {

namespace {

TEST(DebugOutput, DiagnosticLinesGoNowhereUnlessSwitchedOn)
{
    const bool before = SetDebugOutput(false);
    testing::internal::CaptureStderr();
    DebugPrint("zufopen fail: %s\n", "A.TXT");
    UserPrint("cannot read %s: %s\n", "B.TXT", "it is a folder");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot read B.TXT: it is a folder\n");
    EXPECT_FALSE(SetDebugOutput(true));
    EXPECT_TRUE(IsDebugOutputOn());
    testing::internal::CaptureStderr();
    DebugPrint("zufopen fail: %s\n", "A.TXT");
    DebugPrint("%s", std::string(2000, 'x').c_str());  // longer than the line buffer
    UserPrint("Fatal error\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zufopen fail: A.TXT\n" + std::string(2000, 'x') + "Fatal error\n");
    // Lines of about the line buffer's size come whole, to the last character.
    for (const size_t length : {511u, 512u, 513u}) {
        const std::string line = std::string(length - 1, 'y') + "z";
        testing::internal::CaptureStderr();
        UserPrint("%s", line.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), line) << length;
    }
    SetDebugOutput(before);
}

class FatalReport : public ::testing::Test {
protected:
    void SetUp() override { root = apptest::ScratchFolder("fatal_report"); }
    void TearDown() override { SetDataRootPath(""); }
    std::string Report(const char *file) const { return ToUtf8(box.FatalReport(file)); }
    std::string root;
    CSMessageBox box;
};

TEST_F(FatalReport, AMissingFileInADataTreeIsTheFatalMessageAlone)
{
    std::filesystem::create_directories(root + "/Resource");
    SetDataRootPath(root.c_str());
    // Named as the player finds it: the folder in its case on disk.
    EXPECT_EQ(Report("\\RESOURCE\\FONT\\MISSING.XBF"), "Cannot find the file: Resource/FONT/MISSING.XBF");
}

TEST_F(FatalReport, AMissingFileWithoutADataTreeSaysWhereToStartTheGame)
{
    SetDataRootPath(root.c_str());
    EXPECT_EQ(Report("\\RESOURCE\\FONT\\ENGFONT.XBF"),
              "Cannot find the file: RESOURCE/FONT/ENGFONT.XBF\n" + ToUtf8(kNoDataTreeText));
    EXPECT_NE(Report("X").find("build/data"), std::string::npos);
}

TEST_F(FatalReport, AFileThatCouldNotBeReadIsReportedWithTheReasonNotedLast)
{
    SetDataRootPath(root.c_str());
    NoteUnreadableFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP", "E_RW_READ (0x0:0x1): a read failed");
    NoteUnreadableFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP", "E_RW_READ (0x0:0x1): a read failed again");
    // A note without a reason or without a file is none.
    NoteUnreadableFile("\\RESOURCE\\STAGE\\1\\STAGE.BSP", "");
    NoteUnreadableFile(nullptr, "no file");
    EXPECT_EQ(UnreadableReason(nullptr), "");
    EXPECT_EQ(Report("\\resource\\stage/1\\stage.bsp"),
              "Cannot read resource/stage/1/stage.bsp: E_RW_READ (0x0:0x1): a read failed again");
    // Notes of other files, and files never noted, keep the missing-file text.
    for (int i = 0; i < 20; ++i) {
        NoteUnreadableFile(("\\RESOURCE\\N" + std::to_string(i) + ".DFF").c_str(), "damaged");
    }
    EXPECT_EQ(UnreadableReason("\\RESOURCE\\N19.DFF"), "damaged");
    EXPECT_EQ(UnreadableReason("\\RESOURCE\\N12.DFF"), "damaged") << "the latest eight are kept";
    EXPECT_EQ(UnreadableReason("\\RESOURCE\\N11.DFF"), "");
    EXPECT_EQ(UnreadableReason("\\RESOURCE\\N0.DFF"), "") << "only the latest notes are kept";
    EXPECT_EQ(Report("\\RESOURCE\\NEVER.DFF").rfind("Cannot find the file: RESOURCE/NEVER.DFF", 0), 0u);
}

// With no message box behind it the fatal report is a line on standard
// error: the run ends with status 1, unless the file is one the game can go
// on without, when the report is all; a reason noted for the file is said.
TEST(FatalReportDeathTest, WithoutABoxTheLineEndsTheRunUnlessTheGameGoesOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const FatalErrorHandler previous = SetFatalErrorHandler(nullptr);
    EXPECT_EXIT(RaiseFatalError("\\RESOURCE\\FONT\\ENGFONT.XBF"), testing::ExitedWithCode(1),
                "Fatal error: cannot read RESOURCE/FONT/ENGFONT.XBF\n");
    NoteUnreadableFile("\\ENGUIMV\\OPEN.BIK", "it is not a movie");
    testing::internal::CaptureStderr();
    RaiseFatalErrorGoingOn("\\ENGUIMV\\OPEN.BIK");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Fatal error: cannot read ENGUIMV/OPEN.BIK: it is not a movie\n");
    EXPECT_FALSE(FatalReportGoesOn());
    SetFatalErrorHandler(previous);
}

}  // namespace

}  // namespace debug_output_test
