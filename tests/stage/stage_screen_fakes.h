// Recording stand-ins for the screen manager and the loading screen as the
// stage reaches them (stage/stage_screen_calls.h): every call is written to
// one log in order ("letterbox 16", "progress 0.20" ...), and the answers
// (current screen, pause menu, colour fade) are the test's to set.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "stage/stage_screen_calls.h"

namespace stagetest {

struct ScreenFakeState {
    std::vector<std::string> log;
    int32_t currentScreen = kScreenInGame;
    uint8_t pauseMenuOpen = 0;
    uint8_t fading = 0;
    uint8_t loadingActive = 0;
    uint8_t loadingFlag = 0;
    uint8_t threaded = 0;
    int32_t chosenHero = 0;
    int32_t chosenPad = 0;
    std::vector<AiObject *> hudActors;
};

inline ScreenFakeState &Fake()
{
    static ScreenFakeState state;
    return state;
}

inline void Log(const std::string &line) { Fake().log.push_back(line); }

inline std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

inline std::string Real(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

inline const StageScreenCalls &RecordingScreens()
{
    static const StageScreenCalls calls = {
        [](uint32_t ms) { Log("letterbox " + std::to_string(ms)); },
        [](int32_t ms) { Log("show letterbox " + std::to_string(ms)); },
        [](int32_t ms) { Log("hide letterbox " + std::to_string(ms)); },
        [] { return Fake().pauseMenuOpen; },
        [] { Log("reset hud"); },
        [] { Log("reset clock"); },
        [](uint8_t on) {
            Fake().loadingFlag = on;
            Log("loading flag " + std::to_string(on));
        },
        [] { return Fake().currentScreen; },
        [](int32_t screen) { Log("request screen " + std::to_string(screen)); },
        [] { Log("switch screen"); },
        [](uint32_t argb, uint32_t ms) { Log("fade " + Hex(argb) + " " + std::to_string(ms)); },
        [](uint32_t argb, uint32_t ms) { Log("fade in " + Hex(argb) + " " + std::to_string(ms)); },
        [] { return Fake().fading; },
        [](AiObject *actor) { Fake().hudActors.push_back(actor); },
        [] { Log("apply carried state"); },
        [](int32_t *hero, int32_t *pad) {
            *hero = Fake().chosenHero;
            *pad = Fake().chosenPad;
        },
    };
    return calls;
}

inline const StageLoadingCalls &RecordingLoadingScreen()
{
    static const StageLoadingCalls calls = {
        [](uint8_t on, int32_t id) {
            Fake().loadingActive = on;
            Log("loading " + std::string(on != 0 ? "on " : "off ") + std::to_string(id));
        },
        [](float progress) { Log("progress " + Real(progress) + " flag " + std::to_string(Fake().loadingFlag)); },
        [] { Log("step"); },
        [] { return Fake().loadingActive; },
        [](uint8_t on) { Fake().threaded = on; },
        [] { return Fake().threaded; },
        [] { Log("stop thread"); },
    };
    return calls;
}

// Installs both tables with a fresh log while it lives.
class RecordingScreenCalls {
public:
    RecordingScreenCalls()
    {
        Fake() = ScreenFakeState{};
        Install();
    }
    // Puts the tables in again (after a game system installed its own).
    void Install()
    {
        g_stageScreens = &RecordingScreens();
        g_stageLoadingScreen = &RecordingLoadingScreen();
    }
    ~RecordingScreenCalls()
    {
        g_stageScreens = nullptr;
        g_stageLoadingScreen = nullptr;
    }
    RecordingScreenCalls(const RecordingScreenCalls &) = delete;
    RecordingScreenCalls &operator=(const RecordingScreenCalls &) = delete;
};

}  // namespace stagetest
