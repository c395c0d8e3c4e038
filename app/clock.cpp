// The millisecond clock and sleeping (see clock.h).
#include "app/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "app/threads.h"

namespace {

enum class Source { System, FixedStep, Test };

// Written by the main thread before workers start; read by all.
std::atomic<Source> source{Source::System};
std::atomic<uint32_t> fixedNow{0};
uint32_t fixedStep = 16;
ClockNowFunction testNow = nullptr;
ClockSleepFunction testSleep = nullptr;
void *testContext = nullptr;

uint32_t SystemMs()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

}  // namespace

uint32_t timeGetTime()
{
    switch (source.load()) {
    case Source::FixedStep: return fixedNow.load();
    case Source::Test: return testNow(testContext);
    case Source::System: break;
    }
    return SystemMs();
}

void UseSystemClock() { source = Source::System; }

void UseFixedStepClock(uint32_t stepMs)
{
    fixedStep = stepMs;
    fixedNow = 0;
    source = Source::FixedStep;
}

bool IsFixedStepClock() { return source.load() == Source::FixedStep; }

void AdvanceFixedStepClock() { fixedNow.fetch_add(fixedStep); }

void UseTestClock(ClockNowFunction now, ClockSleepFunction sleep, void *context)
{
    if (now == nullptr) {
        UseSystemClock();
        return;
    }
    testNow = now;
    testSleep = sleep;
    testContext = context;
    source = Source::Test;
}

void SleepMs(uint32_t ms)
{
    if (source.load() == Source::Test && testSleep != nullptr) {
        testSleep(ms, testContext);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
