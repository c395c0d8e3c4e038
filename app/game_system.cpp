// The game system's making, tick, frame and clump handling.
#include "app/game_system.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/chunk_read.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/game_frame.h"
#include "app/game_system_children.h"
#include "app/locks.h"
#include "app/path.h"
#include "app/render_callbacks.h"
#include "app/screen_coords.h"

CSGameSystem *g_pGameSystem = nullptr;

namespace {

// The world the game's clumps and lights live in until a stage brings its
// own: an empty box around the origin.
constexpr RwReal kWorldHalfSize = 10000.0f;
constexpr RwRGBAReal kAmbientStart = {0.4f, 0.4f, 0.4f, 1.0f};
constexpr RwReal kNearPlane = 0.1f;
constexpr RwReal kFarPlane = 1000.0f;

// The fatal report while a game system exists: its message box.
void GameSystemFatalError(const char *fileName)
{
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->messageBox.ShowFatalError(fileName);
    }
}

FatalErrorHandler previousFatalHandler = nullptr;

RpAtomic *RenderAtomic(RpAtomic *atomic, void *)
{
    RpAtomicRender(atomic);
    return atomic;
}

bool EndsInDff(const char *path)
{
    const size_t length = std::strlen(path);
    if (length < 3) {
        return false;
    }
    const char *end = path + length - 3;
    return (end[0] == 'D' || end[0] == 'd') && (end[1] == 'F' || end[1] == 'f') && (end[2] == 'F' || end[2] == 'f');
}

}  // namespace

bool CSGameSystem::Create(uint32_t width, uint32_t height, int32_t newLanguage)
{
    Destroy();
    g_pGameSystem = this;
    created_ = true;
    language = newLanguage;
    SetScreenClientSize(width, height);
    frameClock.Start(timeGetTime());
    GameSystemChildren children{*this};
    children.MakeScreens();
    textBlocks.ResetAll();
    messageBox = CSMessageBox();
    messageBox.LoadTable(language);
    previousFatalHandler = SetFatalErrorHandler(GameSystemFatalError);
    children.MakeDevMenu();
    children.MakeStage();
    std::memset(padStates, 0, sizeof(padStates));
    displayInfoMode = 0;
    moveCollision = 1;
    stageExitRequested_ = false;
    frameDrawn_ = false;
    defaultSceneTried_ = false;
    screensHeld = false;
    if (!MakeWorld() || !MakeCamera(width, height)) {
        Destroy();
        return false;
    }
    return true;
}

bool CSGameSystem::LoadDefaultScene()
{
    if (!defaultSceneTried_) {
        defaultSceneTried_ = true;
        // Without the first stage in the data tree the plain first frame shows.
        game::StageSceneLoad(&defaultScene, camera);
    }
    return game::StageSceneLoaded(defaultScene);
}

bool CSGameSystem::MakeWorld()
{
    const RwBBox box = {{kWorldHalfSize, kWorldHalfSize, kWorldHalfSize},
                        {-kWorldHalfSize, -kWorldHalfSize, -kWorldHalfSize}};
    world = RpWorldCreate(&box);
    if (world == nullptr) {
        return false;
    }
    // The light is made only into a world: one that is there is in it.
    ambientLight = RpLightCreate(rpLIGHTAMBIENT);
    if (ambientLight == nullptr) {
        return false;
    }
    RpLightSetColor(ambientLight, &kAmbientStart);
    RpWorldAddLight(world, ambientLight);
    return true;
}

bool CSGameSystem::MakeCamera(uint32_t width, uint32_t height)
{
    camera = RwCameraCreate();
    cameraFrame_ = RwFrameCreate();
    if (camera == nullptr || cameraFrame_ == nullptr) {
        return false;
    }
    RwCameraSetFrame(camera, cameraFrame_);
    RwCameraSetRaster(camera, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                             rwRASTERTYPECAMERA));
    RwCameraSetZRaster(camera, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                              rwRASTERTYPEZBUFFER));
    if (RwCameraGetRaster(camera) == nullptr || RwCameraGetZRaster(camera) == nullptr) {
        return false;
    }
    const RwV2d viewWindow = {0.5f, 0.5f * static_cast<RwReal>(height) / static_cast<RwReal>(width)};
    RwCameraSetViewWindow(camera, &viewWindow);
    RwCameraSetNearClip(camera, kNearPlane);
    RwCameraSetFarClip(camera, kFarPlane);
    farPlane_ = kFarPlane;
    return true;
}

