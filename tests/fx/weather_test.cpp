// Fog and rain, and the screen-grid distortion: fades over their times,
// rain states and levels, fog drawn through the device's fog states, and
// the scene drawn through the wobbling grid by way of a texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "fx/particle_manager.h"
#include "fx/screen_grid.h"
#include "fx/weather.h"
#include "stage/stage_manager.h"
#include "fx_test_support.h"
#include "tools/mkdata/fx_data.h"

namespace weather_test {

namespace {

class Weather : public fxtest::FxEngineTest {
protected:
    void TearDown() override
    {
        weather.Unload();
        particles.ReleaseAll();
        g_pStageManager = nullptr;
        fxtest::FxEngineTest::TearDown();
    }
    void AddRainTemplates()
    {
        ZusDesc drop;
        drop.emitRate = 200.0f;
        drop.maxParticles = 100;
        drop.velocity = {0.0f, -50.0f, 0.0f};
        for (const char *name : {"RAIN_S.ZUS", "RAIN_M.ZUS", "RAIN_L.ZUS"}) {
            ASSERT_TRUE(particles.AddTemplate(name, drop, 1, false));
        }
    }
    CSParticleManager particles;
    CSWeatherEffect weather;
};

TEST_F(Weather, FogFadesInAndOutOverItsTime)
{
    weather.SetFogDistance(50.0f);
    weather.SetFog(true, 2.0f);
    EXPECT_EQ(weather.FogAmount(), 0.0f);
    EXPECT_EQ(weather.FogStart(400.0f), 400.0f);
    for (int i = 0; i < 50; ++i) {
        weather.Update(0.02f, nullptr);  // one second
    }
    EXPECT_NEAR(weather.FogAmount(), 0.5f, 1e-3f);
    EXPECT_NEAR(weather.FogStart(400.0f), 225.0f, 0.5f);
    for (int i = 0; i < 100; ++i) {
        weather.Update(0.02f, nullptr);
    }
    EXPECT_EQ(weather.FogAmount(), 1.0f);
    EXPECT_EQ(weather.FogStart(400.0f), 50.0f);
    weather.SetFog(false, 0.0f);
    EXPECT_EQ(weather.FogAmount(), 0.0f);
}

TEST_F(Weather, TheGameSystemSettersReachTheStagesWeather)
{
    SetStageFog(true, 0.0f);  // no stage yet: nothing
    CSStageManager stage;
    g_pStageManager = &stage;
    SetStageFog(true, 0.0f);  // a stage without weather: nothing
    stage.weather = &weather;
    SetStageFog(true, 0.0f);
    SetStageFogColour(300, 20, -4, 255);
    SetStageFogDistance(75.0f);
    SetStageFogDistance(-1.0f);  // refused
    EXPECT_TRUE(weather.IsFogOn());
    EXPECT_EQ(weather.FogColour().red, 255);
    EXPECT_EQ(weather.FogColour().green, 20);
    EXPECT_EQ(weather.FogColour().blue, 0);
    EXPECT_EQ(weather.FogDistance(), 75.0f);
    stage.weather = nullptr;  // the test's own
}

TEST_F(Weather, RainStatesStartTheirSystemsAndTheLevelFades)
{
    AddRainTemplates();
    weather.LoadRainSystems(&particles);
    for (int k = 0; k < kRainKinds; ++k) {
        ASSERT_NE(weather.RainSystem(k), nullptr);
        EXPECT_FALSE(weather.RainSystem(k)->IsAlive());
    }
    weather.SetRainState(2);
    EXPECT_TRUE(weather.RainSystem(0)->IsEmitting());
    EXPECT_TRUE(weather.RainSystem(1)->IsEmitting());
    EXPECT_FALSE(weather.RainSystem(2)->IsEmitting());
    EXPECT_TRUE(weather.IsFogOn());
    EXPECT_FALSE(weather.IsRainDrawn());  // no rain texture loaded
    for (int i = 0; i < 250; ++i) {
        weather.Update(0.02f, nullptr);  // the 5-second fade
    }
    EXPECT_NEAR(weather.RainLevel(), 2.0f / 3.0f, 1e-4f);
    weather.EnableRain(false);
    weather.Update(2.5f, nullptr);
    EXPECT_NEAR(weather.RainLevel(), 2.0f / 3.0f - 0.5f, 1e-4f);
    // The rain falls around the viewer: its systems follow the camera and
    // start well above it, out of sight.
    RwCamera *camera = fxtest::MakeCamera(8, 8, {30.0f, 5.0f, -40.0f});
    weather.Update(0.02f, camera);
    for (int k = 0; k < kRainKinds; ++k) {
        const RwV3d at = weather.RainSystem(k)->WorldMatrix().pos;
        EXPECT_EQ(at.x, 30.0f) << k;
        EXPECT_EQ(at.z, -40.0f) << k;
        EXPECT_GT(at.y, 5.0f + 100.0f) << k;
    }
    fxtest::DestroyCamera(camera);
    weather.Unload();
    EXPECT_EQ(particles.SystemsOut(), 0);
}

TEST_F(Weather, FogColoursDistantModelsThroughTheDeviceStates)
{
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, 0.0f});
    RpClump *card = mkdata::BuildFxCard("none", 400.0f, {0, 0, 255, 255});
    ASSERT_NE(card, nullptr);
    RwV3d far = {0.0f, 0.0f, 400.0f};
    RwFrameTranslate(RpClumpGetFrame(card), &far, rwCOMBINEREPLACE);
    weather.SetFogColour(255, 0, 0, 255);
    weather.SetFogDistance(10.0f);
    RwRGBA black = {0, 0, 0, 255};
    auto draw = [&](bool fog) {
        weather.SetFog(fog, 0.0f);
        RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        weather.BeginScene(camera);
        RpClumpRender(card);
        weather.EndScene();
        RwCameraEndUpdate(camera);
        return fxtest::PixelAt(camera, 32, 24);
    };
    const RwRGBA plain = draw(false);
    const RwRGBA fogged = draw(true);
    EXPECT_LT(plain.red, 20);
    EXPECT_GT(plain.blue, 200);
    // (500 - 400) / (500 - 10): about a fifth of the model's own colour.
    EXPECT_GT(fogged.red, 180);
    EXPECT_LT(fogged.blue, 80);
    RpClumpDestroy(card);
    fxtest::DestroyCamera(camera);
}

