// The first stage as the game draws it, at 800x600 on our Direct3D 8 device: the
// stage's world with its lights, the prop, the skinned hero walking, the particle
// model emitting, and a 2D layer over them (the sign picture and a row of panels),
// with 1, 2 and every thread. The data is the sample-data maker's, written to a
// temporary tree when the program starts and read back through the engine's readers
// the way the game reads it; nothing of the game's shell is used.
//
// SWR_STAGE_SHOT=path.png writes one drawn frame, to see what is measured.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/d3d8/swr/swr_draw.h"
#include "rpanimation.h"
#include "rphanim.h"
#include "rpprtstd.h"
#include "rpskin.h"
#include "stage/model_frames.h"
#include "tools/mkdata/sample_stages.h"
#include "rpworld.h"
#include "rtbmp.h"
#include "support/engine/headless_screen.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/particle_model.h"
#include "tools/mkdata/stage_lights.h"
#include "tools/mkdata/stage_world.h"

namespace {

constexpr RwUInt32 kWidth = 800, kHeight = 600;
constexpr RwReal kFrameSeconds = 1.0f / 60.0f;
constexpr RwRGBA kSky = {96, 112, 140, 255};

std::string Join(const std::string &a, const std::string &b) { return (std::filesystem::path(a) / b).string(); }

// Reads the first chunk of `type` in a file through `read`, as the game reads its models.
template <typename T, typename Read>
T *ReadChunkFile(const std::string &path, RwUInt32 type, Read read) {
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path.c_str());
    if (stream == nullptr) return nullptr;
    T *result = nullptr;
    if (RwStreamFindChunk(stream, type, nullptr, nullptr)) result = read(stream);
    RwStreamClose(stream, nullptr);
    return result;
}

RpClump *ReadClump(const std::string &path, const std::string &textures) {
    RwImageSetPath((textures + "/").c_str());
    RpClump *clump = ReadChunkFile<RpClump>(path, rwID_CLUMP, RpClumpStreamRead);
    RwImageSetPath("");
    return clump;
}

RpAtomic *FirstAtomic(RpAtomic *atomic, void *data) {
    *static_cast<RpAtomic **>(data) = atomic;
    return nullptr;
}

RpWorldSector *RenderSector(RpWorldSector *sector, void *) {
    RpWorldSectorRender(sector);
    return sector;
}

