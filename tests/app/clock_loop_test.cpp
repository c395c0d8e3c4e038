// The clocks and the main loop's pacing on an injected clock: no tick
// before 16 ms, none while inactive, waiting by sleeping; the fixed step
// freezing the clock within a tick; the frame clock's clamp and rate; the
// window's messages as the loop reads them.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/frame_clock.h"
#include "app/main_loop.h"

namespace clock_loop_test {

namespace {

// A clock that moves only when slept on.
struct FakeTime {
    uint32_t now = 1000;
    uint32_t slept = 0;
    int sleeps = 0;
    static uint32_t Now(void *context) { return static_cast<FakeTime *>(context)->now; }
    static void Sleep(uint32_t ms, void *context)
    {
        auto *time = static_cast<FakeTime *>(context);
        time->now += ms;
        time->slept += ms;
        ++time->sleeps;
    }
};

// An application that records when it ticked and is inactive in a window of time.
struct FakeApp {
    std::vector<uint32_t> ticks;
    uint32_t inactiveFrom = 0;
    uint32_t inactiveTo = 0;
    uint32_t renderFailsAt = 0;
    uint32_t signalAt = 0;  // raises signalNumber in this tick
    int signalNumber = 0;
    bool quitting = false;
    bool active = true;
    bool IsQuitting() const { return quitting; }
    bool IsActive() const
    {
        const uint32_t now = timeGetTime();
        return active && !(now >= inactiveFrom && now < inactiveTo);
    }
    void SetActive(bool on) { active = on; }
    void Tick(uint32_t tick)
    {
        ticks.push_back(timeGetTime());
        EXPECT_EQ(ticks.size(), tick);
        if (tick == signalAt) {
            raise(signalNumber);
        }
    }
    bool Render(uint32_t tick) { return tick != renderFailsAt; }
};

class Loop : public ::testing::Test {
protected:
    void SetUp() override { UseTestClock(FakeTime::Now, FakeTime::Sleep, &time); }
    void TearDown() override { UseSystemClock(); }
    FakeTime time;
};

TEST_F(Loop, TicksAreAtLeastSixteenMillisecondsApartAndTheWaitsSleep)
{
    FakeApp app;
    EXPECT_EQ(RunMainLoopOn(&app, false, 10), 0);
    ASSERT_EQ(app.ticks.size(), 10u);
    EXPECT_EQ(app.ticks[0], 1000u);  // the first tick at once
    for (size_t i = 1; i < app.ticks.size(); ++i) {
        EXPECT_EQ(app.ticks[i] - app.ticks[i - 1], 16u) << i;
    }
    // Each wait is one sleep for the rest of the interval: no spinning.
    EXPECT_EQ(time.sleeps, 9);
    EXPECT_EQ(time.slept, 9u * 16u);
}

TEST_F(Loop, NoTickWhileInactive)
{
    FakeApp app;
    app.inactiveFrom = 1040;
    app.inactiveTo = 1300;
    RunMainLoopOn(&app, false, 8);
    ASSERT_EQ(app.ticks.size(), 8u);
    for (uint32_t at : app.ticks) {
        EXPECT_TRUE(at < 1040 || at >= 1300) << at;
    }
    EXPECT_GE(app.ticks[3], 1300u);
    // While inactive the loop sleeps in steps, not one sleep per millisecond.
    EXPECT_LT(time.sleeps, 40);
}

TEST_F(Loop, HeadlessRunsAreAlwaysActive)
{
    FakeApp app;
    app.active = false;
    RunMainLoopOn(&app, true, 3);
    EXPECT_EQ(app.ticks.size(), 3u);
}

TEST_F(Loop, QuittingEndsTheLoopAndAFailedFrameTheStatus)
{
    FakeApp app;
    app.renderFailsAt = 2;
    EXPECT_EQ(RunMainLoopOn(&app, false, 3), 1);
    app.quitting = true;
    app.ticks.clear();
    EXPECT_EQ(RunMainLoopOn(&app, false, 0), 0);
    EXPECT_TRUE(app.ticks.empty());
}

// SIGINT and SIGTERM end the loop after the tick they arrive in, windowed
// or headless, with or without a tick limit; a second signal would take
// the default way out (the handler is used once).
TEST_F(Loop, AQuitSignalEndsTheLoopAfterTheTickItArrivesIn)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const bool headless : {false, true}) {
            InstallQuitSignals();
            ClearQuitSignal();
            FakeApp app;
            app.signalAt = 3;
            app.signalNumber = signal;
            EXPECT_EQ(RunMainLoopOn(&app, headless, 0), 0);
            EXPECT_EQ(app.ticks.size(), 3u) << signal << " " << headless;
            EXPECT_TRUE(QuitSignalled());
            struct sigaction now {};
            sigaction(signal, nullptr, &now);
            EXPECT_EQ(now.sa_handler, SIG_DFL);
        }
    }
    ClearQuitSignal();
}

TEST(FixedStepClock, MovesOnlyBetweenTicksAndTicksRunBackToBack)
{
    UseFixedStepClock(33);
    EXPECT_TRUE(IsFixedStepClock());
    EXPECT_EQ(timeGetTime(), 0u);
    FakeApp app;
    RunMainLoopOn(&app, true, 4);
    EXPECT_EQ(app.ticks, (std::vector<uint32_t>{33, 66, 99, 132}));
    EXPECT_EQ(timeGetTime(), 132u);  // frozen after the last tick
    SleepMs(1);                      // sleeping does not move it
    EXPECT_EQ(timeGetTime(), 132u);
    UseSystemClock();
    EXPECT_FALSE(IsFixedStepClock());
}

