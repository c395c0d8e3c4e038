// Engine start-up, the per-tick frame and shut-down for the game's window.
#include "app/firstframe.h"

#include "win/winuser.h"

namespace game {

namespace {

bool CreateCamera(HWND window, Engine *engine)
{
    RECT client{};
    GetClientRect(window, &client);
    RwInt32 width = client.right - client.left;
    RwInt32 height = client.bottom - client.top;
    if ((engine->mode.flags & rwVIDEOMODEEXCLUSIVE) != 0) {
        width = static_cast<RwInt32>(engine->mode.width);
        height = static_cast<RwInt32>(engine->mode.height);
    }
    engine->camera = RwCameraCreate();
    engine->cameraFrame = RwFrameCreate();
    if (engine->camera == nullptr || engine->cameraFrame == nullptr) {
        return false;
    }
    RwCameraSetFrame(engine->camera, engine->cameraFrame);
    RwCameraSetRaster(engine->camera, RwRasterCreate(width, height, 0, rwRASTERTYPECAMERA));
    RwCameraSetZRaster(engine->camera, RwRasterCreate(width, height, 0, rwRASTERTYPEZBUFFER));
    if (RwCameraGetRaster(engine->camera) == nullptr || RwCameraGetZRaster(engine->camera) == nullptr) {
        return false;
    }
    const RwV2d viewWindow = {0.5f, 0.5f * static_cast<RwReal>(height) / static_cast<RwReal>(width)};
    RwCameraSetViewWindow(engine->camera, &viewWindow);
    RwCameraSetNearClip(engine->camera, 0.1f);
    RwCameraSetFarClip(engine->camera, 1000.0f);
    return true;
}

void DestroyCamera(Engine *engine)
{
    if (engine->camera != nullptr) {
        if (RwCameraGetZRaster(engine->camera) != nullptr) {
            RwRasterDestroy(RwCameraGetZRaster(engine->camera));
        }
        if (RwCameraGetRaster(engine->camera) != nullptr) {
            RwRasterDestroy(RwCameraGetRaster(engine->camera));
        }
        RwCameraSetFrame(engine->camera, nullptr);
        RwCameraDestroy(engine->camera);
        engine->camera = nullptr;
    }
    if (engine->cameraFrame != nullptr) {
        RwFrameDestroy(engine->cameraFrame);
        engine->cameraFrame = nullptr;
    }
}

RwUInt32 Packed(const RwRGBA &color)
{
    return (RwUInt32{color.alpha} << 24) | (RwUInt32{color.red} << 16) | (RwUInt32{color.green} << 8) | color.blue;
}

// A UI quad: four corners drawn as two triangles, indices 0, 2, 1, 1, 2, 3;
// the texture raster render state says whether its corners' u, v count.
void DrawQuad(const QuadPlacement &quad, const RwCamera *camera)
{
    const RwReal z = RwIm2DScreenZNear();
    const RwReal rhw = 1.0f / RwCameraGetNearClipPlane(camera);
    const RwUInt32 color = Packed(quad.color);
    RwIm2DVertex vertices[4] = {
        {quad.x0, quad.y0, z, rhw, color, 0.0f, 0.0f},
        {quad.x0, quad.y1, z, rhw, color, 0.0f, 1.0f},
        {quad.x1, quad.y0, z, rhw, color, 1.0f, 0.0f},
        {quad.x1, quad.y1, z, rhw, color, 1.0f, 1.0f},
    };
    RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, vertices, 4, indices, 6);
}

}  // namespace

QuadPlacement FirstFrameQuad(int index, uint32_t width, uint32_t height)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if (index == 0) {
        return {w / 8.0f, h / 6.0f, w * 3.0f / 8.0f, h / 2.0f, {220, 40, 40, 255}};
    }
    return {w / 2.0f, h / 2.0f, w * 7.0f / 8.0f, h * 5.0f / 6.0f, {40, 200, 60, 255}};
}

RwRGBA FirstFrameClearColor() { return {24, 40, 88, 255}; }

QuadPlacement FirstFrameSignQuad(uint32_t width, uint32_t height)
{
    const float x0 = static_cast<float>(width * 9 / 16);
    const float y0 = static_cast<float>(height / 24);
    const float size = 16.0f * kSignPixelsPerTexel;
    return {x0, y0, x0 + size, y0 + size, {255, 255, 255, 255}};
}

bool FirstFrameCreate(HWND window, const RwVideoModeInfo &mode, Engine *engine)
{
    *engine = Engine{};
    engine->window = window;
    engine->mode = mode;
    if (!CreateCamera(window, engine)) {
        DestroyCamera(engine);
        return false;
    }
    // Without the stage in the data tree the plain first frame is shown.
    StageSceneLoad(&engine->stage, engine->camera);
    return true;
}

void FirstFrameDestroy(Engine *engine)
{
    StageSceneUnload(&engine->stage);
    DestroyCamera(engine);
}

bool DrawFrame(Engine *engine, uint64_t clockMs)
{
    RwCamera *camera = engine->camera;
    const bool stage = StageSceneLoaded(engine->stage);
    if (stage) {
        StageCameraPlace(camera, clockMs);
    }
    RwRGBA clear = FirstFrameClearColor();
    RwCameraClear(camera, &clear, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    if (RwCameraBeginUpdate(camera) == nullptr) {
        return false;
    }
    if (stage) {
        StageSceneRender(engine->stage);
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(0));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(0));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(0));
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
    const RwRaster *raster = RwCameraGetRaster(camera);
    const auto width = static_cast<uint32_t>(raster->width);
    const auto height = static_cast<uint32_t>(raster->height);
    for (int i = 0; i < 2; ++i) {
        DrawQuad(FirstFrameQuad(i, width, height), camera);
    }
    if (stage) {
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, RwTextureGetRaster(engine->stage.sign));
        RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(rwFILTERNEAREST));
        RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
        DrawQuad(FirstFrameSignQuad(width, height), camera);
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    }
    RwCameraEndUpdate(camera);
    return true;
}

bool ShowFrame(Engine *engine) { return RwCameraShowRaster(engine->camera, engine->window, 0) != nullptr; }

}  // namespace game
