// Placing and drawing the interface's quads (see ui_quad.h).
#include "ui/ui_quad.h"

#include "app/screen_coords.h"

RwImVertexIndex g_uiQuadIndices[6] = {0, 2, 1, 1, 2, 3};

namespace {

constexpr float kVirtualRight = 640.0f;
constexpr float kVirtualBottom = 480.0f;

int CornersWritten(int count) { return count == 3 || count == 4 ? count : 0; }

void SetState(RwRenderState state, uintptr_t value)
{
    RwSetRenderState(state, reinterpret_cast<void *>(value));
}

}  // namespace

void SetQuadPositions(RwIm2DVertex *v, float x0, float y0, float x1, float y1, int count)
{
    const float xs[4] = {x0, x1, x0, x1};
    const float ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < CornersWritten(count); ++i) {
        SetScreenX(&v[i], xs[i]);
        SetScreenY(&v[i], ys[i]);
        v[i].z = 0.0f;
        v[i].rhw = kUIVertexRecipZ;
    }
}

void SetQuadUVs(RwIm2DVertex *v, float s0, float t0, float s1, float t1, int count)
{
    const float ss[4] = {s0, s1, s0, s1};
    const float ts[4] = {t0, t0, t1, t1};
    for (int i = 0; i < CornersWritten(count); ++i) {
        v[i].u = ss[i];
        v[i].v = ts[i];
    }
}

void SetQuadUVsRotated(RwIm2DVertex *v, float s0, float t0, float s1, float t1, int count)
{
    const float ss[4] = {s0, s0, s1, s1};
    const float ts[4] = {t1, t0, t1, t0};
    for (int i = 0; i < CornersWritten(count); ++i) {
        v[i].u = ss[i];
        v[i].v = ts[i];
    }
}

void SetQuadColour(RwIm2DVertex *v, uint8_t a, uint8_t r, uint8_t g, uint8_t b, int count)
{
    SetQuadArgb(v, static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b,
                count);
}

void SetQuadArgb(RwIm2DVertex *v, uint32_t argb, int count)
{
    for (int i = 0; i < CornersWritten(count); ++i) {
        v[i].emissiveColor = argb;
    }
}

void SetQuadAlpha(RwIm2DVertex *v, uint8_t alpha)
{
    for (int i = 0; i < 4; ++i) {
        v[i].emissiveColor = (v[i].emissiveColor & 0x00FFFFFFu) | static_cast<uint32_t>(alpha) << 24;
    }
}

RwRaster *GetTextureRaster(const RwTexture *texture)
{
    return texture != nullptr ? RwTextureGetRaster(texture) : nullptr;
}

void DrawUIQuad(const RwIm2DVertex *v, RwRaster *raster)
{
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    DrawUIQuadKeepRaster(v);
}

void DrawUIQuadKeepRaster(const RwIm2DVertex *v)
{
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, const_cast<RwIm2DVertex *>(v), 4, g_uiQuadIndices, 6);
}

bool ClipUIQuad(const RwIm2DVertex *v, UIQuad *clipped)
{
    for (int i = 0; i < 4; ++i) {
        clipped->v[i] = v[i];
    }
    float x0 = GetVirtualX(&v[0]);
    float y0 = GetVirtualY(&v[0]);
    float x1 = GetVirtualX(&v[3]);
    float y1 = GetVirtualY(&v[3]);
    float s0 = v[0].u;
    float t0 = v[0].v;
    float s1 = v[3].u;
    float t1 = v[3].v;
    if (!(x0 <= kVirtualRight && y0 <= kVirtualBottom && x1 >= 0.0f && y1 >= 0.0f)) {
        return false;
    }
    if (x0 < 0.0f) {
        s0 = s0 + (s1 - s0) * (-x0) / (x1 - x0);
        x0 = 0.0f;
    }
    if (y0 < 0.0f) {
        t0 = t0 + (t1 - t0) * (-y0) / (y1 - y0);
        y0 = 0.0f;
    }
    if (x1 > kVirtualRight) {
        s1 = s1 - (s1 - s0) * (x1 - kVirtualRight) / (x1 - x0);
        x1 = kVirtualRight;
    }
    if (y1 > kVirtualBottom) {
        t1 = t1 - (t1 - t0) * (y1 - kVirtualBottom) / (y1 - y0);
        y1 = kVirtualBottom;
    }
    SetQuadPositions(clipped->v, x0, y0, x1, y1);
    SetQuadUVs(clipped->v, s0, t0, s1, t1);
    return true;
}

void DrawClippedQuad(const RwIm2DVertex *v)
{
    UIQuad clipped;
    if (ClipUIQuad(v, &clipped)) {
        DrawUIQuadKeepRaster(clipped.v);
    }
}

void SetInterfaceRenderStates()
{
    SetState(rwRENDERSTATESHADEMODE, rwSHADEMODEGOURAUD);
    SetState(rwRENDERSTATEVERTEXALPHAENABLE, 1);
    SetDepthTestAndWrite(false);
    SetState(rwRENDERSTATESRCBLEND, rwBLENDSRCALPHA);
    SetState(rwRENDERSTATEDESTBLEND, rwBLENDINVSRCALPHA);
    SetState(rwRENDERSTATETEXTUREFILTER, rwFILTERLINEAR);
    SetState(rwRENDERSTATETEXTUREADDRESS, rwTEXTUREADDRESSCLAMP);
}

void SetDepthTestAndWrite(bool on)
{
    SetState(rwRENDERSTATEZTESTENABLE, on ? 1 : 0);
    SetState(rwRENDERSTATEZWRITEENABLE, on ? 1 : 0);
}

void UIPicture::Place() const
{
    if (vertices == nullptr) {
        return;
    }
    SetQuadPositions(vertices, left, top, right, bottom);
    SetQuadUVs(vertices, s0, t0, s1, t1);
}

void UIPicture::Draw() const
{
    if (vertices != nullptr) {
        DrawUIQuad(vertices, GetTextureRaster(texture));
    }
}

void OwnedPicture::Set(RwTexture *texture, float s0, float t0, float s1, float t1, float x0, float y0, float x1,
                       float y1, uint32_t argb)
{
    SetUV(texture, s0 / 512.0f, t0 / 512.0f, s1 / 512.0f, t1 / 512.0f, x0, y0, x1, y1, argb);
}

void OwnedPicture::SetUV(RwTexture *texture, float s0, float t0, float s1, float t1, float x0, float y0, float x1,
                         float y1, uint32_t argb)
{
    picture.vertices = quad.v;
    picture.texture = texture;
    picture.s0 = s0;
    picture.t0 = t0;
    picture.s1 = s1;
    picture.t1 = t1;
    picture.left = x0;
    picture.top = y0;
    picture.right = x1;
    picture.bottom = y1;
    picture.Place();
    SetQuadArgb(quad.v, argb);
}