TEST_F(Weather, TheGridDrawsTheSceneThroughATextureAndWobbles)
{
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, 0.0f});
    CSScreenGrid grid;
    RwV2d corner;
    grid.CornerAt(8, 6, 64.0f, 48.0f, &corner);
    EXPECT_EQ(corner.x, 32.0f);  // still: no displacement
    grid.Start(1000.0f);
    grid.Update(0.5f);
    EXPECT_NEAR(grid.Progress(), 0.5f, 1e-5f);
    grid.CornerAt(8, 6, 64.0f, 48.0f, &corner);
    EXPECT_NE(corner.x, 32.0f);
    grid.CornerAt(0, 6, 64.0f, 48.0f, &corner);
    EXPECT_EQ(corner.x, 0.0f);  // the edges stay put
    // Half-way the inner corners are up to 0.96 pixels out, on a wave down
    // the rows across and a wave along the columns up and down: corner
    // (5, 3), at (20, 12) when still, is drawn here.
    grid.CornerAt(5, 3, 64.0f, 48.0f, &corner);
    EXPECT_NEAR(corner.x, 19.4713f, 1e-3f);
    EXPECT_NEAR(corner.y, 12.4210f, 1e-3f);
    // A scene that fills the frame green comes through the grid green.
    RwRGBA black = {0, 0, 0, 255};
    RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    RwCameraBeginUpdate(camera);
    const bool ok = grid.Render(
        camera,
        [](void *) {
            RwIm2DVertex v[4] = {{0, 0, RwIm2DScreenZNear(), 1, 0xFF00FF00u, 0, 0},
                                 {64, 0, RwIm2DScreenZNear(), 1, 0xFF00FF00u, 0, 0},
                                 {0, 48, RwIm2DScreenZNear(), 1, 0xFF00FF00u, 0, 0},
                                 {64, 48, RwIm2DScreenZNear(), 1, 0xFF00FF00u, 0, 0}};
            RwImVertexIndex i[6] = {0, 2, 1, 1, 2, 3};
            RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
            RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, v, 4, i, 6);
        },
        nullptr);
    RwCameraEndUpdate(camera);
    EXPECT_TRUE(ok);
    const RwRGBA centre = fxtest::PixelAt(camera, 32, 24);
    EXPECT_GT(centre.green, 200);
    EXPECT_LT(centre.red, 30);
    grid.Update(0.6f);
    EXPECT_FALSE(grid.IsActive());
    grid.Release();
    fxtest::DestroyCamera(camera);
}

