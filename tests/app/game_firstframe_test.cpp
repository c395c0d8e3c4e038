// End to end: the game run headless in the 800x600 window for three ticks,
// in a folder holding nothing but its font, writes the frame it showed as a
// BMP, cleared with the quads in place. And what the game says and how it
// ends when it cannot go on (an option it does not know, no data, a damaged
// or truncated world, no display), its usage text, and a missing picture that is
// reported while the game plays on.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/bmp_file.h"
#include "tests/app/run_without_screens.h"

namespace game_firstframe_test {

namespace {

using apptest::Bmp;
using apptest::LoadBmp;

// A folder of the test build holding nothing but the sample font, without
// the picture `out` of an earlier run.
void MakeFontFolder(const std::string &dir, const std::string &out)
{
    const std::string font = std::string(RW_TEST_BINARY_DIR) + "/data/RESOURCE/FONT/ENGFONT.XBF";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/RESOURCE/FONT' && rm -f '" + out + "' && cp '" + font + "' '" + dir +
                           "/RESOURCE/FONT/'")
                              .c_str()),
              0)
        << "no sample font: build the sample-data target";
}

TEST(GameFirstFrame, HeadlessScreenshotShowsTheClearedFrameWithItsQuads)
{
    const std::string dir = std::string(RW_TEST_BINARY_DIR) + "/tests/app_firstframe";
    const std::string out = dir + "/out.bmp";
    ASSERT_NO_FATAL_FAILURE(MakeFontFolder(dir, out));
    // Without its screens (which would need their packs) the frame is the
    // cleared frame with its quads.
    ASSERT_EQ(apptest::RunWithoutScreens(dir, {"--mode", "2", "--frames", "3", "--screenshot", "3:out.bmp"}), 0);

    Bmp bmp;
    ASSERT_TRUE(LoadBmp(out, &bmp));
    EXPECT_EQ(bmp.width, 800);
    EXPECT_EQ(bmp.height, 600);
    ASSERT_TRUE(bmp.bits == 24 || bmp.bits == 32);
    const uint32_t clear = 0x182858;
    const uint32_t red = 0xDC2828;
    const uint32_t green = 0x28C83C;
    // Red covers [100, 300) x [100, 300), green [400, 700) x [300, 500).
    EXPECT_EQ(bmp.Pixel(0, 0), clear);
    EXPECT_EQ(bmp.Pixel(799, 599), clear);
    EXPECT_EQ(bmp.Pixel(100, 100), red);
    EXPECT_EQ(bmp.Pixel(299, 299), red);
    EXPECT_EQ(bmp.Pixel(200, 200), red);
    EXPECT_EQ(bmp.Pixel(300, 200), clear);
    EXPECT_EQ(bmp.Pixel(99, 200), clear);
    EXPECT_EQ(bmp.Pixel(400, 300), green);
    EXPECT_EQ(bmp.Pixel(699, 499), green);
    EXPECT_EQ(bmp.Pixel(550, 400), green);
    EXPECT_EQ(bmp.Pixel(700, 400), clear);
    EXPECT_EQ(bmp.Pixel(550, 500), clear);
    EXPECT_EQ(bmp.Pixel(350, 250), clear);
}


// A screenshot that cannot be written is named and the run, played to its
// end, fails: a script waiting for the picture learns it is not there.
TEST(GameFirstFrame, AScreenshotThatCannotBeWrittenIsNamedAndFailsTheRun)
{
    const std::string dir = std::string(RW_TEST_BINARY_DIR) + "/tests/app_firstframe_unwritable";
    ASSERT_NO_FATAL_FAILURE(MakeFontFolder(dir, dir + "/none/out.bmp"));
    testing::internal::CaptureStderr();
    const int status = apptest::RunWithoutScreens(dir, {"--mode", "2", "--frames", "3", "--screenshot", "3:none/out.bmp"});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("game: could not write the screenshot none/out.bmp\n"), std::string::npos) << said;
}

std::string Game() { return std::string(RW_TEST_BINARY_DIR) + "/app/game"; }
std::string SampleData() { return std::string(RW_TEST_BINARY_DIR) + "/data"; }
// Each case runs in a folder of its own: CTest runs them side by side.
std::string CaseDir(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/app_startup/" + name + "_" + std::to_string(getpid());
}

struct GameRun {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string output;  // stdout and stderr together
};

