// The file layer on disk: quiet opens with their diagnostic and the fatal
// report only for files a loader needs; the one path resolver the engine
// shares; text and binary modes; line readers that never pass their
// buffers (the appended line feed included); the raw file reader; the
// extra-stage probe.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/application.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/path.h"
#include "app/rawfile.h"
#include "rwosintf.h"
#include "tests/app/app_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace file_test {

namespace {

using apptest::FatalRecorder;

class FileLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = apptest::ScratchFolder("files");
        SetDataRootPath(root.c_str());
        FatalRecorder::Names().clear();
    }
    void TearDown() override { SetDataRootPath(""); }
    std::string root;
    FatalRecorder fatal;
};

TEST_F(FileLayer, AMissingFileGivesNullAndADiagnosticButNoFatalReport)
{
    gametest::CaptureDiagnostics();
    EXPECT_EQ(zufopen("\\RESOURCE\\OPTIONAL.TXT", "r"), nullptr);
    EXPECT_EQ(gametest::TakeDiagnostics(), "zufopen fail: RESOURCE/OPTIONAL.TXT\n");
    EXPECT_TRUE(FatalRecorder::Names().empty());
}

// Without --debug the open's diagnostic goes nowhere.
TEST_F(FileLayer, AMissingFileSaysNothingByDefault)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(zufopen("\\RESOURCE\\OPTIONAL.TXT", "r"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A file that is there but cannot be read (here a folder where the file
// should be) is said always, with its reason, once for the reason, and
// noted for the fatal report; a loader that needs it leaves the saying to
// its fatal report; a write that fails is the caller's to report.
TEST_F(FileLayer, AFileThatIsThereButCannotBeReadIsSaidWithItsReason)
{
    std::filesystem::create_directories(root + "/RESOURCE/FONT/ENGFONT.XBF");
    testing::internal::CaptureStderr();
    EXPECT_EQ(zufopenRequired("\\RESOURCE\\FONT\\ENGFONT.XBF", "rb"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(UnreadableReason("\\resource\\font/engfont.xbf"), "it is a folder");
    ASSERT_EQ(FatalRecorder::Names().size(), 1u);
    std::vector<uint8_t> bytes;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(zufReadAll("\\RESOURCE\\FONT\\ENGFONT.XBF", &bytes));
    EXPECT_EQ(zufopen("\\resource\\font\\engfont.xbf", "rb"), nullptr);  // said already
    EXPECT_EQ(zufopen("\\RESOURCE\\FONT\\ENGFONT.XBF", "w"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot read RESOURCE/FONT/ENGFONT.XBF: it is a folder\n");
    EXPECT_EQ(UnreadableReason("\\RESOURCE\\OTHER.XBF"), "");
}

// An empty file is read whole: no bytes, and nothing said about it.
TEST_F(FileLayer, AnEmptyFileReadsAsNoBytes)
{
    std::filesystem::create_directories(root + "/RESOURCE");
    std::fclose(std::fopen((root + "/RESOURCE/EMPTY.TXT").c_str(), "wb"));
    std::vector<uint8_t> bytes{1, 2, 3};
    testing::internal::CaptureStderr();
    EXPECT_TRUE(zufReadAll("\\RESOURCE\\EMPTY.TXT", &bytes));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(FatalRecorder::Names().empty());
}

// A file the system will not open (here a socket where the file should be,
// which no one may open, not even root) is said with the system's reason.
TEST_F(FileLayer, AFileTheSystemWillNotOpenIsSaidWithTheSystemsReason)
{
    std::filesystem::create_directories(root + "/RESOURCE");
    const std::string path = root + "/RESOURCE/SOCKET.TXT";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int endpoint = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(endpoint, 0);
    ASSERT_EQ(bind(endpoint, reinterpret_cast<const sockaddr *>(&address), sizeof(address)), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(zufopen("\\RESOURCE\\SOCKET.TXT", "rb"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cannot read RESOURCE/SOCKET.TXT: " + std::string(std::strerror(ENXIO)) + "\n");
    close(endpoint);
}

TEST_F(FileLayer, AFileALoaderNeedsRaisesTheFatalReportNamingIt)
{
    gametest::CaptureDiagnostics();
    EXPECT_EQ(zufopenRequired("\\RESOURCE\\NEEDED.BSF", "r"), nullptr);
    gametest::TakeDiagnostics();
    ASSERT_EQ(FatalRecorder::Names().size(), 1u);
    EXPECT_EQ(FatalRecorder::Names()[0], "\\RESOURCE\\NEEDED.BSF");
}

// Backslashes, any letter case, a drive letter or the data root written
// out: all reach the one file, the engine's glue agreeing.
TEST_F(FileLayer, GamePathsResolveLikeTheEnginesPaths)
{
    apptest::WriteText(root + "/RESOURCE/Stage/1/Info.TXT", "x");
    const std::string expected = root + "/RESOURCE/Stage/1/Info.TXT";
    for (const char *path : {"\\RESOURCE\\STAGE\\1\\INFO.TXT", "resource\\stage\\1\\info.txt", "C:\\Resource\\STAGE/1/info.txt",
                             "RESOURCE/Stage/1/Info.TXT"}) {
        EXPECT_EQ(ResolveGamePath(path), expected) << path;
        char engine[1024];
        ASSERT_TRUE(RwOsResolvePath(path, engine, sizeof(engine)));
        EXPECT_EQ(std::string(engine), expected) << path;
        zuFile *file = zufopen(path, "rb");
        ASSERT_NE(file, nullptr) << path;
        EXPECT_NE(file->fp, nullptr);
        zufclose(file);
    }
    const std::string rooted = root + "\\resource\\STAGE\\1\\INFO.TXT";
    EXPECT_TRUE(zufexists(rooted.c_str()));
    EXPECT_EQ(ResourceRelativePath(rooted.c_str()), "\\resource\\STAGE\\1\\INFO.TXT");
    EXPECT_EQ(ResourceRelativePath("C:\\GAME\\RESOURCE\\A.BMP"), "\\RESOURCE\\A.BMP");
    EXPECT_EQ(ResourceRelativePath("\\PACK\\UI0\\A.STR"), "");
    // Only a folder named RESOURCE itself starts the part kept.
    EXPECT_EQ(ResourceRelativePath("C:\\RES\\RESOURCES\\Resource\\A.BMP"), "\\Resource\\A.BMP");
    EXPECT_EQ(ResourceRelativePath("C:\\GAME\\SOURCE\\XESOURCE\\A.BMP"), "");  // every letter counts
    // A folder is not a file.
    EXPECT_FALSE(zufexists("\\RESOURCE\\STAGE"));
}

// A file is named in messages from the data root, with '/' between its
// parts and each part spelt as on the disc where it is there.
TEST_F(FileLayer, MessagesNameAFileFromTheDataRootAsTheDiscSpellsIt)
{
    apptest::WriteText(root + "/RESOURCE/Stage/1/Info.TXT", "x");
    EXPECT_EQ(MessagePath("\\RESOURCE\\STAGE\\1\\INFO.TXT"), "RESOURCE/Stage/1/Info.TXT");
    EXPECT_EQ(MessagePath("resource/./stage//1/info.txt"), "RESOURCE/Stage/1/Info.TXT");
    // The data root written out is left out, however it is written.
    EXPECT_EQ(MessagePath((root + "\\.\\RESOURCE\\stage/1/INFO.txt").c_str()), "RESOURCE/Stage/1/Info.TXT");
    EXPECT_EQ(MessagePath((root + "\\resource\\\\STAGE\\1\\").c_str()), "RESOURCE/Stage/1");
    const size_t last = root.rfind('/');
    const std::string dotted = root.substr(0, last) + "/./" + root.substr(last + 1) + "\\RESOURCE\\STAGE\\1\\INFO.TXT";
    EXPECT_EQ(MessagePath(dotted.c_str()), "RESOURCE/Stage/1/Info.TXT");
    // A file that is not there keeps the asked spelling where the disc has none.
    EXPECT_EQ(MessagePath("\\resource\\stage\\2\\none.txt"), "RESOURCE/Stage/2/none.txt");
    // A folder beside the root whose name only begins like it is not inside it.
    const std::string beside = root + "2/A.TXT";
    EXPECT_EQ(MessagePath(beside.c_str()), beside.substr(1));
    // A relative path is never taken as under an absolute root.
    EXPECT_EQ(MessagePath(beside.substr(1).c_str()), beside.substr(1));
    for (const char *nameless : {"", "\\", "./.", static_cast<const char *>(nullptr)}) {
        EXPECT_EQ(MessagePath(nameless), "(no name)") << (nameless != nullptr ? nameless : "null");
    }
    // No path leads nowhere.
    EXPECT_EQ(ResolveGamePath(nullptr), "");
    EXPECT_EQ(ResourceRelativePath(nullptr), "");
}

TEST_F(FileLayer, TextModeFoldsCarriageReturnsBinaryModeKeepsThem)
{
    apptest::WriteText(root + "/T.TXT", "ab\r\ncd\r\n\re\r");
    char line[16];
    zuFile *text = zufopen("\\T.TXT", "r");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(zufgets(line, 16, text), "ab\n");
    EXPECT_STREQ(zufgets(line, 16, text), "cd\n");
    EXPECT_STREQ(zufgets(line, 16, text), "\re\r");
    EXPECT_EQ(zufgets(line, 16, text), nullptr);
    zufclose(text);
    zuFile *binary = zufopen("\\T.TXT", "rb");
    ASSERT_NE(binary, nullptr);
    EXPECT_STREQ(zufgets(line, 16, binary), "ab\r\n");
    zufclose(binary);
}

TEST_F(FileLayer, NarrowLinesStopAtSizeMinusOne)
{
    const std::string data = "abcdef\nxy";
    zuFile *file = zufopenMemory(data.data(), data.size(), "rb");
    char line[8];
    std::memset(line, '#', sizeof(line));
    EXPECT_STREQ(zufgets(line, 4, file), "abc");
    EXPECT_EQ(line[4], '#');
    EXPECT_STREQ(zufgets(line, 4, file), "def");
    EXPECT_STREQ(zufgets(line, 4, file), "\n");
    EXPECT_STREQ(zufgets(line, 4, file), "xy");
    EXPECT_EQ(zufgets(line, 4, file), nullptr);
    EXPECT_EQ(zufgets(line, 0, file), nullptr);
    zufclose(file);
}

// The line feed a last line gets must not pass `count`: the buffer is
// exactly as long as the line, guarded on both sides.
TEST_F(FileLayer, WideLinesNeverPassTheirBufferAppendedLineFeedIncluded)
{
    const std::vector<uint8_t> bytes = apptest::Utf16(u"abc\ndefg", true);
    for (bool packed : {false, true}) {
        zuFile *file = nullptr;
        if (packed) {
            file = zufopenMemory(bytes.data(), bytes.size(), "rb");
        } else {
            apptest::WriteBytes(root + "/W.TXT", bytes);
            file = zufopen("\\W.TXT", "rb");
        }
        ASSERT_NE(file, nullptr);
        char16_t guarded[7];
        std::fill(std::begin(guarded), std::end(guarded), u'#');
        char16_t *buffer = guarded + 1;
        ASSERT_NE(zufgetws(buffer, 5, file), nullptr);
        EXPECT_EQ(std::u16string(buffer), u"abc\n");
        ASSERT_NE(zufgetws(buffer, 5, file), nullptr);
        EXPECT_EQ(std::u16string(buffer), u"defg");  // no room for the line feed
        EXPECT_EQ(guarded[0], u'#');
        EXPECT_EQ(guarded[6], u'#');
        EXPECT_EQ(zufgetws(buffer, 5, file), nullptr);
        zufclose(file);
    }
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    char16_t line[16];
    zufgetws(line, 16, file);
    ASSERT_NE(zufgetws(line, 16, file), nullptr);
    EXPECT_EQ(std::u16string(line), u"defg\n");  // with room, the last line gets its line feed
    char16_t one[1] = {u'#'};
    EXPECT_EQ(zufgetws(one, 1, file), nullptr);
    zufclose(file);
}

// Japanese text is full of units whose low byte is zero (U+3000, U+4E00):
// they are characters like any other, not the end of the file.
TEST_F(FileLayer, WideUnitsWithAZeroLowByteAreRead)
{
    const std::vector<uint8_t> bytes = apptest::Utf16(u"\u4E00\u3000\u0100x\n", true);
    apptest::WriteBytes(root + "/J.TXT", bytes);
    for (bool packed : {false, true}) {
        zuFile *file = packed ? zufopenMemory(bytes.data(), bytes.size(), "rb") : zufopen("\\J.TXT", "rb");
        ASSERT_NE(file, nullptr);
        char16_t line[16];
        ASSERT_NE(zufgetws(line, 16, file), nullptr);
        EXPECT_EQ(std::u16string(line), u"\u4E00\u3000\u0100x\n") << packed;
        zufclose(file);
    }
}

// In text mode a carriage return before a line feed goes; one before any other unit
// stays, that unit included (U+010A shares its low byte with the line feed), and so
// does one at the very end.
TEST_F(FileLayer, WideTextKeepsCarriageReturnsBeforeOtherUnits)
{
    const std::vector<uint8_t> bytes = apptest::Utf16(u"a\r\nb\r\u010Ac\r", true);
    apptest::WriteBytes(root + "/R.TXT", bytes);
    for (bool packed : {false, true}) {
        zuFile *file = packed ? zufopenMemory(bytes.data(), bytes.size(), "r") : zufopen("\\R.TXT", "r");
        ASSERT_NE(file, nullptr);
        char16_t line[16];
        ASSERT_NE(zufgetws(line, 16, file), nullptr);
        EXPECT_EQ(std::u16string(line), u"a\n") << packed;
        ASSERT_NE(zufgetws(line, 16, file), nullptr);
        EXPECT_EQ(std::u16string(line), u"b\r\u010Ac\r\n") << packed;
        EXPECT_EQ(zufgetws(line, 16, file), nullptr) << packed;
        EXPECT_NE(zufeof(file), 0) << packed;
        zufclose(file);
    }
}

TEST_F(FileLayer, ReadSeekTellAndEndOfFileOnMemoryAndDisk)
{
    const std::string data = "0123456789";
    apptest::WriteText(root + "/D.BIN", data);
    for (bool packed : {false, true}) {
        zuFile *file = packed ? zufopenMemory(data.data(), data.size(), "rb") : zufopen("\\D.BIN", "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(zufsize(file), 10);
        char buffer[8] = {};
        EXPECT_EQ(zufread(buffer, 1, 4, file), 4u);
        EXPECT_EQ(std::string(buffer, 4), "0123");
        EXPECT_EQ(zuftell(file), 4);
        EXPECT_EQ(zufseek(file, -2, SEEK_END), 0);
        EXPECT_EQ(zufread(buffer, 2, 3, file), 1u);  // whole items only
        EXPECT_NE(zufeof(file), 0);
        EXPECT_EQ(zufseek(file, 1, SEEK_SET), 0);
        EXPECT_EQ(zufeof(file), 0);
        EXPECT_EQ(zufread(buffer, 1, 1, file), 1u);
        EXPECT_EQ(buffer[0], '1');
        EXPECT_EQ(zufclose(file), 0);  // as fclose answers a good close
    }
    EXPECT_EQ(zufclose(nullptr), 0);
    zuFile *memory = zufopenMemory(data.data(), data.size(), "rb");
    EXPECT_NE(zufseek(memory, -1, SEEK_SET), 0);
    EXPECT_EQ(zufwrite("x", 1, 1, memory), 0u);
    zufclose(memory);
    EXPECT_EQ(zufopenMemory(data.data(), data.size(), "w"), nullptr);
}

// Every call answers a file that is not there, or a pack's file that
// cannot be written, as the C library answers a failure; a seek from the
// current place or the end lands where asked, up to the start and no
// further; text read from memory folds its carriage returns.
TEST_F(FileLayer, FailuresAnswerAsTheCLibraryDoesAndSeeksLandWhereAsked)
{
    char buffer[8] = {};
    EXPECT_EQ(zufseek(nullptr, 0, SEEK_SET), -1);
    EXPECT_EQ(zuftell(nullptr), -1);
    EXPECT_EQ(zufeof(nullptr), 1);
    EXPECT_EQ(zufsize(nullptr), -1);
    EXPECT_EQ(zufread(buffer, 1, 1, nullptr), 0u);
    EXPECT_EQ(zufputs("x", nullptr), EOF);
    EXPECT_EQ(zufprintf(nullptr, "x"), -1);
    const std::string data = "0123456789";
    zuFile *memory = zufopenMemory(data.data(), data.size(), "rb");
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(zufputs("x", memory), EOF);
    EXPECT_EQ(zufprintf(memory, "x"), -1);
    EXPECT_EQ(zufseek(memory, 0, 7), -1);  // no such origin
    EXPECT_EQ(zufseek(memory, 6, SEEK_SET), 0);
    EXPECT_EQ(zufseek(memory, -6, SEEK_CUR), 0);  // back to the start exactly
    EXPECT_EQ(zuftell(memory), 0);
    EXPECT_EQ(zufseek(memory, -1, SEEK_CUR), -1);
    EXPECT_EQ(zufseek(memory, -10, SEEK_END), 0);
    EXPECT_EQ(zufseek(memory, -11, SEEK_END), -1);
    EXPECT_EQ(zuftell(memory), 0);
    EXPECT_EQ(zufseek(memory, 3, SEEK_CUR), 0);
    EXPECT_EQ(zufread(buffer, 1, 2, memory), 2u);
    EXPECT_EQ(std::string(buffer, 2), "34");
    zufclose(memory);
    const std::string lines = "a\r\nb\r\n";
    zuFile *text = zufopenMemory(lines.data(), lines.size(), "r");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(zufread(buffer, 1, sizeof buffer, text), 4u);
    EXPECT_EQ(std::string(buffer, 4), "a\nb\n");
    zufclose(text);
    // A text read takes no more than it is asked for.
    text = zufopenMemory(lines.data(), lines.size(), "r");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(zufread(buffer, 1, 2, text), 2u);
    EXPECT_EQ(std::string(buffer, 3), "a\n#");
    EXPECT_EQ(zufread(buffer, 1, 1, text), 1u);
    EXPECT_EQ(buffer[0], 'b');
    zufclose(text);
}

TEST_F(FileLayer, WritingGoesToThePlainFile)
{
    zuFile *file = zufopen("\\SAVE\\..\\OUT.TXT", "w+");
    ASSERT_EQ(file, nullptr);  // no SAVE folder: the open says so
    file = zufopen("\\OUT.TXT", "w+");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->fp, nullptr);
    EXPECT_GT(zufprintf(file, "Value: %d\n", 5), 0);
    zufclose(file);
    EXPECT_EQ(apptest::ReadBytes(root + "/OUT.TXT"), std::vector<uint8_t>({'V', 'a', 'l', 'u', 'e', ':', ' ', '5', '\n'}));
}

TEST_F(FileLayer, RawFileBufferRoundsUpToWholeBlocks)
{
    struct Row {
        size_t size;
        uint32_t capacity;
    } rows[] = {{0, 32768}, {1, 32768}, {32768, 32768}, {32769, 65536}, {100000, 131072}};
    for (const Row &row : rows) {
        std::vector<uint8_t> bytes(row.size);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 7);
        }
        apptest::WriteBytes(root + "/RAW.BIN", bytes);
        RawFile *file = RawFileOpen("\\raw.bin");
        ASSERT_NE(file, nullptr);
        RawFileBuffer *record = RawFileBufferCreate(file);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->fileSize, row.size);
        EXPECT_EQ(record->capacity, row.capacity);
        record->buffer[record->capacity - 1] = 1;  // the whole buffer is there
        // One block a read, as the page streams do.
        uint32_t at = 0;
        for (uint32_t got = 1; got != 0;) {
            ASSERT_TRUE(RawFileRead(file, record->buffer + at, kRawFileBlock, &got));
            at += got;
        }
        EXPECT_EQ(at, row.size);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), record->buffer));
        RawFileBufferFree(record);
        RawFileClose(file);
    }
    EXPECT_EQ(RawFileOpen("\\NONE.BIN"), nullptr);
    EXPECT_EQ(RawFileOpen("\\"), nullptr);
    EXPECT_EQ(RawFileBufferCreate(nullptr), nullptr);
    // Reads of nothing succeed with nothing; a read without a buffer or a
    // file fails with nothing read.
    RawFile *file = RawFileOpen("\\raw.bin");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(RawFileSize(file), 100000);
    uint8_t buffer[4] = {};
    uint32_t got = 5;
    EXPECT_TRUE(RawFileRead(file, nullptr, 0, &got));
    EXPECT_EQ(got, 0u);
    got = 5;
    EXPECT_FALSE(RawFileRead(file, nullptr, 4, &got));
    EXPECT_EQ(got, 0u);
    got = 5;
    EXPECT_FALSE(RawFileRead(nullptr, buffer, 4, &got));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(RawFileRead(file, buffer, 4, nullptr));
    EXPECT_EQ(buffer[1], 7);
    RawFileClose(file);
    EXPECT_EQ(RawFileSize(nullptr), -1);
}

// A read the system refuses (an input/output error: here the program's own
// memory at address 0, which is never there to read) fails with nothing
// read, so the caller never takes a short buffer for the whole file.
TEST_F(FileLayer, ARawReadTheSystemRefusesFailsWithNothingRead)
{
    std::filesystem::remove(root + "/MEM.BIN");
    std::filesystem::create_symlink("/proc/self/mem", root + "/MEM.BIN");
    RawFile *file = RawFileOpen("\\mem.bin");
    ASSERT_NE(file, nullptr);
    uint8_t buffer[16] = {};
    uint32_t got = 5;
    EXPECT_FALSE(RawFileRead(file, buffer, sizeof buffer, &got));
    EXPECT_EQ(got, 0u);
    RawFileClose(file);
}

TEST_F(FileLayer, ExtraStageFileProbeIsQuiet)
{
    apptest::WriteText(root + "/pack/stage5/2050000.tsr", "");
    gametest::CaptureDiagnostics();
    EXPECT_EQ(CheckExtraStageFile(2050000), 0);
    EXPECT_EQ(CheckExtraStageFile(2060000), 2);
    EXPECT_EQ(gametest::TakeDiagnostics(), "");
    EXPECT_TRUE(FatalRecorder::Names().empty());
}

}  // namespace

}  // namespace file_test