// A scene of green and red cells in turn over the whole 64 x 48 frame:
// columns 4 pixels wide (cells the frame's height), or squares of 4.
constexpr RwInt32 kColumnsWidth = 64;
constexpr RwInt32 kColumnsHeight = 48;
constexpr int kColumn = 4;

struct Cells {
    int height;
};
constexpr Cells kColumns = {kColumnsHeight};
constexpr Cells kChecks = {kColumn};

void DrawCells(void *context)
{
    const int height = static_cast<const Cells *>(context)->height;
    std::vector<RwIm2DVertex> v;
    std::vector<RwImVertexIndex> index;
    for (int y = 0; y < kColumnsHeight / height; ++y) {
        for (int x = 0; x < kColumnsWidth / kColumn; ++x) {
            const RwUInt32 colour = (x + y) % 2 == 0 ? 0xFF00FF00u : 0xFFFF0000u;
            const auto first = static_cast<RwImVertexIndex>(v.size());
            const float left = static_cast<float>(x * kColumn);
            const float right = left + static_cast<float>(kColumn);
            const float top = static_cast<float>(y * height);
            const float bottom = top + static_cast<float>(height);
            for (const auto &[cx, cy] : {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}}) {
                v.push_back({cx, cy, RwIm2DScreenZNear(), 1, colour, 0, 0});
            }
            for (int k : {0, 2, 1, 1, 2, 3}) {
                index.push_back(static_cast<RwImVertexIndex>(first + k));
            }
        }
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, v.data(), static_cast<RwInt32>(v.size()), index.data(),
                               static_cast<RwInt32>(index.size()));
}

// The cells drawn into the frame through `grid` (plainly when null), as
// 0xFFRRGGBB words.
std::vector<uint32_t> CellsFrame(RwCamera *camera, CSScreenGrid *through, const Cells &cells = kColumns)
{
    RwRGBA black = {0, 0, 0, 255};
    RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    RwCameraBeginUpdate(camera);
    void *context = const_cast<Cells *>(&cells);
    if (through != nullptr) {
        through->Render(camera, DrawCells, context);
    } else {
        DrawCells(context);
    }
    RwCameraEndUpdate(camera);
    return fxtest::Picture(camera, kColumnsWidth, kColumnsHeight);
}

int32_t Green(uint32_t pixel) { return static_cast<int32_t>((pixel >> 8) & 0xFFu); }
int32_t Red(uint32_t pixel) { return static_cast<int32_t>((pixel >> 16) & 0xFFu); }

// How far the frame drawn through `grid` is from the columns drawn
// plainly: the red and green differences summed over its pixels.
int64_t ChangeFromThePlainColumns(RwCamera *camera, CSScreenGrid *grid)
{
    const std::vector<uint32_t> plain = CellsFrame(camera, nullptr);
    const std::vector<uint32_t> seen = CellsFrame(camera, grid);
    int64_t change = 0;
    for (size_t i = 0; i < plain.size() && i < seen.size(); ++i) {
        change += std::abs(Green(plain[i]) - Green(seen[i])) + std::abs(Red(plain[i]) - Red(seen[i]));
    }
    return change;
}

