// End to end on a real X display (a private Xvfb when none is set): started without
// --mode and without --headless, the game asks for the video mode in its "Game Mode"
// box. Return takes the first choice, a 640 x 480 window in which the game runs;
// closing the box ends the program with status 0 before anything starts. A headless
// run on the same display needs none of it and ends cleanly.
#include <gtest/gtest.h>

#if RW_TEST_HAVE_X11

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "app/bmp_file.h"
#include "support/platform/xvfb_display.h"
#include "tests/app/app_test_support.h"

// After the game's headers: Xlib defines macros (Bool, Status, None) they might use.
#include "support/platform/x_test_display.h"
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace game_mode_box_test {

namespace {

class GameModeBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        if (!rwtest::EnsureXDisplay()) {
            GTEST_SKIP() << "no X display and no Xvfb";
        }
        display_ = rwtest::OpenTestDisplay();
        ASSERT_NE(display_, nullptr);
        dir_ = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        if (child_ > 0) {
            // The whole group: the box is shown by a process of its own.
            kill(-child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    // Starts the game in the sample data with `arguments`; what it says goes to stderr.txt.
    void Start(const std::string &arguments)
    {
        const std::string command = "cd '" + apptest::SampleData() + "' && exec '" + RW_TEST_BINARY_DIR +
                                    "/app/game' " + arguments + " 2>'" + dir_ + "/stderr.txt'";
        child_ = fork();
        ASSERT_GE(child_, 0);
        if (child_ == 0) {
            setpgid(0, 0);
            // No sound device is needed to choose a mode.
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
    }

    // The program's exit status once it has ended (-1 when a signal ended it):
    // however long a loaded machine takes, the test waits for the game, not a clock.
    int WaitForExit()
    {
        int status = 0;
        if (waitpid(child_, &status, 0) != child_) {
            return -1;
        }
        child_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Running()
    {
        int status = 0;
        if (child_ > 0 && waitpid(child_, &status, WNOHANG) == child_) {
            child_ = 0;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return child_ > 0;
    }

    // A top-level window titled `title` that `accept` takes, looked for while the game
    // runs; 0 when it ended without one.
    Window WaitForWindow(const char *title, const std::function<bool(Window)> &accept = [](Window) { return true; })
    {
        while (Running()) {
            Window root = 0;
            Window parent = 0;
            Window *children = nullptr;
            unsigned int count = 0;
            Window found = 0;
            if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) != 0) {
                for (unsigned int i = 0; i < count && found == 0; ++i) {
                    // The name's bytes as stored (SDL stores it as UTF-8).
                    XTextProperty name{};
                    if (XGetWMName(display_, children[i], &name) != 0 && name.value != nullptr) {
                        const std::string text(reinterpret_cast<const char *>(name.value), name.nitems);
                        if (text == title && accept(children[i])) {
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
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return 0;
    }

    // Starts the game with `arguments` and waits for its box; 0 with `skip` set to why
    // when this display could not show it (an X server without the core fonts).
    Window StartForTheBox(const std::string &arguments, std::string *skip)
    {
        Start(arguments);
        const Window box = WaitForWindow("Game Mode");
        if (box == 0 && !Running()) {
            const std::vector<uint8_t> said = apptest::ReadBytes(dir_ + "/stderr.txt");
            const std::string text(said.begin(), said.end());
            if (text.find("Game Mode") != std::string::npos) {
                *skip = "this X server cannot show the box (core X fonts missing?): " + text;
            }
        }
        return box;
    }

    void SendKey(Window window, KeySym symbol)
    {
        XKeyEvent key{};
        key.display = display_;
        key.window = window;
        key.root = DefaultRootWindow(display_);
        key.time = CurrentTime;
        key.same_screen = True;
        key.keycode = XKeysymToKeycode(display_, symbol);
        key.type = KeyPress;
        XSendEvent(display_, window, True, KeyPressMask, reinterpret_cast<XEvent *>(&key));
        key.type = KeyRelease;
        XSendEvent(display_, window, True, KeyReleaseMask, reinterpret_cast<XEvent *>(&key));
        XFlush(display_);
    }

    // What a window manager sends when its close button is pressed.
    void SendClose(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XFlush(display_);
    }

    bool HasSize(Window window, int width, int height)
    {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.width == width &&
               attributes.height == height;
    }

    Display *display_ = nullptr;
    std::string dir_;
    pid_t child_ = 0;
    int exitStatus_ = -1;
};

TEST_F(GameModeBox, ReturnTakesTheFirstModeAndTheGameRunsInItsWindow)
{
    std::string skip;
    const Window box = StartForTheBox("--frames 45 --screenshot 45:'" + dir_ + "/out.bmp'", &skip);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    ASSERT_NE(box, 0u) << "no \"Game Mode\" box";
    SendKey(box, XK_Return);
    // The game's own window, 640 x 480, while the ticks run.
    const Window game = WaitForWindow("game", [&](Window w) { return HasSize(w, 640, 480); });
    EXPECT_NE(game, 0u) << "no 640 x 480 game window";
    ASSERT_EQ(WaitForExit(), 0) << [&] {
        const std::vector<uint8_t> said = apptest::ReadBytes(dir_ + "/stderr.txt");
        return std::string(said.begin(), said.end());
    }();
    apptest::Bmp shot;
    ASSERT_TRUE(apptest::LoadBmp(dir_ + "/out.bmp", &shot));
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 480);
}

TEST_F(GameModeBox, ClosingTheBoxEndsTheProgramWithStatusZero)
{
    std::string skip;
    const Window box = StartForTheBox("--frames 90 --screenshot 1:'" + dir_ + "/out.bmp'", &skip);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    ASSERT_NE(box, 0u) << "no \"Game Mode\" box";
    SendClose(box);
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/out.bmp")) << "the game ran after the box was closed";
}

// A headless run beside a display ends as cleanly as one without (SDL's connections
// opened for its sound go when the sound stops).
TEST_F(GameModeBox, AHeadlessRunBesideADisplayEndsCleanly)
{
    Start("--headless --frames 3 --fixed-step 16");
    EXPECT_EQ(WaitForExit(), 0) << [&] {
        const std::vector<uint8_t> said = apptest::ReadBytes(dir_ + "/stderr.txt");
        return std::string(said.begin(), said.end());
    }();
}

}  // namespace

}  // namespace game_mode_box_test

#else

namespace game_mode_box_test {

TEST(GameModeBox, NeedsX11) { GTEST_SKIP() << "built without the X11 client library"; }

}  // namespace game_mode_box_test

#endif
