// End to end: what the game says and how it ends when it cannot go on (an
// option it does not know, no data, a damaged world, no display), its usage
// text, and a missing picture that is reported while the game plays on.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

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

// A copy of the sample data tree to damage; skipped without sample data.
bool CopySampleData(const std::string &dir)
{
    if (std::system(("test -f '" + SampleData() + "/RESOURCE/STAGE/1/STAGE.BSP'").c_str()) != 0) {
        return false;
    }
    return std::system(("cp -r '" + SampleData() + "/.' '" + dir + "/'").c_str()) == 0;
}

TEST(GameStartUp, HelpPrintsTheUsageAndEndsWell)
{
    const GameRun run = RunIn(FreshDir("help"), "--help");
    EXPECT_EQ(run.status, 0);
    for (const char *option : {"usage: game", "--mode", "--frames", "--headless", "--fixed-step", "--screenshot"}) {
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
    };
    for (const auto &c : cases) {
        const GameRun run = RunIn(dir, c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << c.arguments << ": " << run.output;
    }
}

TEST(GameStartUp, WithoutDataItSaysWhichFileIsMissingAndFails)
{
    const GameRun run = RunIn(FreshDir("nodata"), "--headless --frames 1");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("RESOURCE/STAGE/1/STAGE.BSP"), std::string::npos) << run.output;
}

TEST(GameStartUp, WithoutADisplayItSaysSoAndFails)
{
    const GameRun run =
        RunIn(FreshDir("nodisplay"), "--mode 1 --frames 1", "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("no display"), std::string::npos) << run.output;
}

// The world struct's format word with the native bit set: the sectors'
// vertex and triangle arrays are then not read, though their counts stay.
TEST(GameStartUp, ADamagedWorldEndsItWithTheEnginesError)
{
    const std::string dir = FreshDir("damaged");
    if (!CopySampleData(dir)) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    const std::string world = dir + "/RESOURCE/STAGE/1/STAGE.BSP";
    std::fstream file(world, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file.is_open());
    // World chunk header, struct header, root flag, origin, four counts and
    // the collision size come before the format word (offset 60).
    file.seekp(63);
    file.put(static_cast<char>(0x01));
    file.close();
    const GameRun run = RunIn(dir, "--headless --frames 1");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("STAGE.BSP"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("E_RW_READ"), std::string::npos) << run.output;
}

TEST(GameStartUp, AMissingPictureIsReportedAndTheGamePlaysOn)
{
    const std::string dir = FreshDir("nopicture");
    if (!CopySampleData(dir)) {
        GTEST_SKIP() << "no sample data in " << SampleData();
    }
    ASSERT_EQ(std::remove((dir + "/RESOURCE/G_EVENT/DFF/TEXTURES/CRATE_WOOD.BMP").c_str()), 0);
    const GameRun run = RunIn(dir, "--headless --frames 2");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("E_RW_TEXTURENOTFOUND"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("crate_wood"), std::string::npos) << run.output;
}

}  // namespace
