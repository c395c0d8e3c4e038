// The movie frame: upload of a decoded picture into its raster and the two quads that
// show it (a black backdrop for the bars, the picture over it).
#include "app/movie_frame.h"

#include <algorithm>

#include "movie/movie.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"

namespace game {

namespace {

constexpr float kScreenWidth = 640.0f;
constexpr float kScreenHeight = 480.0f;

void DrawRect(RwCamera *camera, float x0, float y0, float x1, float y1, RwUInt32 colour)
{
    const RwReal z = RwIm2DScreenZNear();
    const RwReal rhw = 1.0f / RwCameraGetNearClipPlane(camera);
    // Texels are sampled at their centres: the half-pixel shift puts texel edges on
    // pixel edges, so a picture at twice its size doubles every texel exactly.
    x0 -= 0.5f;
    y0 -= 0.5f;
    x1 -= 0.5f;
    y1 -= 0.5f;
    RwIm2DVertex vertices[4] = {
        {x0, y0, z, rhw, colour, 0.0f, 0.0f},
        {x1, y0, z, rhw, colour, 1.0f, 0.0f},
        {x0, y1, z, rhw, colour, 0.0f, 1.0f},
        {x1, y1, z, rhw, colour, 1.0f, 1.0f},
    };
    RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, vertices, 4, indices, 6);
}

}  // namespace

MovieRect FitMovie(uint32_t videoWidth, uint32_t videoHeight)
{
    if (videoWidth == 0 || videoHeight == 0) {
        return {0.0f, 0.0f, kScreenWidth, kScreenHeight};
    }
    const float scale = std::min(kScreenWidth / static_cast<float>(videoWidth),
                                 kScreenHeight / static_cast<float>(videoHeight));
    const float width = static_cast<float>(videoWidth) * scale;
    const float height = static_cast<float>(videoHeight) * scale;
    const float x0 = (kScreenWidth - width) * 0.5f;
    const float y0 = (kScreenHeight - height) * 0.5f;
    return {x0, y0, x0 + width, y0 + height};
}

RwRaster *CreateMovieRaster(uint32_t width, uint32_t height)
{
    return RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 32,
                          rwRASTERTYPETEXTURE | rwRASTERFORMAT888);
}

bool UploadMovieFrame(mov::Player *player, RwRaster *raster)
{
    if (raster == nullptr || static_cast<uint32_t>(RwRasterGetWidth(raster)) != player->Width() ||
        static_cast<uint32_t>(RwRasterGetHeight(raster)) != player->Height()) {
        return false;
    }
    RwUInt8 *pixels = RwRasterLock(raster, 0, rwRASTERLOCKWRITE | rwRASTERLOCKNOFETCH);
    if (pixels == nullptr) {
        return false;
    }
    const bool changed =
        player->TakeFrame(reinterpret_cast<uint32_t *>(pixels), static_cast<size_t>(RwRasterGetStride(raster)));
    RwRasterUnlock(raster);
    return changed;
}

void DrawMovieFrame(RwCamera *camera, RwRaster *raster)
{
    const RwRaster *target = RwCameraGetRaster(camera);
    const float sx = static_cast<float>(target->width) / kScreenWidth;
    const float sy = static_cast<float>(target->height) / kScreenHeight;
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    DrawRect(camera, 0.0f, 0.0f, static_cast<float>(target->width), static_cast<float>(target->height), 0xFF000000u);
    if (raster != nullptr) {
        const MovieRect rect = FitMovie(static_cast<uint32_t>(raster->width), static_cast<uint32_t>(raster->height));
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
        RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(rwFILTERLINEAR));
        RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
        DrawRect(camera, rect.x0 * sx, rect.y0 * sy, rect.x1 * sx, rect.y1 * sy, 0xFFFFFFFFu);
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    }
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

}  // namespace game
