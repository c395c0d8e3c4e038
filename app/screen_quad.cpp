// Placing and drawing 2D quads.
#include "app/screen_quad.h"

#include <iterator>
#include <vector>

#include "app/screen_coords.h"

namespace game {

namespace {

constexpr size_t kCornersPerQuad = sizeof(ScreenQuad::corners) / sizeof(RwIm2DVertex);
// The engine's 2D index buffer holds 10000 indices.
constexpr size_t kQuadsPerCall = 10000 / std::size(kQuadIndices);

}  // namespace

void SetScreenQuad(ScreenQuad *quad, float x0, float y0, float x1, float y1, float s0, float t0, float s1,
                   float t1, uint32_t argb)
{
    const RwCamera *camera = RwCameraGetCurrentCamera();
    const RwReal rhw = camera != nullptr ? 1.0f / RwCameraGetNearClipPlane(camera) : 1.0f;
    const float xs[2] = {x0, x1};
    const float ys[2] = {y0, y1};
    const float ss[2] = {s0, s1};
    const float ts[2] = {t0, t1};
    for (int corner = 0; corner < 4; ++corner) {
        RwIm2DVertex &v = quad->corners[corner];
        SetScreenX(&v, xs[corner / 2]);
        SetScreenY(&v, ys[corner % 2]);
        v.x -= 0.5f;
        v.y -= 0.5f;
        v.z = RwIm2DScreenZNear();
        v.rhw = rhw;
        v.emissiveColor = argb;
        v.u = ss[corner / 2];
        v.v = ts[corner % 2];
    }
}

void DrawScreenQuads(const ScreenQuad *quads, size_t count, RwRaster *raster)
{
    if (count == 0) {
        return;
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    // The 2D layer faces the screen whatever the scene under it left culled.
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
    // At most 1666 quads a call, the index buffer's worth.
    for (size_t first = 0; first < count; first += kQuadsPerCall) {
        const size_t n = count - first < kQuadsPerCall ? count - first : kQuadsPerCall;
        std::vector<RwImVertexIndex> indices;
        indices.reserve(n * std::size(kQuadIndices));
        for (size_t q = 0; q < n; ++q) {
            for (RwImVertexIndex i : kQuadIndices) {
                indices.push_back(static_cast<RwImVertexIndex>(q * kCornersPerQuad + i));
            }
        }
        RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, const_cast<RwIm2DVertex *>(quads[first].corners),
                                   static_cast<RwInt32>(n * kCornersPerQuad), indices.data(),
                                   static_cast<RwInt32>(indices.size()));
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
}

}  // namespace game