void CSGameSystem::Destroy()
{
    // The table thread reads nothing of the game system but its table;
    // joined first all the same, before anything goes.
    acosTable.Join();
    if (!created_) {
        return;
    }
    GameSystemChildren children{*this};
    // The screens and the stage (its event and scene clumps among them)
    // hold clumps and lights in the world: they go first.
    children.ReleaseScreens();
    children.ReleaseStage();
    game::StageSceneUnload(&defaultScene);
    if (camera != nullptr) {
        if (RwCameraGetZRaster(camera) != nullptr) {
            RwRasterDestroy(RwCameraGetZRaster(camera));
        }
        if (RwCameraGetRaster(camera) != nullptr) {
            RwRasterDestroy(RwCameraGetRaster(camera));
        }
        RwCameraSetFrame(camera, nullptr);
        RwCameraDestroy(camera);
        camera = nullptr;
    }
    if (cameraFrame_ != nullptr) {
        RwFrameDestroy(cameraFrame_);
        cameraFrame_ = nullptr;
    }
    if (ambientLight != nullptr) {
        RpWorldRemoveLight(world, ambientLight);
        RpLightDestroy(ambientLight);
        ambientLight = nullptr;
    }
    if (world != nullptr) {
        RpWorldDestroy(world);
        world = nullptr;
    }
    children.ReleaseDevMenu();
    SetFatalErrorHandler(previousFatalHandler);
    previousFatalHandler = nullptr;
    SetGlobalFont(nullptr);
    font.Destroy();
    textBlocks.ResetAll();
    created_ = false;
    if (g_pGameSystem == this) {
        g_pGameSystem = nullptr;
    }
}

const char *CSGameSystem::FontPath(int32_t fontLanguage)
{
    return fontLanguage == 0 ? "\\RESOURCE\\FONT\\CHIFONT.XBF" : "\\RESOURCE\\FONT\\ENGFONT.XBF";
}

bool CSGameSystem::LoadFont()
{
    const char *path = FontPath(language);
    std::vector<uint8_t> bytes;
    bool read{};
    {
        const RequiredFileRead required(path);
        read = zufReadAll(path, &bytes);
    }
    if (!read) {
        RaiseFatalError(path);
        return false;
    }
    std::string error;
    if (!font.Create(bytes.data(), bytes.size(), &error)) {
        NoteUnreadableFile(path, error);
        RaiseFatalError(path);
        return false;
    }
    SetGlobalFont(&font);
    textBlocks.ResetAll();  // the blocks take the font at their reset
    return true;
}

const char *CSGameSystem::DataRoot() const { return GetDataRootPath(); }
uint32_t CSGameSystem::ClientWidth() const { return ScreenClientWidth(); }
uint32_t CSGameSystem::ClientHeight() const { return ScreenClientHeight(); }

void CSGameSystem::Tick()
{
    GameSystemChildren children{*this};
    if (uiManager == nullptr) {
        LoadDefaultScene();
    }
    game::RunGameTick(children, padStates[kPadStateBlock][0]);
    frameDrawn_ = Render();
}

bool CSGameSystem::Render()
{
    CSRenderLockGuard lock;
    GameSystemChildren children{*this};
    return game::RunGameRender(children, displayInfoMode);
}

void CSGameSystem::EndFrame()
{
    if (!stageExitRequested_) {
        return;
    }
    stageExitRequested_ = false;
    GameSystemChildren children{*this};
    game::RunStageExit(children);
}