class Stage {
public:
    bool Load() {
        root_ = (std::filesystem::temp_directory_path() / ("bench_swr_stage." + std::to_string(::getpid()))).string();
        if (!screen_.Start(d3d8::DefaultProfile(), kWidth, kHeight, mkdata::AttachSurfacePlugins)) return false;
        if (!RwImageRegisterFormat("bmp", RtBmpRead, RtBmpWrite)) return false;
        if (!mkdata::WriteDataTree(root_) || !mkdata::WriteCharacterFiles(root_) ||
            !mkdata::WriteSampleStage(root_, mkdata::FirstSampleStage())) {
            return false;
        }
        // Writing left the maker's textures (without pictures) in the current
        // dictionary; the game reads into a dictionary of its own.
        writerTextures_ = RwTexDictionaryGetCurrent();
        textures_ = RwTexDictionaryCreate();
        if (!textures_) return false;
        RwTexDictionarySetCurrent(textures_);
        const std::string stage = Join(root_, mkdata::StageFolder());
        const std::string stageTextures = Join(root_, mkdata::StageTextureFolder());
        const std::string props = Join(root_, mkdata::PropModelFolder());
        const std::string hero = Join(root_, mkdata::CharacterFolder());
        RwImageSetPath((stageTextures + "/").c_str());
        world_ = ReadChunkFile<RpWorld>(Join(stage, mkdata::StageWorldName()), rwID_WORLD_CHUNK, RpWorldStreamRead);
        sign_ = RwTextureRead(mkdata::StageSignTexture().name, nullptr);
        RwImageSetPath("");
        lights_ = ReadClump(Join(stage, mkdata::StageLightsName()), stageTextures);
        prop_ = ReadClump(Join(stage, "CLUMP00.DFF"), stageTextures);
        particles_ = ReadClump(Join(props, mkdata::ParticleModelName()), Join(props, "TEXTURES"));
        hero_ = ReadClump(Join(hero, mkdata::CharacterModelName()), hero);
        animation_ = ReadChunkFile<RtAnimAnimation>(Join(hero, mkdata::CharacterAnimationName()), rwID_ANIMANIMATION,
                                                    RtAnimAnimationStreamRead);
        if (!world_ || !sign_ || !lights_ || !prop_ || !particles_ || !hero_ || !animation_) return false;
        // The hero's skeleton plays the walk, as the game binds it after loading.
        hierarchy_ = GetClumpHierarchy(hero_);
        RpAtomic *skinned = nullptr;
        RpClumpForAllAtomics(hero_, FirstAtomic, &skinned);
        if (!hierarchy_ || !skinned) return false;
        RpHAnimHierarchyAttach(hierarchy_);
        RpSkinAtomicSetHierarchy(skinned, hierarchy_);
        if (!RtAnimInterpolatorSetCurrentAnim(hierarchy_->currentAnim, animation_)) return false;
        RpClumpForAllAtomics(particles_, FirstAtomic, &emitter_);
        // Everything stands in the stage: the prop and the hero on the floor, the
        // particles rising beside the hero.
        const RwV3d propAt = {25.0f, 5.0f, -25.0f}, heroAt = {-10.0f, 0.0f, 5.0f}, particlesAt = {5.0f, 5.0f, 10.0f};
        RwFrameTranslate(RpClumpGetFrame(prop_), &propAt, rwCOMBINEREPLACE);
        RwFrameTranslate(RpClumpGetFrame(hero_), &heroAt, rwCOMBINEREPLACE);
        RwFrameTranslate(RpClumpGetFrame(particles_), &particlesAt, rwCOMBINEREPLACE);
        for (RpClump *clump : {lights_, prop_, hero_, particles_}) RpWorldAddClump(world_, clump);
        RpWorldAddCamera(world_, screen_.camera);
        PlaceCamera();
        // A second of play first, so the particles are out and the walk is under way.
        for (int i = 0; i < 60; ++i) Frame();
        return emitter_ != nullptr;
    }

    void Unload() {
        if (world_) {
            RpWorldRemoveCamera(world_, screen_.camera);
            for (RpClump *clump : {lights_, prop_, hero_, particles_}) {
                if (clump && RpClumpGetWorld(clump)) RpWorldRemoveClump(world_, clump);
            }
        }
        for (RpClump *clump : {lights_, prop_, hero_, particles_}) {
            if (clump) RpClumpDestroy(clump);
        }
        if (animation_) RtAnimAnimationDestroy(animation_);
        if (sign_) RwTextureDestroy(sign_);
        if (world_) RpWorldDestroy(world_);
        if (textures_) {
            RwTexDictionarySetCurrent(writerTextures_);
            RwTexDictionaryDestroy(textures_);
        }
        screen_.Stop();
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }

    // One frame of play: the animation and the particles step a 60th of a second, then
    // the frame is drawn.
    void Frame() {
        RtAnimInterpolatorAddTime(hierarchy_->currentAnim, kFrameSeconds);
        if (hierarchy_->currentAnim->currentTime >= mkdata::kCharacterWalkEnd) {
            RtAnimInterpolatorSetCurrentTime(hierarchy_->currentAnim, 0.0f);
        }
        RpHAnimHierarchyUpdateMatrices(hierarchy_);
        RwReal dt = kFrameSeconds;
        RpPrtStdAtomicUpdate(emitter_, &dt);
        RwCamera *camera = screen_.camera;
        RwRGBA sky = kSky;
        RwCameraClear(camera, &sky, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        if (!RwCameraBeginUpdate(camera)) return;
        DrawScene();
        RwCameraEndUpdate(camera);
    }

    bool Shot(const std::string &path) {
        return headlessscreen::WritePng(screen_.Capture(kSky, [&] { DrawScene(); }), path);
    }

    void DrawScene() {
        RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(1));
        RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(1));
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLBACK));
        RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(0));
        RpWorldForAllWorldSectors(world_, RenderSector, nullptr);
        RpClumpRender(prop_);
        RpClumpRender(hero_);
        RpClumpRender(particles_);
        Draw2D();
    }

    void Draw2D() {
        RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(0));
        RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(0));
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(1));
        RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
        RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
        // The sign in the top-left corner, then a row of translucent panels along the
        // bottom as a menu bar would show them.
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, RwTextureGetRaster(sign_));
        Quad(16, 16, 16 + 192, 16 + 96, 0xFFFFFFFFu);
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
        for (int i = 0; i < 8; ++i) {
            const RwReal x = 24.0f + static_cast<RwReal>(i) * 96.0f;
            Quad(x, 520, x + 88, 584, 0xA0203040u + static_cast<RwUInt32>(i) * 0x00080808u);
        }
        RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(1));
        RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(1));
    }

