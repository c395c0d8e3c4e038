// The tank's Direct3D 8 callbacks: the platform create (geometry, material,
// point-sprite decision, writer choice), the instancing that runs the
// chosen routines, and the render that draws the locked vertices as
// indexed quads or as point sprites.
#include <cstring>

#include "plugin/ptank/ptank.h"
#include "rpd3d8pipe.h"
#include "rpworld.h"
#include "rwd3d8.h"
#include "rwrenderstate.h"

namespace {

// Data flags a point cannot show (matrices, rotations, vertex colours,
// corner texture coordinates and every constant but the two-corner pair).
constexpr RwUInt32 kNotForPoints = 0xCEF7FFE8u;
// Vertices per indexed run: the largest multiple of 4 that 16-bit indices reach.
constexpr RwUInt32 kQuadRunVertices = 65532;
constexpr RwUInt32 kPointRunVertices = 65535;

RwUInt32 FloatBits(RwReal value)
{
    RwUInt32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

RwBool UsePointSprites(RwUInt32 dataFlags, RwUInt32 platFlags)
{
    const RpPTankGlobals *g = RpPTankGetGlobals();
    if (!(platFlags & rpPTANKD3D8FLAGSUSEPOINTSPRITES) || !(g->maxPointSize > 1.0f) || (dataFlags & kNotForPoints)) {
        return FALSE;
    }
    return !(dataFlags & rpPTANKDFLAGSIZE) || g->pointSizePerVertex;
}

RwUInt32 GeometryFlagsFor(RwUInt32 dataFlags, RwBool points)
{
    RwUInt32 flags = rpGEOMETRYPOSITIONS;
    if (dataFlags & rpPTANKDFLAGNORMAL) {
        flags |= rpGEOMETRYNORMALS | rpGEOMETRYLIGHT | rpGEOMETRYMODULATEMATERIALCOLOR;
    }
    if (dataFlags & (rpPTANKDFLAGCOLOR | rpPTANKDFLAGVTXCOLOR | rpPTANKDFLAGCNSVTXCOLOR)) {
        flags |= rpGEOMETRYPRELIT;
    }
    if (!points) {
        flags |= rpGEOMETRYTEXTURED;
    }
    return flags;
}

void DrawPoints(const RpPTankGlobals *g, const RpPTank *tank, RwUInt32 count)
{
    RwD3D8SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    RwD3D8SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    RwD3D8SetRenderState(D3DRS_POINTSIZE, FloatBits(tank->cSize.x));
    RwD3D8SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(0.0f));
    RwD3D8SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(g->maxPointSize));
    RwD3D8SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
    RwD3D8SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
    RwD3D8SetRenderState(D3DRS_POINTSCALE_C, FloatBits(0.5f));
    RwUInt32 first = g->baseVertex;
    while (count > kPointRunVertices) {
        RwD3D8DrawPrimitive(D3DPT_POINTLIST, first, kPointRunVertices);
        first += kPointRunVertices;
        count -= kPointRunVertices;
    }
    RwD3D8DrawPrimitive(D3DPT_POINTLIST, first, count);
    RwD3D8SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    RwD3D8SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
}

void DrawQuads(const RpPTankGlobals *g, RwUInt32 count)
{
    RwUInt32 base = g->baseVertex;
    RwUInt32 n = count * 4;
    RwD3D8SetIndices(g->quadIndexBuffer, base);
    while (n > kQuadRunVertices) {
        RwD3D8DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, kQuadRunVertices, 0, kQuadRunVertices / 2 * 3);
        n -= kQuadRunVertices;
        base += kQuadRunVertices;
        RwD3D8SetIndices(g->quadIndexBuffer, base);
    }
    RwD3D8DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, n, 0, n / 2 * 3);
}

}  // namespace

RwBool RpPTankD3D8Create(RpAtomic *atomic, RpPTankData *data, RwInt32 maxPCount, RwUInt32 dataFlags,
                         RwUInt32 platFlags)
{
    RpPTank *tank = RpPTankFromData(data);
    const RwBool points = UsePointSprites(dataFlags, platFlags);
    if (!points) {
        tank->platFlags &= ~rpPTANKD3D8FLAGSUSEPOINTSPRITES;
    }
    // Quads draw through the shared index buffer, so a tank of quads needs
    // the device to exist now.
    if (!points && (RwD3D8GetCurrentD3DDevice() == nullptr || !RpPTankGrowQuadIndices(maxPCount))) {
        return FALSE;
    }
    RpGeometry *geometry = RpGeometryCreateSpace(1.0f);
    if (geometry == nullptr) {
        return FALSE;
    }
    geometry->flags = GeometryFlagsFor(dataFlags, points);
    RpMaterial *material = RpMaterialCreate();
    if (material == nullptr) {
        RpGeometryDestroy(geometry);
        return FALSE;
    }
    const RwSurfaceProperties surface = {0.3f, 1.0f, 1.0f};
    RpMaterialSetSurfaceProperties(material, &surface);
    const RwBool added = RpMaterialListAppendMaterial(&geometry->matList, material) >= 0;
    RpMaterialDestroy(material);
    if (!added) {
        RpGeometryDestroy(geometry);
        return FALSE;
    }
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);

    const RpPTankWriterChoice writers = RpPTankChooseWriters(dataFlags, points);
    tank->setup = points ? RpPTankPointSetup : RpPTankQuadSetup;
    tank->positionWriter = writers.position;
    tank->texCoordWriter = writers.texCoords;
    tank->colorWriter = writers.colors;
    tank->normalWriter = writers.normals;
    tank->finish = RpPTankInstanceFinish;
    return TRUE;
}

