// Runs the game in this process as its process entry does, headless, but
// with the screen manager taken away once the game system is made: what a
// frame shows without screens (the first stage under the camera flying its
// fixed path, and the 2D layer over it). The screens have their own runs.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/clock.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/language.h"
#include "app/main_loop.h"
#include "app/options.h"
#include "win/window.h"

namespace apptest {

// `arguments` as the game's command line takes them (--headless is added);
// the exit status the game would have, or -1 when the options are refused.
inline int RunWithoutScreens(const std::string &root, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"game", "--headless"});
    std::vector<const char *> argv;
    for (const std::string &a : arguments) {
        argv.push_back(a.c_str());
    }
    game::Options options;
    std::string error;
    if (!game::ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, &error)) {
        return -1;
    }
    options.mode = options.mode != 0 ? options.mode : 1;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(root);
    // As the game's headless runs do; put back afterwards, since games that
    // later tests start inherit the environment (and need their display).
    const char *keptDriver = std::getenv("SDL_VIDEODRIVER");
    const std::optional<std::string> driver =
        keptDriver != nullptr ? std::optional<std::string>(keptDriver) : std::nullopt;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SetLanguageIndex(options.language);
    if (options.fixedStepMs != 0) {
        UseFixedStepClock(options.fixedStepMs);
    }
    game::ModeChoice choice{};
    game::ModeChoiceOf(options.mode, &choice);
    win::WindowDesc desc;
    desc.title = "game";
    desc.clientWidth = choice.width;
    desc.clientHeight = choice.height;
    desc.backend = win::Backend::Headless;
    desc.keepsFrames = false;
    HWND window = win::CreatePlatformWindow(desc);
    int status = 1;
    if (window != nullptr) {
        CSApplication application;
        g_pApplication = &application;
        if (application.Create(window, options)) {
            GameSystemChildren{*application.gameSystem}.ReleaseScreens();
            if (std::filesystem::exists(root + "/RESOURCE/FONT/ENGFONT.XBF")) {
                application.gameSystem->LoadFont();
            }
            status = RunMainLoop(&application);
            application.Destroy();
        }
        g_pApplication = nullptr;
        win::DestroyPlatformWindow(window);
    }
    UseSystemClock();
    std::filesystem::current_path(previous);
    if (driver.has_value()) {
        setenv("SDL_VIDEODRIVER", driver->c_str(), 1);
    } else {
        unsetenv("SDL_VIDEODRIVER");
    }
    return status;
}

}  // namespace apptest