private:
    // A quad as the 2D layer draws one: two triangles over its four corners.
    void Quad(RwReal x0, RwReal y0, RwReal x1, RwReal y1, RwUInt32 argb) {
        const RwReal z = RwIm2DScreenZNear();
        const RwReal rhw = 1.0f / RwCameraGetNearClipPlane(screen_.camera);
        RwIm2DVertex vertices[4] = {
            {x0, y0, z, rhw, argb, 0.0f, 0.0f},
            {x0, y1, z, rhw, argb, 0.0f, 1.0f},
            {x1, y0, z, rhw, argb, 1.0f, 0.0f},
            {x1, y1, z, rhw, argb, 1.0f, 1.0f},
        };
        RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
        RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, vertices, 4, indices, 6);
    }

    void PlaceCamera() {
        // Above and behind the stage's middle, looking down onto the floor.
        const RwV3d eye = {40.0f, 50.0f, -90.0f}, at = {0.0f, 8.0f, 0.0f};
        RwMatrix m{};
        m.pos = eye;
        RwV3d look = {at.x - eye.x, at.y - eye.y, at.z - eye.z};
        RwV3dNormalize(&m.at, &look);
        const RwV3d up = {0.0f, 1.0f, 0.0f};
        RwV3d right;
        RwV3dCrossProduct(&right, &up, &m.at);
        RwV3dNormalize(&m.right, &right);
        RwV3dCrossProduct(&m.up, &m.at, &m.right);
        m.flags = rwMATRIXTYPEORTHONORMAL;
        RwFrameTransform(RwCameraGetFrame(screen_.camera), &m, rwCOMBINEREPLACE);
        const RwV2d window = {0.5f, 0.5f * static_cast<RwReal>(kHeight) / static_cast<RwReal>(kWidth)};
        RwCameraSetViewWindow(screen_.camera, &window);
        RwCameraSetNearClip(screen_.camera, 0.1f);
        RwCameraSetFarClip(screen_.camera, 600.0f);
    }

    headlessscreen::Screen screen_;
    std::string root_;
    RpWorld *world_ = nullptr;
    RpClump *lights_ = nullptr, *prop_ = nullptr, *hero_ = nullptr, *particles_ = nullptr;
    RwTexture *sign_ = nullptr;
    RwTexDictionary *textures_ = nullptr, *writerTextures_ = nullptr;
    RtAnimAnimation *animation_ = nullptr;
    RpHAnimHierarchy *hierarchy_ = nullptr;
    RpAtomic *emitter_ = nullptr;
};

// Argument: threads (0: all of them).
void BM_StageFrame(benchmark::State &bench) {
    Stage stage;
    if (!stage.Load()) {
        stage.Unload();
        bench.SkipWithError("the sample stage did not load");
        return;
    }
    if (const char *shot = std::getenv("SWR_STAGE_SHOT")) stage.Shot(shot);
    swr::SetThreadCount(static_cast<uint32_t>(bench.range(0)));
    for (auto _ : bench) stage.Frame();
    swr::SetThreadCount(0);
    stage.Unload();
    bench.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_StageFrame)->Arg(1)->Arg(2)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
