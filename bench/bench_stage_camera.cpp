// The game camera's per-tick cost on the sample data: one play-mode update
// with auto adjustment, the camera's line swept against the first stage's
// world and its camera walls, for a hero walking the yard under a turning
// stick.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/path.h"
#include "rwcamera.h"
#include "stage/game_camera.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"
#include "tests/stage/stage_test_support.h"

namespace {

struct Engine {
    Engine() { ok = rwtest::EngineStartUp(nullptr, 1 << 20, game::AttachPlugins); }
    ~Engine()
    {
        if (ok) {
            rwtest::EngineShutDown();
        }
    }
    bool ok = false;
};

void BM_CameraPlayUpdate(benchmark::State &state)
{
    Engine engine;
    SetDataRootPath(stagetest::SamplePath("").c_str());
    StageInfo info;
    RpWorld *world = engine.ok ? stagetest::ReadSampleWorld() : nullptr;
    RpClump *walls = world != nullptr ? stagetest::ReadSampleClump("RESOURCE/STAGE/1/CAMWALL.DFF") : nullptr;
    if (walls == nullptr || !ReadStageInfoFile(StageInfoPath(kFirstStageId).c_str(), &info, false)) {
        state.SkipWithError("no engine or no sample stage (build the sample data first)");
        return;
    }
    RwCamera *camera = RwCameraCreate();
    RwCameraSetFrame(camera, RwFrameCreate());
    {
        CSStageManager stage;
        stage.SetStageInfo(info);
        stage.world = world;
        stage.cameraWallClump = walls;
        stage.CreateCamera();
        stage.camera->Create(camera);
        stage.LoadCamera();
        int tick = 0;
        for (auto _ : state) {
            const float t = static_cast<float>(tick++) / 60.0f;
            const RwV3d feet = {5.5f * std::sin(0.4f * t), 0.0f, 5.5f * std::cos(0.3f * t)};
            stage.StepCamera(1.0f / 60.0f, &feet, 1, std::sin(t), std::cos(0.7f * t));
            benchmark::DoNotOptimize(stage.camera->Orbit().distance);
        }
        stage.cameraWallClump = nullptr;
        stage.world = nullptr;
    }
    RwFrame *frame = RwCameraGetFrame(camera);
    RwCameraSetFrame(camera, nullptr);
    RwFrameDestroy(frame);
    RwCameraDestroy(camera);
    RpClumpDestroy(walls);
    RpWorldDestroy(world);
    SetDataRootPath("");
}
BENCHMARK(BM_CameraPlayUpdate);

}  // namespace

BENCHMARK_MAIN();
