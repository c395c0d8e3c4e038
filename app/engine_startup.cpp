// The engine's start and stop for the game (see engine_startup.h).
#include "app/engine_startup.h"

#include "app/debug.h"
#include "app/file.h"
#include "app/memory.h"
#include "app/plugins.h"
#include "app/textures.h"
#include "rwd3d8.h"

namespace {

constexpr RwUInt32 kResourceArenaBytes = 1 << 20;

// The engine's error reports, with their text, as diagnostic lines.
void PrintEngineMessage(RwDebugType type, const RwChar *message)
{
    DebugPrint("game: engine %s: %s\n", type == rwDEBUGERROR ? "error" : "message", message);
}

RwInt32 FindExclusiveMode(const game::ModeChoice &choice)
{
    const RwInt32 count = RwEngineGetNumVideoModes();
    for (RwInt32 i = 0; i < count; ++i) {
        RwVideoModeInfo info{};
        if (RwEngineGetVideoModeInfo(&info, i) != nullptr && (info.flags & rwVIDEOMODEEXCLUSIVE) != 0 &&
            info.width == choice.width && info.height == choice.height && info.depth == 32) {
            return i;
        }
    }
    return -1;
}

bool SelectSubSystemAndMode(const game::ModeChoice &choice, EngineChoice *chosen)
{
    if (RwEngineGetNumSubSystems() < 1) {
        return false;
    }
    chosen->subSystem = RwEngineGetCurrentSubSystem();
    RwInt32 mode = RwEngineGetCurrentVideoMode();
    if (!RwEngineSetSubSystem(chosen->subSystem)) {
        return false;
    }
    if (choice.fullScreen) {
        const RwInt32 exclusive = FindExclusiveMode(choice);
        if (exclusive >= 0) {
            mode = exclusive;
        }
    }
    if (!RwEngineSetVideoMode(mode)) {
        return false;
    }
    RwEngineGetVideoModeInfo(&chosen->videoMode, RwEngineGetCurrentVideoMode());
    return true;
}

}  // namespace

bool StartEngine(HWND window, const game::ModeChoice &choice, EngineChoice *chosen)
{
    *chosen = EngineChoice{};
    RwDebugSetHandler(PrintEngineMessage);
    RwD3D8DriverInstall();
    if (!RwEngineInit(zuGetEngineMemoryFunctions(), 0, kResourceArenaBytes)) {
        return false;
    }
    zuInstallEngineFileFunctions();
    // Plug-ins must be known before the engine opens.
    if (!game::AttachPlugins()) {
        RwEngineTerm();
        return false;
    }
    RwEngineOpenParams params{window};
    if (!RwEngineOpen(&params)) {
        RwEngineTerm();
        return false;
    }
    if (!SelectSubSystemAndMode(choice, chosen) || !RwEngineStart()) {
        RwEngineClose();
        RwEngineTerm();
        return false;
    }
    if (!InstallGameTextureReading()) {
        StopEngine();
        return false;
    }
    return true;
}

void StopEngine()
{
    RwEngineStop();
    RwEngineClose();
    RwEngineTerm();
    RwDebugSetHandler(nullptr);
}