TEST_F(Weather, TheGridWobblesMoreAsTheTransitionGoesOnAndItsEndShowsTheScenePlainly)
{
    RwCamera *camera = fxtest::MakeCamera(kColumnsWidth, kColumnsHeight, {0.0f, 0.0f, 0.0f});
    CSScreenGrid grid;
    EXPECT_EQ(ChangeFromThePlainColumns(camera, &grid), 0);  // not started: the scene as it is
    grid.Start(1000.0f);
    grid.Update(0.1f);
    const int64_t early = ChangeFromThePlainColumns(camera, &grid);
    grid.Update(0.8f);
    const int64_t late = ChangeFromThePlainColumns(camera, &grid);
    // Drawn through the texture; the inner corners move up to 3% of the
    // width times the progress, a fifth of a pixel early and two late.
    EXPECT_GT(early, 0);
    EXPECT_GT(late, early * 2) << early;
    // However far the corners wobble, the screen's edges stay put: no pixel
    // of the frame is left without the scene (a black gap at a border).
    const std::vector<uint32_t> wobbled = CellsFrame(camera, &grid);
    const auto hole = [](uint32_t pixel) { return Green(pixel) < 40 && Red(pixel) < 40; };
    EXPECT_EQ(std::count_if(wobbled.begin(), wobbled.end(), hole), 0);
    grid.Update(0.1f);
    EXPECT_FALSE(grid.IsActive());
    EXPECT_EQ(ChangeFromThePlainColumns(camera, &grid), 0);
    grid.Release();
    fxtest::DestroyCamera(camera);
}

// Before its corners move the grid shows the scene exactly: through the
// texture every pixel keeps its own colour, and no edge between two cells,
// across or down, is softened into a blend of both.
TEST_F(Weather, AnUnmovedGridShowsTheScenePixelForPixel)
{
    RwCamera *camera = fxtest::MakeCamera(kColumnsWidth, kColumnsHeight, {0.0f, 0.0f, 0.0f});
    CSScreenGrid grid;
    grid.Start(1000.0f);
    ASSERT_TRUE(grid.IsActive());
    const std::vector<uint32_t> plain = CellsFrame(camera, nullptr, kChecks);
    const std::vector<uint32_t> seen = CellsFrame(camera, &grid, kChecks);
    ASSERT_EQ(seen.size(), plain.size());
    int32_t differing = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        differing += seen[i] != plain[i] ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    grid.Release();
    fxtest::DestroyCamera(camera);
}

// A stage change whose transition takes no time has no grid to show: the
// frame it is asked in shows the scene as it is, not through the texture.
TEST_F(Weather, AGridOverNoTimeLeavesTheSceneAsItIs)
{
    RwCamera *camera = fxtest::MakeCamera(kColumnsWidth, kColumnsHeight, {0.0f, 0.0f, 0.0f});
    CSScreenGrid grid;
    grid.Start(0.0f);
    EXPECT_FALSE(grid.IsActive());
    EXPECT_EQ(ChangeFromThePlainColumns(camera, &grid), 0);
    grid.Release();
    fxtest::DestroyCamera(camera);
}

// A camera with no picture of its own gives the grid nothing to copy: the
// scene is drawn once, straight, and the grid says it was not shown.
TEST_F(Weather, WithoutACameraPictureTheSceneIsDrawnStraight)
{
    RwCamera *camera = RwCameraCreate();
    CSScreenGrid grid;
    grid.Start(1000.0f);
    int drawn = 0;
    EXPECT_FALSE(grid.Render(camera, [](void *count) { ++*static_cast<int *>(count); }, &drawn));
    EXPECT_EQ(drawn, 1);
    // Stopped part-way, the transition stays where it stopped.
    grid.Update(0.25f);
    grid.Stop();
    grid.Update(0.5f);
    EXPECT_FALSE(grid.IsActive());
    EXPECT_NEAR(grid.Progress(), 0.25f, 1e-5f);
    grid.Release();
    RwCameraDestroy(camera);
}

}  // namespace

}  // namespace weather_test
