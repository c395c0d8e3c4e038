// Process entry of the game: reads the options, opens the window through our
// window layer, starts the engine on it and runs the main loop, ticking the
// frame until the window is closed or the asked number of ticks is done.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/firstframe.h"
#include "app/options.h"
#include "app/screenshot.h"
#include "win/window.h"

namespace {

constexpr uint32_t kTickMs = 16;

uint64_t NowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The window system's messages: only closing matters to the game so far.
bool PumpMessages(bool headless)
{
    if (headless || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            return false;
        }
    }
    return true;
}

// Taken from the camera raster after the tick's frame is drawn and before
// it is shown.
bool TakeScreenshots(const game::Options &options, uint32_t tick, RwCamera *camera)
{
    bool ok = true;
    for (const game::Screenshot &shot : options.screenshots) {
        if (shot.tick != tick) {
            continue;
        }
        if (!game::WriteScreenshot(camera, shot.path)) {
            std::fprintf(stderr, "game: could not write the screenshot %s\n", shot.path.c_str());
            ok = false;
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    game::Options options;
    std::string error;
    if (!game::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "game: %s\n", error.c_str());
        return 2;
    }
    if (options.mode == 0) {
        // The "Game Mode" dialog will ask; until then the first choice stands.
        options.mode = 1;
    }
    if (options.headless) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    game::ModeChoice choice{};
    game::ModeChoiceOf(options.mode, &choice);

    win::WindowDesc desc;
    desc.title = "game";
    desc.clientWidth = choice.width;
    desc.clientHeight = choice.height;
    desc.backend = options.headless ? win::Backend::Headless : win::Backend::Auto;
    HWND window = win::CreatePlatformWindow(desc);
    if (window == nullptr) {
        std::fprintf(stderr, "game: no window could be opened\n");
        return 1;
    }
    game::Engine engine;
    if (!game::EngineStartUp(window, choice, &engine)) {
        std::fprintf(stderr, "game: the engine could not start\n");
        win::DestroyPlatformWindow(window);
        return 1;
    }

    int status = 0;
    uint64_t clockMs = 0;
    uint64_t last = NowMs();
    for (uint32_t tick = 1; options.frames == 0 || tick <= options.frames; ++tick) {
        if (!PumpMessages(options.headless)) {
            break;
        }
        if (options.fixedStepMs != 0) {
            clockMs += options.fixedStepMs;
        } else {
            const uint64_t now = NowMs();
            if (now - last < kTickMs && !options.headless) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs - (now - last)));
            }
            const uint64_t after = NowMs();
            clockMs += after - last;
            last = after;
        }
        if (game::DrawFrame(&engine, clockMs)) {
            if (!TakeScreenshots(options, tick, engine.camera)) {
                status = 1;
            }
            game::ShowFrame(&engine);
        }
    }
    game::EngineShutDown(&engine);
    win::DestroyPlatformWindow(window);
    return status;
}
