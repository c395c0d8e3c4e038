// Process entry of the game: reads the options, asks for the video mode
// ("Game Mode") unless --mode gives it, opens the window, makes the
// application and runs the main loop until the window is closed, a quit
// signal arrives or the asked number of ticks is done; then tears
// everything down in reverse.
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/frame_trace.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/language.h"
#include "app/main_loop.h"
#include "app/mode_dialog.h"
#include "app/options.h"
#include "app/quit_signal.h"
#include "input/input_script.h"
#include "app/trace.h"
#include "common/diagnostics.h"
#include "stage/stage_start.h"
#include "ui/save_slots.h"
#include "ui/ui_manager.h"
#include "win/window.h"

int main(int argc, char **argv)
{
    game::Options options;
    std::string error;
    if (!game::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "game: %s (game --help lists the options)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(game::OptionsHelp().c_str(), stdout);
        return 0;
    }
    SetDebugOutput(options.debug);
    // What the system libraries under the platform say (ALSA, libav) is a diagnostic line.
    plat::SetDiagnosticSink([](const char *line) { DebugPrint("%s", line); });
    InstallQuitSignals();
    if (!options.inputScript.empty()) {
        // A script that cannot be played stops the run before anything starts.
        input::InputScript script;
        if (!input::LoadInputScript(options.inputScript, &script, &error)) {
            std::fprintf(stderr, "game: %s\n", error.c_str());
            return 2;
        }
    }
    if (options.headless) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    if (options.mode == 0) {
        // Headless runs have no one to ask and take the first mode; so does
        // a run whose box cannot be shown (no display, or a bare X server
        // without the fonts the box is drawn in).
        constexpr int kFirstMode = 1;  // a 640 x 480 window
        std::string why;
        options.mode = options.headless ? kFirstMode : ChooseGameMode(&why);
        if (options.mode == 0) {
            return 0;  // the choice was closed
        }
        if (options.mode < 0) {
            std::fprintf(stderr, "game: the Game Mode box cannot be shown (%s); mode 1 is taken (--mode chooses)\n",
                         why.c_str());
            options.mode = kFirstMode;
        }
    }
    SetLanguageIndex(options.language);
    if (options.fixedStepMs != 0) {
        UseFixedStepClock(options.fixedStepMs);
    }
    game::ModeChoice choice{};
    game::ModeChoiceOf(options.mode, &choice);
    if (!options.tracePath.empty() && !game::TraceOpen(options.tracePath, &error)) {
        std::fprintf(stderr, "game: %s\n", error.c_str());
        return 2;
    }
    game::TraceAskPoses(options.tracePoses);
    game::TraceAskFrames(options.traceFrames);
    g_drawHiddenStage = options.drawHidden;

    win::WindowDesc desc;
    desc.title = "game";
    desc.clientWidth = choice.width;
    desc.clientHeight = choice.height;
    // Without --headless the window must be a real one: with no display the
    // program says so rather than running unseen.
    desc.backend = options.headless ? win::Backend::Headless : win::Backend::Sdl;
    // Nothing reads a headless run's shown frames (screenshots read the camera raster),
    // so frames no one reads need not be drawn.
    desc.keepsFrames = !options.headless;
    HWND window = win::CreatePlatformWindow(desc);
    if (window == nullptr) {
        std::fprintf(stderr, options.headless ? "game: no window could be opened\n"
                                              : "game: no display could be opened (is DISPLAY set?); "
                                                "--headless runs without one\n");
        return 1;
    }
    CSApplication application;
    g_pApplication = &application;
    if (!application.Create(window, options)) {
        g_pApplication = nullptr;
        win::DestroyPlatformWindow(window);
        return 1;
    }
    // The font of the language; a missing one is a fatal missing file.
    application.gameSystem->LoadFont();
    // The shared interface pictures; a missing COMMON pack is fatal too.
    CSUIManager *screens = application.gameSystem->uiManager;
    screens->LoadCommonTextures();
    if (options.stage != 0) {
        // What the way through the title would have made ready: the
        // interface sounds and the word table, and pad 0 (hero 0's) as the
        // screens' pad.
        screens->LoadUISounds();
        screens->SetUIPad(0);
        if (options.slot != 0 && !LoadSaveSlot(options.slot - 1)) {
            std::fprintf(stderr, "game: save slot %d holds no game; the stage starts a new one\n", options.slot);
        }
        // A stage that cannot load has raised the fatal report already.
        StartStageNewGame(application.gameSystem->stageManager, options.stage, options.players);
    } else if (options.screen != 0) {
        screens->StartAtScreen(static_cast<uint32_t>(options.screen));
    }
    const int status = RunMainLoop(&application);
    application.Destroy();
    g_pApplication = nullptr;
    win::DestroyPlatformWindow(window);
    game::TraceClose();
    return status;
}
