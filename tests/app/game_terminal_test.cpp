// End to end: what the game says on its terminal, and how it ends from
// outside. A stage run says nothing unless --debug asks for the diagnostic
// lines; the line about the plain first frame appears only when that frame
// is what is shown; SIGINT and SIGTERM end a headless or windowed run
// within a tick through the normal exit (the trace written to its last
// tick, status 0); on an X server without the fonts of the "Game Mode" box
// the game says so and takes mode 1.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "support/game/trace_reader.h"
#include "support/platform/xvfb_display.h"
#include "tests/app/app_test_support.h"

namespace game_terminal_test {

namespace {

using namespace std::chrono_literals;

// A signalled run ends at its next tick, then writes and frees what it holds: a
// bound far above that (a loaded machine may stall any process for a second or
// more) that a run waiting on something else, such as the stage's end, still
// overruns. A sanitizer build checks its whole heap on the way out besides.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto kEndsWithin = 30000ms;
#else
constexpr auto kEndsWithin = 10000ms;
#endif

std::string Folder(const std::string &name) { return apptest::ScratchFolder("terminal/" + name); }

// The runs' copies of the data tree go once a case has passed.
class GameTerminal : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (!HasFailure()) {
            std::filesystem::remove_all(std::filesystem::path(apptest::ScratchFolder("terminal")));
        }
    }
};

std::string Lines(const std::string &text, const std::string &prefix)
{
    std::istringstream in(text);
    std::string found;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) {
            found += line + "\n";
        }
    }
    return found;
}

TEST_F(GameTerminal, AStageRunSaysNothingAndDebugBringsTheDiagnosticLinesBack)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string run = "--headless --mode 1 --stage 1 --fixed-step 16 --frames 120";
    std::string quiet;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), run, &quiet), 0) << quiet;
    EXPECT_EQ(quiet, "");
    std::string debug;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), run + " --debug", &debug), 0) << debug;
    // The sample data has no bindings file: the quiet open says so.
    EXPECT_NE(debug.find("zufopen fail: "), std::string::npos) << debug;
    EXPECT_NE(debug.find("buttons.pref\n"), std::string::npos) << debug;
    // Every diagnostic line is whole: none starts with what another left over.
    EXPECT_EQ(Lines(debug, "."), "") << debug;
}

// The plain first frame stood in for the game before its screens: the game
// now starts at its warning screen whether or not the first stage is in the
// data tree, so nothing says a plain frame is shown, and every run shows
// the same first screen.
TEST_F(GameTerminal, ThePlainFrameIsSaidOnlyWhenItIsShown)
{
    const std::string whole = Folder("whole");
    const std::string packOnly = Folder("pack_only");
    const std::string none = Folder("none");
    if (!apptest::CopySampleData(whole) || !apptest::CopySampleData(packOnly) || !apptest::CopySampleData(none)) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    std::filesystem::remove(packOnly + "/RESOURCE/STAGE/1/STAGE.BSP");
    std::filesystem::remove(none + "/RESOURCE/STAGE/1/STAGE.BSP");
    std::filesystem::remove_all(none + "/PACK/STAGE1");
    std::filesystem::remove_all(none + "/USAPACK/STAGE1");
    const std::string run = "--headless --mode 1 --fixed-step 16 --frames 2 --screenshot 2:out.bmp";
    for (const std::string &folder : {whole, packOnly, none}) {
        std::string output;
        ASSERT_EQ(apptest::RunGame(folder, run, &output), 0) << output;
        EXPECT_EQ(output.find("plain first frame"), std::string::npos) << output;
        EXPECT_EQ(apptest::ReadBytes(folder + "/out.bmp"), apptest::ReadBytes(whole + "/out.bmp")) << folder;
    }
}

// A private X server: Xvfb on a display number it picks itself, its font
// path an empty folder (a bare server, without the fonts a message box is
// drawn in). Stopped with the object.
class PrivateXServer {
public:
    PrivateXServer()
        : display_(rwtest::StartXvfb({"-fp", Folder("no_fonts"), "-screen", "0", "800x600x24", "-nolisten", "tcp"},
                                     &pid_))
    {
    }
    ~PrivateXServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string &Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

TEST_F(GameTerminal, WithoutTheFontsOfTheGameModeBoxTheGameSaysSoAndTakesModeOne)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    PrivateXServer server;
    if (server.Display().empty()) {
        GTEST_SKIP() << "no Xvfb to stand for a bare X server";
    }
    // A box that shows after all (another way of drawing it is installed)
    // waits for a click: the run is stopped then, and the case says so.
    std::string output;
    const int status = apptest::RunGame(apptest::SampleData(), "--frames 3 --fixed-step 16", &output,
                                        "DISPLAY=" + server.Display() + " SDL_AUDIODRIVER=dummy timeout -s KILL 30");
    if (status == 137) {
        GTEST_SKIP() << "the box could be shown on this server";
    }
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("game: the Game Mode box cannot be shown ("), std::string::npos) << output;
    EXPECT_NE(output.find("mode 1 is taken"), std::string::npos) << output;
}

