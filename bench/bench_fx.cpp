// The effects' per-frame costs on the game's engine and our device in a
// memory-only window: 2,000 live particles updated and drawn, every
// effect pool of the general-effects manager idle for a frame, and the
// stage change's wobbling screen grid over a whole frame.
#include <benchmark/benchmark.h>

#include "app/engine_startup.h"
#include "app/pack.h"
#include "app/path.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/screen_grid.h"
#include "fx/stage_effects.h"
#include "win/window.h"

namespace {

struct Engine {
    Engine()
    {
        win::WindowDesc desc;
        desc.title = "bench_fx";
        desc.clientWidth = 640;
        desc.clientHeight = 480;
        desc.backend = win::Backend::Headless;
        window = win::CreatePlatformWindow(desc);
        EngineChoice chosen;
        ok = window != nullptr && StartEngine(window, game::ModeChoice{640, 480, false}, &chosen);
        if (ok) {
            camera = RwCameraCreate();
            RwCameraSetFrame(camera, RwFrameCreate());
            RwCameraSetRaster(camera, RwRasterCreate(640, 480, 0, rwRASTERTYPECAMERA));
            RwCameraSetZRaster(camera, RwRasterCreate(640, 480, 0, rwRASTERTYPEZBUFFER));
            RwV3d eye = {0.0f, 5.0f, -30.0f};
            RwFrameTranslate(RwCameraGetFrame(camera), &eye, rwCOMBINEREPLACE);
            RwCameraSetFarClip(camera, 500.0f);
        }
    }
    ~Engine()
    {
        if (camera != nullptr) {
            RwFrame *frame = RwCameraGetFrame(camera);
            RwRasterDestroy(camera->zBuffer);
            RwRasterDestroy(camera->frameBuffer);
            RwCameraSetFrame(camera, nullptr);
            RwCameraDestroy(camera);
            RwFrameDestroy(frame);
        }
        if (ok) {
            StopEngine();
        }
        if (window != nullptr) {
            win::DestroyPlatformWindow(window);
        }
    }
    HWND window = nullptr;
    RwCamera *camera = nullptr;
    bool ok = false;
};

// Whether the engine is up; a benchmark without it is marked skipped.
bool Started(const Engine &engine, benchmark::State &state)
{
    if (!engine.ok) {
        state.SkipWithError("the engine did not start");
    }
    return engine.ok;
}

void BM_Particles2000(benchmark::State &state)
{
    Engine engine;
    if (!Started(engine, state)) {
        return;
    }
    CSParticleManager particles;
    ZusDesc d;
    d.emitRate = 500.0f;
    d.maxParticles = 500;
    d.life = 1.0f;
    d.velocity = {0.0f, 4.0f, 0.0f};
    d.spread = 40.0f;
    d.sizeStart = 0.3f;
    d.emitterSize = {3.0f, 0.0f, 3.0f};
    particles.AddTemplate("bench", d, 4, false);
    for (int i = 0; i < 4; ++i) {
        CSParticleSystem *s = particles.CreateSystem("bench");
        s->SetPosition({static_cast<float>(i) * 8.0f - 12.0f, 0.0f, 0.0f});
    }
    for (int i = 0; i < 120; ++i) {
        particles.Update(1.0f / 60.0f);  // up to the steady 2,000
    }
    RwRGBA black = {0, 0, 0, 255};
    for (auto _ : state) {
        particles.Update(1.0f / 60.0f);
        RwCameraClear(engine.camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(engine.camera);
        particles.Render();
        RwCameraEndUpdate(engine.camera);
    }
    int32_t live = 0;
    for (int i = 0; i < 4; ++i) {
        // The four copies are all out: count what they hold.
        live += particles.CreateSystem("bench") == nullptr ? 0 : 1;
    }
    state.counters["systems_free"] = live;
    state.SetItemsProcessed(state.iterations() * 2000);
    particles.ReleaseAll();
}
BENCHMARK(BM_Particles2000)->Unit(benchmark::kMillisecond);

void BM_EveryPoolIdle(benchmark::State &state)
{
    Engine engine;
    if (!Started(engine, state)) {
        return;
    }
    // The sample data's pools: their models, big-shot files and particles,
    // read while the effects pack (with the models' textures) is open, as
    // the game reads them.
    SetDataRootPath(RW_BENCH_DATA_DIR);
    const bool packed = zuOpenPack(kEffectsPackPath);
    CSParticleManager particles;
    particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false);
    CSMatAnimManager matAnims;
    CCGEManager manager;
    GeServices services;
    services.particles = &particles;
    services.matAnims = &matAnims;
    manager.Create(services);
    if (packed) {
        zuClosePack();
    }
    for (auto _ : state) {
        manager.Update(1.0f / 60.0f);
        RwCameraBeginUpdate(engine.camera);
        manager.Render();
        RwCameraEndUpdate(engine.camera);
    }
    manager.Release();
    particles.ReleaseAll();
    SetDataRootPath("");
}
BENCHMARK(BM_EveryPoolIdle)->Unit(benchmark::kMicrosecond);

// The transition's grid halfway through: an empty scene drawn into the grid's texture,
// then the whole frame drawn from it through the wobbling cells. The frame is read
// back after each draw, so that the device draws it then and there.
void BM_ScreenGridFrame(benchmark::State &state)
{
    Engine engine;
    if (!Started(engine, state)) {
        return;
    }
    CSScreenGrid grid;
    grid.Start(1000.0f);
    grid.Update(0.5f);
    RwRGBA black = {0, 0, 0, 255};
    RwRaster *frame = RwCameraGetRaster(engine.camera);
    for (auto _ : state) {
        RwCameraClear(engine.camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(engine.camera);
        grid.Render(engine.camera, [](void *) {}, nullptr);
        RwCameraEndUpdate(engine.camera);
        benchmark::DoNotOptimize(RwRasterLock(frame, 0, 0x02 /* read */));
        RwRasterUnlock(frame);
    }
    grid.Release();
    state.SetItemsProcessed(state.iterations() * RwRasterGetWidth(frame) * RwRasterGetHeight(frame));
}
BENCHMARK(BM_ScreenGridFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