RwCamera *CSGameSystem::GetCamera()
{
    if (camera != nullptr) {
        cameraMatrix = *RwCameraGetViewMatrix(camera);
    }
    return camera;
}

void CSGameSystem::SetFarPlane(float farPlane)
{
    if (farPlane != farPlane_ && camera != nullptr) {
        farPlane_ = farPlane;
        RwCameraSetFarClip(camera, farPlane);
    }
}

RpClump *CSGameSystem::LoadClump(const char *path, const char *texturePath)
{
    RpClump *clump = LoadClumpFile(path, texturePath);
    if (clump != nullptr && world != nullptr) {
        RpWorldAddClump(world, clump);
    }
    return clump;
}

RpClump *CSGameSystem::CloneClump(RpClump *clump)
{
    if (clump == nullptr) {
        return nullptr;
    }
    CSRenderLockGuard lock;
    RpClump *clone = RpClumpClone(clump);
    GameSystemChildren children{*this};
    if (clone != nullptr && children.HasDevMenu()) {
        children.DevMenuCopyClumpInfo(clone, clump);
    }
    return clone;
}

void CSGameSystem::DestroyClump(RpClump *clump)
{
    if (clump == nullptr) {
        return;
    }
    CSRenderLockGuard lock;
    GameSystemChildren children{*this};
    if (children.HasDevMenu()) {
        children.DevMenuClumpStillHasAnim(clump);
        children.DevMenuClearClumpInfo(clump);
    }
    if (RpClumpGetWorld(clump) != nullptr) {
        RpWorldRemoveClump(RpClumpGetWorld(clump), clump);
    }
    RpClumpDestroy(clump);
}

void CSGameSystem::RenderClump(RpClump *clump)
{
    if (clump != nullptr) {
        RpClumpForAllAtomics(clump, RenderAtomic, nullptr);
    }
}

void CSGameSystem::SetAmbientColor(const uint8_t rgba[4])
{
    if (ambientLight == nullptr) {
        return;
    }
    const RwRGBAReal color = {rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f};
    RpLightSetColor(ambientLight, &color);
}

void CSGameSystem::GetAmbientColor(uint8_t rgba[4]) const
{
    if (ambientLight == nullptr) {
        rgba[0] = rgba[1] = rgba[2] = rgba[3] = 0;
        return;
    }
    const RwRGBAReal *color = RpLightGetColor(ambientLight);
    const float channels[4] = {color->red, color->green, color->blue, color->alpha};
    for (int i = 0; i < 4; ++i) {
        rgba[i] = static_cast<uint8_t>(channels[i] * 255.0f + 0.5f);
    }
}

void RequestStageExit()
{
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->RequestStageExit();
    }
}

RpClump *LoadClumpFile(const char *path, const char *texturePath)
{
    if (path == nullptr || !EndsInDff(path)) {
        DebugPrint("Clump Name:%s is not a DFF file\n", path != nullptr ? path : "(null)");
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    if (!zufReadAll(path, &bytes)) {
        return nullptr;
    }
    if (texturePath != nullptr) {
        RwImageSetPath(texturePath);
    }
    RwMemoryDescriptor memory = {bytes.data(), static_cast<RwUInt32>(bytes.size())};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &memory);
    RpClump *clump = nullptr;
    if (stream != nullptr) {
        clump = game::ReadFirstChunk<RpClump>(stream, rwID_CLUMP, RpClumpStreamRead);
        RwStreamClose(stream, &memory);
    }
    if (clump == nullptr) {
        DebugPrint("Clump Name:%s The Clump is no avail.\n", path);
        // A model that is there but refused whole is named, or left to the
        // fatal report of a loader that needs it.
        SayUnreadableFile(path, game::TakeEngineError("it holds no model"));
        return nullptr;
    }
    InstallGameRenderCallBack(clump);
    if (g_pGameSystem != nullptr) {
        GameSystemChildren children{*g_pGameSystem};
        if (children.HasDevMenu()) {
            children.DevMenuAddClumpInfo(clump, path);
        }
    }
    return clump;
}
