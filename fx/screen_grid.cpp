// The screen-grid distortion (see screen_grid.h).
#include "fx/screen_grid.h"

#include <algorithm>
#include <cmath>
#include <vector>

void CSScreenGrid::Start(float ms)
{
    active_ = ms > 0.0f;
    durationMs_ = ms;
    elapsedMs_ = 0.0f;
}

float CSScreenGrid::Progress() const
{
    return durationMs_ > 0.0f ? std::clamp(elapsedMs_ / durationMs_, 0.0f, 1.0f) : 0.0f;
}

void CSScreenGrid::Update(float dt)
{
    if (!active_) {
        return;
    }
    elapsedMs_ += dt * 1000.0f;
    if (elapsedMs_ >= durationMs_) {
        active_ = false;
    }
}

float CSScreenGrid::Amplitude(float width) const { return active_ ? width * 0.03f * Progress() : 0.0f; }

void CSScreenGrid::CornerAt(int32_t column, int32_t row, float width, float height, RwV2d *out) const
{
    const float x = width * static_cast<float>(column) / kGridColumns;
    const float y = height * static_cast<float>(row) / kGridRows;
    // The screen's edges stay put; inner corners wobble on two waves.
    const bool edge = column == 0 || row == 0 || column == kGridColumns || row == kGridRows;
    const float a = edge ? 0.0f : Amplitude(width);
    const float phase = elapsedMs_ * 0.006f;
    out->x = x + a * std::sin(phase + static_cast<float>(row) * 0.9f);
    out->y = y + a * std::cos(phase * 1.3f + static_cast<float>(column) * 0.7f);
}

bool CSScreenGrid::EnsureTarget(RwCamera *camera)
{
    RwRaster *frame = RwCameraGetRaster(camera);
    if (frame == nullptr) {
        return false;
    }
    if (target_ != nullptr && (target_->width != frame->width || target_->height != frame->height)) {
        Release();
    }
    if (target_ == nullptr) {
        target_ = RwRasterCreate(frame->width, frame->height, 0, rwRASTERTYPECAMERATEXTURE);
        targetZ_ = RwRasterCreate(frame->width, frame->height, 0, rwRASTERTYPEZBUFFER);
    }
    if (target_ == nullptr || targetZ_ == nullptr) {
        Release();
        return false;
    }
    return true;
}

bool CSScreenGrid::Render(RwCamera *camera, void (*drawScene)(void *), void *context)
{
    if (!active_) {
        drawScene(context);
        return true;
    }
    if (!EnsureTarget(camera)) {
        drawScene(context);
        return false;
    }
    RwRaster *frame = RwCameraGetRaster(camera);
    RwRaster *z = camera->zBuffer;
    RwCameraEndUpdate(camera);
    RwCameraSetRaster(camera, target_);
    RwCameraSetZRaster(camera, targetZ_);
    RwRGBA black = {0, 0, 0, 255};
    RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    if (RwCameraBeginUpdate(camera) != nullptr) {
        drawScene(context);
        RwCameraEndUpdate(camera);
    }
    RwCameraSetRaster(camera, frame);
    RwCameraSetZRaster(camera, z);
    RwCameraBeginUpdate(camera);
    DrawGrid(static_cast<RwReal>(frame->width), static_cast<RwReal>(frame->height));
    return true;
}

void CSScreenGrid::DrawGrid(RwReal width, RwReal height) const
{
    std::vector<RwIm2DVertex> vertices;
    vertices.reserve((kGridColumns + 1) * (kGridRows + 1));
    const float z = RwIm2DScreenZNear();
    // Pixel centres lie on whole screen coordinates and texel centres half a
    // texel in: the grid is laid half a pixel up and left so that each pixel
    // of an unmoved grid reads its own texel, not a blend of two.
    constexpr float kTexelCentre = 0.5f;
    for (int32_t row = 0; row <= kGridRows; ++row) {
        for (int32_t column = 0; column <= kGridColumns; ++column) {
            RwV2d at;
            CornerAt(column, row, width, height, &at);
            vertices.push_back({at.x - kTexelCentre, at.y - kTexelCentre, z, 1.0f, 0xFFFFFFFFu,
                                static_cast<float>(column) / kGridColumns, static_cast<float>(row) / kGridRows});
        }
    }
    std::vector<RwImVertexIndex> indices;
    indices.reserve(kGridColumns * kGridRows * 6);
    for (int32_t row = 0; row < kGridRows; ++row) {
        for (int32_t column = 0; column < kGridColumns; ++column) {
            const auto i = static_cast<RwImVertexIndex>(row * (kGridColumns + 1) + column);
            const auto below = static_cast<RwImVertexIndex>(i + kGridColumns + 1);
            for (RwImVertexIndex k : {i, below, static_cast<RwImVertexIndex>(i + 1), static_cast<RwImVertexIndex>(i + 1),
                                      below, static_cast<RwImVertexIndex>(below + 1)}) {
                indices.push_back(k);
            }
        }
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, target_);
    RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
    RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(rwFILTERLINEAR));
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, vertices.data(), static_cast<RwInt32>(vertices.size()),
                               indices.data(), static_cast<RwInt32>(indices.size()));
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

void CSScreenGrid::Release()
{
    if (target_ != nullptr) {
        RwRasterDestroy(target_);
    }
    if (targetZ_ != nullptr) {
        RwRasterDestroy(targetZ_);
    }
    target_ = nullptr;
    targetZ_ = nullptr;
}