GameRun RunIn(const std::string &dir, const std::string &arguments, const std::string &environment = "")
{
    const std::string command = "cd '" + dir + "' && " + environment + " '" + Game() + "' " + arguments + " 2>&1";
    GameRun run;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string FreshDir(const std::string &name)
{
    const std::string dir = CaseDir(name);
    EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
    return dir;
}

// A copy of the sample data tree to damage; skipped without sample data. Its
// files are hard links to the sample data's, as apptest::CopySampleData makes
// them: a file is made the copy's own (apptest::OwnFile) before it is damaged.
bool CopySampleData(const std::string &dir)
{
    if (std::system(("test -f '" + SampleData() + "/RESOURCE/STAGE/1/STAGE.BSP'").c_str()) != 0) {
        return false;
    }
    return std::system(("cp -rl '" + SampleData() + "/.' '" + dir + "/'").c_str()) == 0;
}

// A copy of the sample data tree to damage, in the case's own folder, which
// goes once the case has passed (a failed case leaves it to look at).
struct SampleCopy {
    explicit SampleCopy(const std::string &name) : dir(FreshDir(name)), made(CopySampleData(dir)) {}
    ~SampleCopy()
    {
        if (!::testing::Test::HasFailure()) {
            std::filesystem::remove_all(dir);
        }
    }
    const std::string dir;
    const bool made;
};

TEST(GameStartUp, HelpPrintsTheUsageAndEndsWell)
{
    const GameRun run = RunIn(FreshDir("help"), "--help");
    EXPECT_EQ(run.status, 0);
    for (const char *option :
         {"usage: game", "--mode", "--frames", "--headless", "--fixed-step", "--screenshot", "--debug", "--movie"}) {
        EXPECT_NE(run.output.find(option), std::string::npos) << option << " missing from:\n" << run.output;
    }
}

TEST(GameStartUp, BadOptionsAreNamedAndEndWithStatusTwo)
{
    const std::string dir = FreshDir("options");
    const struct {
        const char *arguments;
        const char *named;
    } cases[] = {
        {"--bogus", "--bogus"},
        {"--headless --frames", "--frames"},
        {"--headless --mode 5 --frames 1", "--mode"},
        {"--headless --screenshot nowhere", "--screenshot"},
        // A trace that cannot be written stops the run before anything starts.
        {"--headless --mode 1 --frames 1 --trace /nonexistent-folder/x/t.txt",
         "the trace file /nonexistent-folder/x/t.txt cannot be written"},
    };
    for (const auto &c : cases) {
        const GameRun run = RunIn(dir, c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << c.arguments << ": " << run.output;
    }
}

// An empty folder: the first file the game cannot do without (its font)
// ends the run, and the message says where to start the game. Nothing
// claims a plain frame that is never shown.
TEST(GameStartUp, WithoutDataItSaysWhichFileIsMissingAndWhereToStartAndFails)
{
    const GameRun run = RunIn(FreshDir("nodata"), "--headless --frames 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Cannot find the file: RESOURCE/FONT/ENGFONT.XBF\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("start the game in the sample data folder (build/data)"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("plain first frame"), std::string::npos) << run.output;
}

// A data tree whose font is there but is no file: it cannot be read, and
// the report says so rather than that it is missing (and gives no advice
// about where to start: the data tree is there).
TEST(GameStartUp, AFileThatIsThereButCannotBeReadIsReportedWithItsReason)
{
    const std::string dir = FreshDir("unreadable");
    if (!CopySampleData(dir)) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    ASSERT_EQ(std::system(("rm '" + dir + "/RESOURCE/FONT/ENGFONT.XBF' && mkdir '" + dir +
                           "/RESOURCE/FONT/ENGFONT.XBF'").c_str()),
              0);
    const GameRun run = RunIn(dir, "--headless --mode 1 --frames 1");
    EXPECT_EQ(run.status, 1);
    // Named once: by the fatal report.
    EXPECT_EQ(run.output.find("cannot read RESOURCE/FONT/ENGFONT.XBF"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Cannot read RESOURCE/FONT/ENGFONT.XBF: it is a folder\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("Cannot find the file"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("build/data"), std::string::npos) << run.output;
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

TEST(GameStartUp, WithoutADisplayItSaysSoAndFails)
{
    const GameRun run =
        RunIn(FreshDir("nodisplay"), "--mode 1 --frames 1", "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("no display"), std::string::npos) << run.output;
}

// Sets the native bit of the world struct's format word in the world file
// at `at`: world chunk header, struct header, root flag, origin, four counts
// and the collision size come before the word (offset 60).
void SetNativeBit(const std::string &file, std::streamoff at)
{
    apptest::OwnFile(file);
    std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(bytes.is_open()) << file;
    bytes.seekp(at + 63);
    bytes.put(static_cast<char>(0x01));
}

const char kWorldListLine[] = "\\RESOURCE\\STAGE\\1\\STAGE.BSP\t";

// Where the stage pack keeps the world's bytes: its list names the record's
// offset; the record is a name length, the name, a size, then the bytes.
std::streamoff WorldInPack(const std::string &dir)
{
    std::ifstream list(dir + "/PACK/STAGE1/2010000.LST");
    std::string line;
    while (std::getline(list, line)) {
        if (line.rfind(kWorldListLine, 0) == 0) {
            const std::streamoff record = std::stoll(line.substr(line.find('\t') + 1));
            std::ifstream pack(dir + "/PACK/STAGE1/2010000.STR", std::ios::binary);
            pack.seekg(record);
            unsigned char length[4] = {};
            pack.read(reinterpret_cast<char *>(length), 4);
            const std::streamoff n = length[0] | (length[1] << 8) | (length[2] << 16) | (length[3] << 24);
            return record + 4 + n + 4;
        }
    }
    return -1;
}

// Cuts the world to its first `keep` bytes, on disk and in the stage pack
// (whose record and list line say the shorter size; the bytes after it stay
// in the pack, unread, so the other records keep their offsets).
void TruncateWorld(const std::string &dir, uint32_t keep)
{
    apptest::OwnFile(dir + "/RESOURCE/STAGE/1/STAGE.BSP");
    std::filesystem::resize_file(dir + "/RESOURCE/STAGE/1/STAGE.BSP", keep);
    const std::streamoff packed = WorldInPack(dir);
    if (packed < 0) {
        return;
    }
    apptest::OwnFile(dir + "/PACK/STAGE1/2010000.STR");
    std::fstream pack(dir + "/PACK/STAGE1/2010000.STR", std::ios::in | std::ios::out | std::ios::binary);
    pack.seekp(packed - 4);
    for (int i = 0; i < 4; ++i) {
        pack.put(static_cast<char>((keep >> (8 * i)) & 0xFF));
    }
    const std::string listPath = dir + "/PACK/STAGE1/2010000.LST";
    std::ifstream in(listPath);
    std::string list;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(kWorldListLine, 0) == 0) {
            line = line.substr(0, line.rfind('\t') + 1) + std::to_string(keep);
        }
        list += line + "\n";
    }
    in.close();
    apptest::OwnFile(listPath);
    std::ofstream(listPath, std::ios::trunc) << list;
}

// The world with its native bit set: the sectors' vertex and triangle
// arrays are then not read, though their counts stay.
TEST(GameStartUp, ADamagedWorldEndsItWithTheEnginesError)
{
    const SampleCopy copy("damaged");
    const std::string &dir = copy.dir;
    if (!copy.made) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    SetNativeBit(dir + "/RESOURCE/STAGE/1/STAGE.BSP", 0);
    const std::streamoff packed = WorldInPack(dir);
    if (packed >= 0) {
        SetNativeBit(dir + "/PACK/STAGE1/2010000.STR", packed);
    }
    // The game starts at its screens; the stage is read when a stage is
    // entered (here at once).
    const GameRun run = RunIn(dir, "--headless --frames 1 --stage 1");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("Cannot read RESOURCE/STAGE/1/STAGE.BSP: E_RW_READ"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Cannot find the file"), std::string::npos) << run.output;
    // The stage load of --stage says the same of the world it reads.
    const GameRun staged = RunIn(dir, "--headless --mode 1 --stage 1 --frames 1");
    EXPECT_NE(staged.status, 0);
    EXPECT_NE(staged.output.find("STAGE.BSP: E_RW_READ"), std::string::npos) << staged.output;
    EXPECT_EQ(staged.output.find("Cannot find the file"), std::string::npos) << staged.output;
}

// A world cut short inside its sector tree.
TEST(GameStartUp, ATruncatedWorldEndsItWithTheEnginesError)
{
    const SampleCopy copy("truncated");
    const std::string &dir = copy.dir;
    if (!copy.made) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    TruncateWorld(dir, 3000);
    const GameRun run = RunIn(dir, "--headless --frames 1 --stage 1");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("Cannot read RESOURCE/STAGE/1/STAGE.BSP: E_RW_READ"), std::string::npos) << run.output;
}

TEST(GameStartUp, AMissingPictureIsReportedAndTheGamePlaysOn)
{
    const SampleCopy copy("nopicture");
    const std::string &dir = copy.dir;
    if (!copy.made) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    // The stage model's picture is gone from its folder, and its copy in the
    // stage's pack answers to another name (the name field of the pack's
    // dictionary is renamed in place, so the pack's list still agrees).
    ASSERT_EQ(std::remove((dir + "/RESOURCE/STAGE/1/TEXTURES/CRATE_WOOD.BMP").c_str()), 0);
    const std::string packPath = dir + "/PACK/STAGE1/2010000.STR";
    std::ifstream in(packPath, std::ios::binary);
    std::string pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const size_t name = pack.find(std::string("crate_wood\0", 11));
    ASSERT_NE(name, std::string::npos);
    pack[name + 9] = 'X';
    apptest::OwnFile(packPath);
    std::ofstream(packPath, std::ios::binary | std::ios::trunc) << pack;
    // A missing picture is a diagnostic line: said with --debug only.
    const GameRun quiet = RunIn(dir, "--headless --frames 2 --stage 1");
    EXPECT_EQ(quiet.status, 0) << quiet.output;
    EXPECT_EQ(quiet.output.find("E_RW_TEXTURENOTFOUND"), std::string::npos) << quiet.output;
    const GameRun run = RunIn(dir, "--headless --frames 2 --stage 1 --debug");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("E_RW_TEXTURENOTFOUND"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("crate_wood"), std::string::npos) << run.output;
}

}  // namespace

}  // namespace game_firstframe_test