RwBool RpPTankD3D8Instance(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount, RwUInt32 instFlags)
{
    RpPTank *tank = RpPTankFromData(data);
    RpPTankInstanceContext context;
    std::memset(&context, 0, sizeof context);
    if (tank->setup == nullptr) {
        return FALSE;
    }
    tank->setup(&context, atomic, data, actPCount, instFlags);
    if (tank->positionWriter != nullptr && context.positions.data != nullptr) {
        tank->positionWriter(&context.positions, &context.right, &context.up, actPCount, data);
    }
    if (tank->texCoordWriter != nullptr && context.texCoords.data != nullptr) {
        tank->texCoordWriter(&context.texCoords, actPCount, data);
    }
    if (tank->colorWriter != nullptr && context.colors.data != nullptr) {
        tank->colorWriter(&context.colors, actPCount, data);
    }
    if (tank->normalWriter != nullptr && context.normals.data != nullptr) {
        tank->normalWriter(&context.normals, actPCount, data);
    }
    if (tank->finish != nullptr) {
        tank->finish(&context, atomic, data, actPCount, instFlags);
    }
    return TRUE;
}

RwBool RpPTankD3D8Render(RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount)
{
    const RpPTankGlobals *g = RpPTankGetGlobals();
    const RpPTank *tank = RpPTankFromData(data);
    // Vertices that were never written must never be drawn: the buffer
    // still holds whatever the last user left there.
    if (!g->verticesLocked || g->vertexBuffer == nullptr || actPCount < 1) {
        return FALSE;
    }
    const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    const RpMaterial *material = RpGeometryGetMaterial(geometry, 0);
    RwTexture *texture = RpMaterialGetTexture(material);
    const RwUInt32 gf = geometry->flags;
    const RwUInt32 dataFlags = data->format.dataFlags;
    const RwBool points = g->pointSpriteMode;
    const RwBool prelit = (gf & rpGEOMETRYPRELIT) != 0;

    RwUInt32 fvf = D3DFVF_XYZ;
    fvf |= (gf & rpGEOMETRYNORMALS) ? D3DFVF_NORMAL : 0;
    fvf |= (points && (dataFlags & rpPTANKDFLAGSIZE)) ? D3DFVF_PSIZE : 0;
    fvf |= prelit ? D3DFVF_DIFFUSE : 0;
    fvf |= (!points && (gf & rpGEOMETRYTEXTURED)) ? D3DFVF_TEX1 : 0;
    const RwUInt32 stride = points ? RpPTankPointVertexStride(gf, dataFlags) : RpPTankQuadVertexStride(gf);

    RpD3D8AtomicDefaultLightingCallback(atomic);
    // The particles are in the space of the tank's frame (the world for a
    // tank without one).
    RwFrame *frame = RpAtomicGetFrame(atomic);
    RwD3D8SetWorldMatrix(frame != nullptr ? RwFrameGetLTM(frame) : nullptr);
    RwUInt32 lighting = 0;
    RwUInt32 shadeMode = D3DSHADE_GOURAUD;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    RwD3D8GetRenderState(D3DRS_SHADEMODE, &shadeMode);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);

    RwBool textureFactor = FALSE;
    if (lighting) {
        RwD3D8SetRenderState(D3DRS_COLORVERTEX, prelit ? TRUE : FALSE);
        RwD3D8SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, prelit ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
    } else if (!prelit) {
        RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, RpPTankPackColor(&tank->cColor));
        RwD3D8SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        textureFactor = TRUE;
    } else if (!(dataFlags & (rpPTANKDFLAGVTXCOLOR | rpPTANKDFLAGCNSVTXCOLOR))) {
        RwD3D8SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    }
    RwD3D8SetRenderState(D3DRS_CLIPPING, TRUE);
    RwD3D8SetPixelShader(0);
    RwD3D8SetVertexShader(fvf);
    RwD3D8SetTexture(texture, 0);
    if (textureFactor) {
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, texture != nullptr ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    }
    RwInt32 savedSrc = rwBLENDSRCALPHA;
    RwInt32 savedDst = rwBLENDINVSRCALPHA;
    if (tank->vertexAlphaBlend) {
        RwGetRenderState(rwRENDERSTATESRCBLEND, &savedSrc);
        RwGetRenderState(rwRENDERSTATEDESTBLEND, &savedDst);
        RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(tank->srcBlend));
        RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(tank->dstBlend));
        RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(TRUE));
        if (textureFactor) {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, texture != nullptr ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
        }
    } else {
        RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(FALSE));
    }
    if (lighting) {
        RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
        RwD3D8SetSurfaceProperties(&material->color, &material->surfaceProps, TRUE);
    }
    RwD3D8SetStreamSource(0, g->vertexBuffer, stride);
    if (points) {
        DrawPoints(g, tank, static_cast<RwUInt32>(actPCount));
    } else {
        DrawQuads(g, static_cast<RwUInt32>(actPCount));
    }
    if (textureFactor) {
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        if (tank->vertexAlphaBlend) {
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        }
    }
    RwD3D8SetRenderState(D3DRS_SHADEMODE, shadeMode);
    if (tank->vertexAlphaBlend) {
        RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(savedSrc));
        RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(savedDst));
    }
    return FALSE;
}
