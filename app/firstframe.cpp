// The first frame's scene: the first stage and the 2D layer over it.
#include "app/firstframe.h"


namespace game {

namespace {

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

std::array<QuadPlacement, 2> FirstFrameQuads(uint32_t width, uint32_t height)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return {{{w / 8.0f, h / 6.0f, w * 3.0f / 8.0f, h / 2.0f, {220, 40, 40, 255}},
             {w / 2.0f, h / 2.0f, w * 7.0f / 8.0f, h * 5.0f / 6.0f, {40, 200, 60, 255}}}};
}

RwRGBA FirstFrameClearColor() { return {24, 40, 88, 255}; }

QuadPlacement FirstFrameSignQuad(uint32_t width, uint32_t height)
{
    const float x0 = static_cast<float>(width * 9 / 16);
    const float y0 = static_cast<float>(height / 24);
    const float size = 16.0f * kSignPixelsPerTexel;
    return {x0, y0, x0 + size, y0 + size, {255, 255, 255, 255}};
}

void DrawFirstFrameScene(const StageScene &stage, RwCamera *camera)
{
    const bool loaded = StageSceneLoaded(stage);
    if (loaded) {
        StageSceneRender(stage);
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
    const RwRaster *raster = RwCameraGetRaster(camera);
    const auto width = static_cast<uint32_t>(raster->width);
    const auto height = static_cast<uint32_t>(raster->height);
    for (const QuadPlacement &quad : FirstFrameQuads(width, height)) {
        DrawQuad(quad, camera);
    }
    if (loaded) {
        // A sign whose picture is missing is drawn untextured.
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, stage.sign != nullptr ? RwTextureGetRaster(stage.sign) : nullptr);
        RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(rwFILTERNEAREST));
        RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
        DrawQuad(FirstFrameSignQuad(width, height), camera);
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    }
}

}  // namespace game