// Starts the game in `folder` with `arguments` (the process is the game's
// own, the shell execs it); its pid.
pid_t StartGame(const std::string &folder, const std::string &arguments, const std::string &environment,
                const std::string &output)
{
    const std::string command = "cd '" + folder + "' && exec env " + environment + " '" +
                                std::string(RW_TEST_BINARY_DIR) + "/app/game' " + arguments + " >'" + output +
                                "' 2>&1";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

// The highest tick in the trace so far (its lines are written in tick order).
uint32_t LastTraceTick(const std::string &path)
{
    const std::vector<gametest::TraceRecord> records = gametest::ReadTrace(path);
    return records.empty() ? 0 : records.back().tick;
}

struct SignalledRun {
    bool ended = false;
    int status = -1;
    std::chrono::milliseconds took{0};  // from the signal to the end
    uint32_t tickAtSignal = 0;
};

SignalledRun RunUntilSignal(const std::string &folder, const std::string &arguments, const std::string &environment,
                            int signal)
{
    SignalledRun run;
    const std::string trace = folder + "/trace.txt";
    const pid_t pid = StartGame(folder, arguments + " --trace '" + trace + "'", environment, folder + "/output.txt");
    if (pid <= 0) {
        return run;
    }
    // Ticks are running once the trace holds one (the file is written in pieces).
    const auto giveUp = std::chrono::steady_clock::now() + 60s;
    while ((run.tickAtSignal = LastTraceTick(trace)) < 1 && std::chrono::steady_clock::now() < giveUp &&
           waitpid(pid, nullptr, WNOHANG) == 0) {
        std::this_thread::sleep_for(20ms);
    }
    const auto sent = std::chrono::steady_clock::now();
    kill(pid, signal);
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - sent > 20s) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            return run;
        }
        std::this_thread::sleep_for(5ms);
    }
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    run.ended = true;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// The trace of a run that ended well: whole lines, and the stage's camera
// line for every tick up to the last.
void ExpectWholeTrace(const std::string &path, uint32_t atLeast)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the trace ends inside a line";
    const std::vector<gametest::TraceRecord> records = gametest::ReadTrace(path);
    const std::vector<gametest::TraceRecord> cameras = gametest::RecordsOfKind(records, "camera");
    ASSERT_FALSE(cameras.empty());
    const uint32_t last = cameras.back().tick;
    EXPECT_GE(last, atLeast);
    EXPECT_EQ(records.back().tick, last);
    std::vector<bool> seen(last + 1, false);
    for (const gametest::TraceRecord &camera : cameras) {
        seen[camera.tick] = true;
    }
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), true), static_cast<std::ptrdiff_t>(last))
        << "a camera line for each tick 1.." << last;
}

TEST_F(GameTerminal, SigtermAndSigintEndAHeadlessRunWithinATickThroughTheNormalExit)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        const std::string folder = Folder(signal == SIGTERM ? "term" : "int");
        ASSERT_TRUE(apptest::CopySampleData(folder));
        const SignalledRun run = RunUntilSignal(folder, "--headless --stage 1", "", signal);
        ASSERT_TRUE(run.ended) << "the run went on after the signal";
        EXPECT_EQ(run.status, 0);
        EXPECT_LT(run.took, kEndsWithin);
        ExpectWholeTrace(folder + "/trace.txt", run.tickAtSignal);
    }
}

TEST_F(GameTerminal, SigtermEndsAWindowedRunAsClosingTheWindowDoes)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    PrivateXServer server;
    if (server.Display().empty()) {
        GTEST_SKIP() << "no Xvfb for a window";
    }
    const std::string folder = Folder("windowed");
    ASSERT_TRUE(apptest::CopySampleData(folder));
    const SignalledRun run =
        RunUntilSignal(folder, "--mode 1 --stage 1", "DISPLAY=" + server.Display() + " SDL_AUDIODRIVER=dummy", SIGTERM);
    ASSERT_TRUE(run.ended) << "the run went on after the signal";
    EXPECT_EQ(run.status, 0);
    EXPECT_LT(run.took, kEndsWithin);
    ExpectWholeTrace(folder + "/trace.txt", run.tickAtSignal);
}

}  // namespace

}  // namespace game_terminal_test
