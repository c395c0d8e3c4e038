// End to end on a real X display (a private Xvfb when none is set): started
// in an empty folder, the game's fatal message ("Cannot find the file" for its
// font, and where to start it) shows in a box that fits the screen, its text
// wrapped; SIGTERM to the game, or SIGINT to its whole group as Ctrl-C sends
// it, ends the run, the box with it, and no process of the game is left. The
// waits are for conditions, with generous limits.
#include <gtest/gtest.h>

#if RW_TEST_HAVE_X11

#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/platform/xvfb_display.h"
#include "tests/app/app_test_support.h"

// After the game's headers: Xlib defines macros (Bool, Status, None) they might use.
#include "support/platform/x_test_display.h"
#include <X11/Xutil.h>

namespace game_fatal_box_test {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Generous: a loaded machine may take long to start the game or to end it.
constexpr auto kLimit = 60s;

class GameFatalBox : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(__SANITIZE_ADDRESS__)
        // The box is shown from a process forked while the game's threads run
        // (the window's and the rasteriser's, just started). The C library's
        // allocator is kept usable across a fork; the address sanitizer's is
        // not: a fork taken while another thread holds its lock leaves the
        // box's process waiting on it for ever, and the box never comes. The
        // normal build runs these cases.
        GTEST_SKIP() << "the sanitizer's allocator is not usable in a process forked from threads";
#endif
        if (!rwtest::EnsureXDisplay()) {
            GTEST_SKIP() << "no X display and no Xvfb";
        }
        display_ = rwtest::OpenTestDisplay();
        ASSERT_NE(display_, nullptr);
        folder_ = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        empty_ = folder_ + "/empty";
        ASSERT_EQ(system(("mkdir -p '" + empty_ + "'").c_str()), 0);
    }
    void TearDown() override
    {
        if (group_ > 0) {
            kill(-group_, SIGKILL);  // whatever a failed case left
            if (game_ > 0) {
                waitpid(game_, nullptr, 0);
            }
        }
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    // The game in the empty folder, a window of 800 x 600, in a process group of
    // its own (as a shell starts a command); what it says goes to stderr.txt.
    void Start()
    {
        const std::string command = "cd '" + empty_ + "' && exec '" + std::string(RW_TEST_BINARY_DIR) +
                                    "/app/game' --mode 2 2>'" + folder_ + "/stderr.txt'";
        game_ = fork();
        ASSERT_GE(game_, 0);
        if (game_ == 0) {
            setpgid(0, 0);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        setpgid(game_, game_);
        group_ = game_;
    }

    bool GameRunning()
    {
        int status = 0;
        if (game_ > 0 && waitpid(game_, &status, WNOHANG) == game_) {
            game_ = 0;
        }
        return game_ > 0;
    }

    // The top-level window titled "Error" while the game runs; 0 when none came.
    Window WaitForTheBox()
    {
        const auto until = Clock::now() + kLimit;
        while (Clock::now() < until && GameRunning()) {
            Window root = 0;
            Window parent = 0;
            Window *children = nullptr;
            unsigned int count = 0;
            Window found = 0;
            if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) != 0) {
                for (unsigned int i = 0; i < count && found == 0; ++i) {
                    XTextProperty name{};
                    if (XGetWMName(display_, children[i], &name) != 0 && name.value != nullptr) {
                        const std::string text(reinterpret_cast<const char *>(name.value), name.nitems);
                        XWindowAttributes attributes{};
                        if (text == "Error" && XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                            attributes.map_state == IsViewable) {
                            found = children[i];
                        }
                        XFree(name.value);
                    }
                }
                if (children != nullptr) {
                    XFree(children);
                }
            }
            if (found != 0) {
                return found;
            }
            std::this_thread::sleep_for(20ms);
        }
        return 0;
    }

    // True once the game has ended and no process of its group is left.
    bool WaitUntilAllGone()
    {
        const auto until = Clock::now() + kLimit;
        while (Clock::now() < until) {
            const bool gameGone = !GameRunning();
            if (gameGone && kill(-group_, 0) != 0 && errno == ESRCH) {
                group_ = 0;
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::string Said() const
    {
        const std::vector<uint8_t> bytes = apptest::ReadBytes(folder_ + "/stderr.txt");
        return std::string(bytes.begin(), bytes.end());
    }

    // The box lies inside the screen, both ends of its text with it.
    void ExpectFitsTheScreen(Window box)
    {
        XWindowAttributes screen{};
        ASSERT_NE(XGetWindowAttributes(display_, DefaultRootWindow(display_), &screen), 0);
        XWindowAttributes attributes{};
        ASSERT_NE(XGetWindowAttributes(display_, box, &attributes), 0);
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, box, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        EXPECT_LE(attributes.width, screen.width);
        EXPECT_GE(x, 0);
        EXPECT_LE(x + attributes.width, screen.width) << "box " << attributes.width << " wide at " << x;
        EXPECT_GE(y, 0);
        EXPECT_LE(y + attributes.height, screen.height);
    }

    Display *display_ = nullptr;
    std::string folder_;
    std::string empty_;
    pid_t game_ = 0;
    pid_t group_ = 0;
};

TEST_F(GameFatalBox, FitsTheScreenAndSigtermToTheGameEndsItAndTheRun)
{
    Start();
    const Window box = WaitForTheBox();
    ASSERT_NE(box, 0u) << "no \"Error\" box; the game said: " << Said();
    // Standard error has the whole message, one line to a paragraph.
    const std::string said = Said();
    EXPECT_NE(said.find("Cannot find the file: RESOURCE/FONT/ENGFONT.XBF\n"), std::string::npos) << said;
    EXPECT_NE(said.find("The folder the game started in holds no data tree (RESOURCE, PACK): start the game in "
                        "the sample data folder (build/data) or in the folder of a data tree.\n"),
              std::string::npos)
        << said;
    ExpectFitsTheScreen(box);
    kill(game_, SIGTERM);
    EXPECT_TRUE(WaitUntilAllGone()) << "the game or its box outlived SIGTERM";
}

TEST_F(GameFatalBox, SigintToTheWholeGroupEndsTheRun)
{
    Start();
    ASSERT_NE(WaitForTheBox(), 0u) << "no \"Error\" box; the game said: " << Said();
    kill(-group_, SIGINT);
    EXPECT_TRUE(WaitUntilAllGone()) << "the game or its box outlived SIGINT";
}

}  // namespace

}  // namespace game_fatal_box_test

#else

namespace game_fatal_box_test {

TEST(GameFatalBox, NeedsX11) { GTEST_SKIP() << "built without the X11 client library"; }

}  // namespace game_fatal_box_test

#endif