TEST(SystemClock, NeverRunsBackwards)
{
    UseSystemClock();
    uint32_t last = timeGetTime();
    for (int i = 0; i < 1000; ++i) {
        const uint32_t now = timeGetTime();
        EXPECT_GE(now, last);
        last = now;
    }
}

TEST(TickPacer, WaitsTheRestOfTheInterval)
{
    CSTickPacer pacer;
    pacer.Start(100);
    EXPECT_FALSE(pacer.Due(115, true));
    EXPECT_TRUE(pacer.Due(116, true));
    EXPECT_FALSE(pacer.Due(500, false));
    EXPECT_EQ(pacer.WaitMs(105, true), 11u);
    EXPECT_EQ(pacer.WaitMs(130, true), 1u);
    EXPECT_GT(pacer.WaitMs(105, false), 1u);
    pacer.Start(0xFFFFFFF8u);  // across the wrap of the u32 clock
    EXPECT_TRUE(pacer.Due(8, true));
}

TEST(FrameClock, ClampsTheFrameTimeAndRecomputesTheRate)
{
    CSFrameClock clock;
    clock.Start(1000);
    EXPECT_EQ(clock.Fps(), 60.0f);
    clock.Tick(1000);
    EXPECT_EQ(clock.FrameMs(), 1u);  // at least 1
    clock.Tick(1500);
    EXPECT_EQ(clock.FrameMs(), 100u);  // at most 100
    EXPECT_EQ(clock.LastTickMs(), 1500u);
    // 500 ms gathered over two frames: 4 frames a second.
    EXPECT_EQ(clock.Fps(), 4.0f);
    clock.Start(0);
    for (uint32_t t = 20; t <= 200; t += 20) {
        clock.Tick(t);
        EXPECT_EQ(clock.Fps(), 60.0f) << t;  // not more than 200 ms yet
        EXPECT_EQ(clock.FrameMs(), 20u);
    }
    clock.Tick(220);
    EXPECT_EQ(clock.Fps(), 50.0f);  // 11 frames in 220 ms
    EXPECT_FLOAT_EQ(clock.FrameSeconds(), 0.02f);
    // The next window starts empty and closes at the first time past
    // 200 ms: 2 frames in 201 ms.
    clock.Tick(320);
    EXPECT_EQ(clock.Fps(), 50.0f);
    clock.Tick(421);
    EXPECT_EQ(clock.FrameMs(), 100u);
    EXPECT_FLOAT_EQ(clock.Fps(), 2000.0f / 201.0f);
}

// The window's messages as the loop sees them: closing the window quits,
// the last focus change of a pump decides active or not, every message goes
// to the listener too, and a headless run reads none.
struct SeenEvents {
    std::vector<uint32_t> types;
    static void Listen(const SDL_Event *event, void *context)
    {
        static_cast<SeenEvents *>(context)->types.push_back(event->type);
    }
};

void PushWindowEvent(uint8_t what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    ASSERT_GE(SDL_PushEvent(&event), 0) << SDL_GetError();
}

void PushEvent(uint32_t type)
{
    SDL_Event event{};
    event.type = type;
    ASSERT_GE(SDL_PushEvent(&event), 0) << SDL_GetError();
}

TEST(WindowMessages, ClosingQuitsAndTheLastFocusChangeDecides)
{
    // The driver is asked for this test only: games started by later tests
    // inherit the environment.
    const char *kept = std::getenv("SDL_VIDEODRIVER");
    const std::string keptDriver = kept != nullptr ? kept : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const int started = SDL_InitSubSystem(SDL_INIT_VIDEO);
    if (kept != nullptr) {
        setenv("SDL_VIDEODRIVER", keptDriver.c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    ASSERT_EQ(started, 0) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SeenEvents seen;
    SetWindowEventListener(SeenEvents::Listen, &seen);

    // A headless run leaves the messages waiting.
    PushEvent(SDL_QUIT);
    WindowMessages m = PumpWindowMessages(true);
    EXPECT_FALSE(m.quit);
    EXPECT_TRUE(seen.types.empty());
    m = PumpWindowMessages(false);
    EXPECT_TRUE(m.quit);
    EXPECT_FALSE(m.activated);
    EXPECT_FALSE(m.deactivated);
    EXPECT_EQ(seen.types, std::vector<uint32_t>{SDL_QUIT});
    EXPECT_FALSE(PumpWindowMessages(false).quit);  // read once

    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    m = PumpWindowMessages(false);
    EXPECT_TRUE(m.quit);
    EXPECT_FALSE(m.activated || m.deactivated);

    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    m = PumpWindowMessages(false);
    EXPECT_FALSE(m.quit);
    EXPECT_TRUE(m.deactivated);
    EXPECT_FALSE(m.activated);

    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    m = PumpWindowMessages(false);
    EXPECT_TRUE(m.activated);
    EXPECT_FALSE(m.deactivated);

    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    m = PumpWindowMessages(false);
    EXPECT_TRUE(m.deactivated);
    EXPECT_FALSE(m.activated);

    // Other messages (a key, a window moved) change nothing here but reach
    // the listener (the input object's keyboard).
    seen.types.clear();
    PushEvent(SDL_KEYDOWN);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED);
    m = PumpWindowMessages(false);
    EXPECT_FALSE(m.quit || m.activated || m.deactivated);
    EXPECT_EQ(seen.types, (std::vector<uint32_t>{SDL_KEYDOWN, SDL_WINDOWEVENT}));

    // Without a listener the messages are still read.
    SetWindowEventListener(nullptr, nullptr);
    PushEvent(SDL_QUIT);
    EXPECT_TRUE(PumpWindowMessages(false).quit);
    EXPECT_EQ(seen.types.size(), 2u);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace

}  // namespace clock_loop_test
