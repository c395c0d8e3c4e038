// A blocking box drawn by a process of its own (as SDL's X11 message box is)
// ends with the game: a quit signal to the game ends the box's process and
// the wait for it; the box's process takes SIGINT and SIGTERM the default way
// (a Ctrl-C or a `timeout` signalling the whole group ends it); nothing is
// shown once a quit signal has come. The box stands in a child that waits
// for signals, the game's side waits for it as SDL does.
#include <gtest/gtest.h>

#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "app/quit_signal.h"

namespace quit_signal_box_test {

namespace {

struct BoxRun {
    bool shown = false;        // the box's process was forked
    bool answered = false;     // ShowBoxUntilQuitSignal's result
    int endedBySignal = 0;     // what ended the box's process
};

// Forks a child that says it is up on the pipe, then waits until a signal
// ends it; this side keeps only the pipe's reading end.
pid_t ForkAChildThatWaits(int up[2])
{
    const pid_t child = fork();
    if (child == 0) {
        close(up[0]);
        const char ready = 1;
        (void)!write(up[1], &ready, 1);
        for (;;) {
            pause();
        }
    }
    close(up[1]);
    return child;
}

// Shows a "box": a child process that waits until a signal ends it, while
// this side waits for it, retrying when a signal interrupts the wait. Once
// the child runs, `whenUp` gets its process id (on another thread).
template <typename WhenUp>
BoxRun ShowAWaitingBox(WhenUp whenUp)
{
    BoxRun run;
    int up[2];
    if (pipe(up) != 0) {
        ADD_FAILURE() << "no pipe";
        return run;
    }
    std::thread signaller;
    run.answered = ShowBoxUntilQuitSignal([&] {
        run.shown = true;
        const pid_t box = ForkAChildThatWaits(up);
        signaller = std::thread([&, box] {
            char ready = 0;
            if (read(up[0], &ready, 1) == 1) {
                whenUp(box);
            }
        });
        int status = 0;
        pid_t ended = 0;
        do {
            ended = waitpid(box, &status, 0);
        } while (ended == -1 && errno == EINTR);
        run.endedBySignal = ended == box && WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    });
    if (signaller.joinable()) {
        signaller.join();
    }
    close(up[0]);
    return run;
}

class QuitSignalBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallQuitSignals();
        ClearQuitSignal();
    }
    void TearDown() override
    {
        ClearQuitSignal();
        // The handlers are used once: put them back for whoever runs next.
        InstallQuitSignals();
    }
};

TEST_F(QuitSignalBox, AQuitSignalToTheGameEndsTheBoxsProcess)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        InstallQuitSignals();
        ClearQuitSignal();
        const BoxRun run = ShowAWaitingBox([signal](pid_t) { kill(getpid(), signal); });
        EXPECT_TRUE(run.shown);
        EXPECT_FALSE(run.answered);
        EXPECT_EQ(run.endedBySignal, SIGKILL);
        EXPECT_TRUE(QuitSignalled());
    }
}

TEST_F(QuitSignalBox, TheBoxsProcessTakesTheQuitSignalsTheDefaultWay)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const BoxRun run = ShowAWaitingBox([signal](pid_t box) { kill(box, signal); });
        EXPECT_TRUE(run.shown);
        EXPECT_EQ(run.endedBySignal, signal);
        // Only the box had the signal: the game goes on.
        EXPECT_TRUE(run.answered);
        EXPECT_FALSE(QuitSignalled());
    }
}

// Once the box is closed, a process the game forks is not the box: a quit
// signal to the game leaves it alone, and it takes its own signals the
// default way.
TEST_F(QuitSignalBox, AProcessForkedAfterTheBoxIsNotTheBox)
{
    const BoxRun box = ShowAWaitingBox([](pid_t shown) { kill(shown, SIGTERM); });
    ASSERT_TRUE(box.answered);
    int up[2];
    ASSERT_EQ(pipe(up), 0);
    const pid_t other = ForkAChildThatWaits(up);
    char ready = 0;
    ASSERT_EQ(read(up[0], &ready, 1), 1);  // the fork is done in the child
    close(up[0]);
    kill(getpid(), SIGTERM);
    EXPECT_TRUE(QuitSignalled());
    kill(other, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

// A quit signal while the box is opening, before its process is there,
// ends the wait and nothing else: the game leaves its normal way. The game
// stands in a child of its own process group, so that a kill sent to the
// whole group would end only it.
TEST_F(QuitSignalBox, AQuitSignalBeforeTheBoxsProcessIsThereLeavesTheGameRunning)
{
    const pid_t game = fork();
    ASSERT_NE(game, -1);
    if (game == 0) {
        setpgid(0, 0);
        InstallQuitSignals();
        ClearQuitSignal();
        const bool answered = ShowBoxUntilQuitSignal([] { raise(SIGTERM); });
        _exit(!answered && QuitSignalled() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(game, &status, 0), game);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}

// With no box showing, the game's child may fork in turn (a shell running a
// command does): the grandchild runs as it was asked to, even when a quit
// signal came to the game during an earlier box.
TEST_F(QuitSignalBox, AGrandchildForkedWhileNoBoxShowsRunsAsAsked)
{
    const BoxRun box = ShowAWaitingBox([](pid_t) { kill(getpid(), SIGTERM); });
    ASSERT_FALSE(box.answered);
    ClearQuitSignal();
    InstallQuitSignals();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            _exit(7);
        }
        int status = 0;
        const bool ran = grandchild > 0 && waitpid(grandchild, &status, 0) == grandchild && WIFEXITED(status) &&
                         WEXITSTATUS(status) == 7;
        _exit(ran ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(QuitSignalBox, NoBoxIsShownOnceAQuitSignalHasCome)
{
    kill(getpid(), SIGTERM);
    ASSERT_TRUE(QuitSignalled());
    bool shown = false;
    EXPECT_FALSE(ShowBoxUntilQuitSignal([&] { shown = true; }));
    EXPECT_FALSE(shown);
}

}  // namespace

}  // namespace quit_signal_box_test
