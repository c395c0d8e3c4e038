// Loading, placing and drawing the first stage (see stage_scene.h). The
// files are read the way the stage load reads them: the world chunk and
// the model chunks through the engine's streams, textures through the
// engine's texture reading from the folder each model names them in.
#include "app/stage_scene.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "app/chunk_read.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/pack.h"

namespace game {

namespace {

const char *const kStageTextures = "RESOURCE/STAGE/1/TEXTURES/";

// The camera circles the yard's middle (400 units across), looking at it
// from above the walls.
constexpr RwReal kOrbitRadius = 170.0f;
constexpr RwReal kOrbitHeight = 70.0f;
constexpr RwReal kOrbitStart = 0.6f;               // radians at clock 0
constexpr RwReal kOrbitRadiansPerMs = 0.00035f;    // about 20 degrees a second
constexpr RwV3d kLookAt = {20.0f, 10.0f, -20.0f};

// The first chunk of `type` in the file, read by `read` inside its bounds.
template <typename T, typename Read>
T *ReadChunkFile(const char *path, RwUInt32 type, Read read)
{
    if (!RwFileExists(path)) {
        return nullptr;
    }
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path);
    if (stream == nullptr) {
        return nullptr;
    }
    T *object = ReadFirstChunk<T>(stream, type, read);
    RwStreamClose(stream, nullptr);
    return object;
}

RpClump *ReadClump(const char *path, const char *textures)
{
    RwImageSetPath(textures);
    return ReadChunkFile<RpClump>(path, rwID_CLUMP, RpClumpStreamRead);
}

RpWorldSector *RenderSector(RpWorldSector *sector, void *)
{
    RpWorldSectorRender(sector);
    return sector;
}

RwV3d Normalized(RwV3d v)
{
    const RwReal length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

RwV3d Cross(const RwV3d &a, const RwV3d &b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Why the last read of `path` gave nothing, in the engine's words (the
// error slot is emptied).
std::string WhyUnread(const char *path)
{
    std::string why = TakeEngineError("it holds no such chunk");
    return RwFileExists(path) ? why : "the file is missing";
}

}  // namespace

const char *StageWorldPath() { return "RESOURCE/STAGE/1/STAGE.BSP"; }
const char *StageLightsPath() { return "RESOURCE/STAGE/1/LIGHTS.DFF"; }
const char *StagePropPath() { return "RESOURCE/STAGE/1/CLUMP00.DFF"; }
const char *StagePackPath() { return "\\PACK\\STAGE1\\2010000.STR"; }
const char *StageSignName() { return "sign01"; }

bool StageSceneLoad(StageScene *scene, RwCamera *camera)
{
    *scene = StageScene{};
    // A data tree without the stage (on disk or in its pack) shows the plain
    // frame; a stage that is there but cannot be read is fatal.
    const bool packThere = zuPackExists(StagePackPath());
    if (!packThere && !RwFileExists(StageWorldPath())) {
        return false;
    }
    if (!zuOpenPack(StagePackPath())) {
        return false;  // the pack layer has made its fatal report
    }
    if (!RwFileExists(StageWorldPath())) {
        zuClosePack();
        return false;
    }
    RwError stale{};
    RwErrorGet(&stale);
    // The first file the stage cannot do without that fails to read, with
    // the engine's reason; a missing picture is only reported (the engine's
    // handler says which) and drawn untextured.
    const char *unread = nullptr;
    std::string why;
    RwImageSetPath(kStageTextures);
    scene->world = ReadChunkFile<RpWorld>(StageWorldPath(), rwID_WORLD_CHUNK, RpWorldStreamRead);
    if (scene->world == nullptr) {
        unread = StageWorldPath(), why = WhyUnread(unread);
    } else {
        scene->sign = RwTextureRead(StageSignName(), nullptr);
        RwErrorGet(&stale);
        scene->lights = ReadClump(StageLightsPath(), kStageTextures);
        if (scene->lights == nullptr) {
            unread = StageLightsPath(), why = WhyUnread(unread);
        } else {
            scene->prop = ReadClump(StagePropPath(), kStageTextures);
            if (scene->prop == nullptr) {
                unread = StagePropPath(), why = WhyUnread(unread);
            }
        }
    }
    RwImageSetPath("");
    // What the stage holds of the pack's textures stays; the rest goes back.
    zuClosePack();
    if (unread != nullptr) {
        StageSceneUnload(scene);
        // The fatal report names the file with why, in one line.
        NoteUnreadableFile(unread, why);
        RaiseFatalError(unread);
        return false;
    }
    RpWorldAddClump(scene->world, scene->lights);
    RpWorldAddClump(scene->world, scene->prop);
    RpWorldAddCamera(scene->world, camera);
    scene->camera = camera;
    return true;
}

void StageSceneUnload(StageScene *scene)
{
    if (scene->world != nullptr) {
        if (scene->camera != nullptr) {
            RpWorldRemoveCamera(scene->world, scene->camera);
        }
        for (RpClump *clump : {scene->prop, scene->lights}) {
            if (clump != nullptr && RpClumpGetWorld(clump) != nullptr) {
                RpWorldRemoveClump(scene->world, clump);
            }
        }
    }
    for (RpClump *clump : {scene->prop, scene->lights}) {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
    }
    if (scene->sign != nullptr) {
        RwTextureDestroy(scene->sign);
    }
    if (scene->world != nullptr) {
        RpWorldDestroy(scene->world);
    }
    *scene = StageScene{};
}

void StageCameraPlace(RwCamera *camera, uint64_t clockMs)
{
    const RwReal angle = kOrbitStart + kOrbitRadiansPerMs * static_cast<RwReal>(clockMs);
    RwMatrix m{};
    m.pos = {kOrbitRadius * std::sin(angle), kOrbitHeight, kOrbitRadius * std::cos(angle)};
    m.at = Normalized({kLookAt.x - m.pos.x, kLookAt.y - m.pos.y, kLookAt.z - m.pos.z});
    m.right = Normalized(Cross({0.0f, 1.0f, 0.0f}, m.at));
    m.up = Cross(m.at, m.right);
    m.flags = rwMATRIXTYPEORTHONORMAL;
    RwFrameTransform(RwCameraGetFrame(camera), &m, rwCOMBINEREPLACE);
}

void StageSceneRender(const StageScene &scene)
{
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLBACK));
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(FALSE));
    RpWorldForAllWorldSectors(scene.world, RenderSector, nullptr);
    RpClumpRender(scene.prop);
}

}  // namespace game
